// The music as this build plays it: the baked module through the Windows build's own libopenmpt
// and the hall, rendered offline (no audio device is needed), and the sound module on waveOut
// (CTest gives Wine a null ALSA device, so this runs on a machine without a sound card).
#include "platform/module_render.h"
#include "platform/sound.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {
const int32_t rate = 44100;
const double showEnd = 106.0;

double rms(const std::vector<int16_t>& stereo, double from, double to) {
    const size_t a = 2 * (size_t)(from * rate), b = 2 * (size_t)(to * rate);
    double sum = 0.0;
    for (size_t i = a; i < b && i < stereo.size(); ++i)
        sum += (double)stereo[i] * stereo[i];
    return b > a ? std::sqrt(sum / (double)(b - a)) / 32768.0 : 0.0;
}
} // namespace

TEST(WindowsSound, ModuleLastsAsLongAsTheShow) {
    std::vector<char> bytes(1 << 20);
    FILE* f = fopen("data//s2.it", "rb");
    ASSERT_NE(f, nullptr);
    bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
    fclose(f);
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(module, nullptr);
    EXPECT_NEAR(openmpt_module_get_duration_seconds(module), showEnd, 0.01);
    // Played once through and cut at the end (no fade), the song is exactly the show's length.
    openmpt_module_set_repeat_count(module, 0);
    openmpt_module_ctl_set_text(module, "play.at_end", "stop");
    std::vector<float> block(2 * 8192);
    size_t frames = 0;
    while (size_t n =
               openmpt_module_read_interleaved_float_stereo(module, rate, 8192, block.data()))
        frames += n;
    EXPECT_EQ(frames, (size_t)(showEnd * rate));
    openmpt_module_destroy(module);
}

TEST(WindowsSound, PlaysThroughTheShowThenTheHallDiesAway) {
    std::vector<int16_t> out;
    const int64_t frames = (int64_t)(showEnd * rate);
    ASSERT_TRUE(renderModule("data//s2.it", rate, 0, frames, out));
    ASSERT_EQ(out.size(), 2u * (size_t)frames);
    // No gap anywhere before the fade at second 103.
    for (double t = 0.0; t < 103.0; t += 0.5)
        EXPECT_GT(rms(out, t, t + 0.5), 0.02) << "quiet at " << t << " s";

    // Long after the end, neither the song nor its reverb tail is heard.
    std::vector<int16_t> late;
    ASSERT_TRUE(renderModule("data//s2.it", rate, (int64_t)(140.0 * rate), rate, late));
    for (int16_t v : late)
        ASSERT_EQ(v, 0);
}

TEST(WindowsSound, MissingModuleIsAnError) {
    std::vector<int16_t> out;
    EXPECT_FALSE(renderModule("data\\none.it", rate, 0, 100, out));
    EXPECT_TRUE(out.empty());
}

TEST(WindowsSound, ModulePlaysOnTheDefaultDeviceAndClosesCleanly) {
    ASSERT_TRUE(soundSetOutput(soundGetOutput()));
    ASSERT_TRUE(soundInit(44100, 32, 0)) << "error " << soundGetError();
    EXPECT_FALSE(soundInit(44100, 32, 0));
    EXPECT_EQ(soundGetError(), soundErrorBusy);
    MusicModule* music = musicLoadSong("data//s2.it");
    ASSERT_NE(music, nullptr) << "error " << soundGetError();
    EXPECT_TRUE(musicPlaySong(music));
    EXPECT_TRUE(soundSetReverbEnvironment(7, 0.5f, 10.0f, 0.3f));
    // Let the mixing thread fill and send buffers while the settings change under its lock.
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(soundSetReverbEnvironment(7, 0.5f, 10.0f - 0.1f * i, 0.3f));
    }
    // Closing stops the thread and returns the buffers; the module is gone with it.
    soundClose();
    EXPECT_FALSE(musicPlaySong(music));
    EXPECT_EQ(soundGetError(), soundErrorUninitialized);

    // A second start after close works the same way.
    ASSERT_TRUE(soundInit(44100, 32, 0)) << "error " << soundGetError();
    EXPECT_EQ(musicLoadSong("data\\none.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFileNotFound);
    soundClose();
}
