#include "platform/sound.h"

#include "it_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
// One looped sine note on one channel, 64 rows at speed 6 / tempo 125: 7.68 seconds.
ItModule tinyModule() {
    ItModule m;
    m.title = "tiny";
    ItSample s;
    s.c5Speed = 44100;
    for (int i = 0; i < 100; ++i)
        s.pcm.push_back((int16_t)(12000 * std::sin(i * 2 * M_PI / 100)));
    s.loop = true;
    s.loopEnd = 100;
    m.samples.push_back(s);
    ItPattern p = makeItPattern(64, 1);
    itCell(p, 0, 0).note = 60;
    itCell(p, 0, 0).instrument = 1;
    m.patterns.push_back(p);
    m.orders = {0};
    return m;
}

// Each test runs in a fresh folder of its own, like the folder beside the demo.
class SoundModule : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/sound_module_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(getcwd(previous, sizeof previous), previous);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        mkdir("data", 0755);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        soundClose();
        EXPECT_EQ(chdir(previous), 0);
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
    static void writeBytes(const char* path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string dir;
    char previous[4096];
};
} // namespace

TEST_F(SoundModule, CallsOutOfOrderFailWithTheirCodes) {
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorUninitialized);
    EXPECT_FALSE(soundSetReverbEnvironment(7, 0.5f, 10.0f, 0.3f));
    EXPECT_FALSE(musicPlaySong(nullptr));
    soundClose();
    soundClose(); // closing twice, and without init, is harmless

    // The output type is re-selected before init, and cannot change after it.
    EXPECT_TRUE(soundSetOutput(soundGetOutput()));
    EXPECT_FALSE(soundSetOutput(42));
    EXPECT_EQ(soundGetError(), soundErrorInvalidParam);
    ASSERT_TRUE(soundInit(44100, 32, 0));
    EXPECT_FALSE(soundSetOutput(soundGetOutput()));
    EXPECT_FALSE(soundInit(44100, 32, 0));
    EXPECT_EQ(soundGetError(), soundErrorBusy);
}

TEST_F(SoundModule, NoUsableAudioDriverIsAnOutputDeviceError) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(soundInit(44100, 32, 0));
    EXPECT_EQ(soundGetError(), soundErrorInit);
    // The module stays usable: a later init with a working driver succeeds.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(soundInit(44100, 32, 0));
}

TEST_F(SoundModule, BadSongFilesGiveTheirOwnErrorCodes) {
    ASSERT_TRUE(soundInit(44100, 32, 0));

    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFileNotFound);
    EXPECT_EQ(musicLoadSong("nofolder//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFileNotFound);

    writeBytes("data/s2.it", "This is a text file and no tracker module at all.\n");
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFormat);

    writeBytes("data/s2.it", "");
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFormat);

    // Only the magic and the first bytes of a header: too short to be a module.
    std::vector<uint8_t> bytes = writeItModule(tinyModule());
    writeBytes("data/s2.it", std::string(bytes.begin(), bytes.begin() + 40));
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFormat);

    unlink("data/s2.it");
    ASSERT_EQ(mkdir("data/s2.it", 0755), 0);
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFileLoad);
    rmdir("data/s2.it");

    // A FIFO would block the opening call until a writer came; it is refused unopened.
    ASSERT_EQ(mkfifo("data/s2.it", 0644), 0);
    EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
    EXPECT_EQ(soundGetError(), soundErrorFileLoad);
    unlink("data/s2.it");

    if (geteuid() != 0) { // root reads any file
        writeBytes("data/s2.it", std::string(bytes.begin(), bytes.end()));
        chmod("data/s2.it", 0);
        EXPECT_EQ(musicLoadSong("data//s2.it"), nullptr);
        EXPECT_EQ(soundGetError(), soundErrorFileLoad);
    }
}

TEST_F(SoundModule, ATrackerModuleLoadsPlaysAndTakesTheHall) {
    ASSERT_TRUE(writeItFile(tinyModule(), "data/s2.it"));
    ASSERT_TRUE(soundInit(44100, 32, 0));
    // The demo writes its path with a doubled slash.
    MusicModule* music = musicLoadSong("data//s2.it");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(soundGetError(), soundOk);
    EXPECT_TRUE(musicPlaySong(music));
    EXPECT_TRUE(soundSetReverbEnvironment(7, 0.5f, 10.0f, 0.3f));
    EXPECT_FALSE(soundSetReverbEnvironment(26, 0.5f, 10.0f, 0.3f));
    EXPECT_EQ(soundGetError(), soundErrorInvalidParam);
    soundClose();
    // After closing, everything starts again from the beginning; the old module is gone.
    ASSERT_TRUE(soundInit(44100, 32, 0));
    EXPECT_FALSE(musicPlaySong(music));
    EXPECT_EQ(soundGetError(), soundErrorInvalidParam);
    EXPECT_TRUE(musicPlaySong(musicLoadSong("data//s2.it")));
}

TEST_F(SoundModule, PlayingSongReachesTheDeviceAsSound) {
    // SDL's disk driver writes what the device would play into a file of raw float frames,
    // silence while paused, then the song from its first row.
    ASSERT_TRUE(writeItFile(tinyModule(), "data/s2.it"));
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "out.raw", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_TRUE(soundInit(44100, 32, 0));
    MusicModule* music = musicLoadSong("data//s2.it");
    ASSERT_NE(music, nullptr);
    ASSERT_TRUE(musicPlaySong(music));
    soundSetReverbEnvironment(7, 0.5f, 10.0f, 0.3f);

    const size_t second = 2 * 44100;
    std::vector<float> samples;
    size_t first = 0;
    for (int i = 0; i < 500; ++i) { // until a second of sound has been written
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in("out.raw", std::ios::binary | std::ios::ate);
        const size_t bytes = in ? (size_t)in.tellg() : 0;
        samples.assign(bytes / sizeof(float), 0.0f);
        in.seekg(0);
        in.read(reinterpret_cast<char*>(samples.data()), (std::streamsize)(samples.size() * 4));
        first = 0;
        while (first < samples.size() && std::fabs(samples[first]) < 1e-4f)
            ++first;
        if (first + second <= samples.size()) break;
    }
    soundClose();
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    ASSERT_LE(first + second, samples.size()) << "no second of sound was written";

    // The note sounds at once from its first frame, and on for the whole second.
    auto rms = [&](size_t from, size_t count) {
        double sum = 0.0;
        for (size_t i = from; i < from + count; ++i)
            sum += samples[i] * samples[i];
        return std::sqrt(sum / count);
    };
    EXPECT_GT(rms(first, 2 * 2205), 0.01);
    EXPECT_GT(rms(first, second), 0.01);
    for (float v : samples)
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
}
