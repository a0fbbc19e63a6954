#include "music.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
// The seconds at which the show changes section; the music must change phrase on each.
const double sectionSeconds[] = {0, 15, 25, 35, 44, 64, 78, 88, 100};
const double showEnd = 106.0;

struct Rendered {
    std::vector<float> stereo;
    int32_t rate;
    double rms(double from, double to) const {
        const size_t a = 2 * (size_t)(from * rate);
        const size_t b = std::min(stereo.size(), 2 * (size_t)(to * rate));
        double sum = 0.0;
        for (size_t i = a; i < b; ++i)
            sum += (double)stereo[i] * stereo[i];
        return b > a ? std::sqrt(sum / (b - a)) : 0.0;
    }
};

Rendered render(const std::vector<uint8_t>& bytes, int32_t rate) {
    openmpt::module mod(bytes.data(), bytes.size());
    mod.ctl_set_text("play.at_end", "stop");
    Rendered r{{}, rate};
    std::vector<float> block(2 * 8192);
    while (size_t n = mod.read_interleaved_stereo(rate, 8192, block.data()))
        r.stereo.insert(r.stereo.end(), block.begin(), block.begin() + 2 * n);
    return r;
}

class Music : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bytes = writeItModule(composeMusic());
        audio = render(bytes, 44100);
    }
    static std::vector<uint8_t> bytes;
    static Rendered audio;
};
std::vector<uint8_t> Music::bytes;
Rendered Music::audio;
} // namespace

TEST_F(Music, IsAnImpulseTrackerSongOfTheShowsLength) {
    ASSERT_FALSE(bytes.empty());
    openmpt::module mod(bytes.data(), bytes.size());
    EXPECT_EQ(mod.get_metadata("type"), "it");
    EXPECT_EQ(mod.get_metadata("tracker"), "Impulse Tracker 2.14");
    EXPECT_EQ(mod.get_num_subsongs(), 1);
    EXPECT_EQ(mod.get_num_channels(), 11);
    EXPECT_EQ(mod.get_num_patterns(), 10);
    EXPECT_EQ(mod.get_num_orders(), 10);
    EXPECT_EQ(mod.get_num_instruments(), 8);
    EXPECT_EQ(mod.get_num_samples(), 8);
    // It lasts the whole show and is over by its last second.
    EXPECT_GE(mod.get_duration_seconds(), showEnd - 1e-6);
    EXPECT_LE(mod.get_duration_seconds(), showEnd + 0.01);
}

TEST_F(Music, SameBytesEveryTimeAndOnDisk) {
    EXPECT_EQ(writeItModule(composeMusic()), bytes);
    char path[] = "/tmp/music_test_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(bakeMusic(path));
    FILE* f = fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> onDisk(bytes.size() + 1);
    onDisk.resize(fread(onDisk.data(), 1, onDisk.size(), f));
    fclose(f);
    unlink(path);
    EXPECT_EQ(onDisk, bytes);
    EXPECT_FALSE(bakeMusic("/nonexistent-folder/s2.it"));
}

TEST_F(Music, EverySectionStartsANewPhraseOnABeat) {
    openmpt::module mod(bytes.data(), bytes.size());
    for (double second : sectionSeconds) {
        int32_t found = -1;
        for (int32_t order = 0; order < mod.get_num_orders(); ++order)
            if (std::fabs(mod.set_position_order_row(order, 0) - second) < 0.010) found = order;
        ASSERT_GE(found, 0) << "no phrase starts at second " << second;
        // On a beat: the rows before it make whole beats of six rows at the song's row length.
        int32_t rows = 0;
        for (int32_t order = 0; order < found; ++order)
            rows += mod.get_pattern_num_rows(mod.get_order_pattern(order));
        mod.set_position_order_row(found, 0);
        const double rowSeconds = mod.get_current_speed() * 2.5 / mod.get_current_tempo();
        EXPECT_NEAR(rows * rowSeconds, second, 1e-9);
        EXPECT_EQ(rows % 6, 0) << "second " << second;
        // The phrase opens with several struck notes.
        const int32_t pattern = mod.get_order_pattern(found);
        int32_t struck = 0;
        for (int32_t ch = 0; ch < mod.get_num_channels(); ++ch) {
            const int note =
                mod.get_pattern_row_channel_command(pattern, 0, ch, openmpt::module::command_note);
            if (note >= 1 && note <= 120) ++struck;
        }
        EXPECT_GE(struck, 4) << "second " << second;
        if (found > 0) {
            EXPECT_NE(mod.get_order_pattern(found - 1), pattern);
        }
    }
    // And it is heard there: each new phrase strikes a cymbal, so the sizzle (the energy of the
    // signal's first difference) jumps in the tenth of a second after the boundary.
    auto sizzle = [](const Rendered& r, double from, double to) {
        double sum = 0.0;
        for (size_t i = 2 * (size_t)(from * r.rate) + 2; i < 2 * (size_t)(to * r.rate); ++i) {
            const double d = r.stereo[i] - r.stereo[i - 2];
            sum += d * d;
        }
        return sum;
    };
    for (double second : sectionSeconds)
        if (second > 0) {
            EXPECT_GT(sizzle(audio, second, second + 0.1),
                      1.5 * sizzle(audio, second - 0.1, second))
                << "second " << second;
        }
    // The renderer keeps whole-frame ticks; the tempo makes them exact, so nothing drifts.
    EXPECT_EQ(audio.stereo.size(), 2u * (size_t)(showEnd * 44100));
    EXPECT_EQ(render(bytes, 48000).stereo.size(), 2u * (size_t)(showEnd * 48000));
}

TEST_F(Music, NeverFallsSilentBeforeTheFadeAndEndsQuiet) {
    // Half-second windows: no gap of a beat anywhere before the fade begins at second 103.
    for (double t = 0.0; t < 103.0; t += 0.5)
        EXPECT_GT(audio.rms(t, t + 0.5), 0.02) << "quiet at " << t << " s";
    // The music starts with its first row, not after a lead-in.
    EXPECT_GT(audio.rms(0.0, 0.1), 0.01);
    EXPECT_LT(audio.rms(105.5, 106.0), 0.002);
    float peak = 0.0f;
    for (float v : audio.stereo)
        peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 0.95f); // headroom left for the hall
    // The intense part is louder than the intro it grows from.
    EXPECT_GT(audio.rms(44.0, 64.0), audio.rms(0.0, 15.0) * 1.3);
}
