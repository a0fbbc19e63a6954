#include "it_writer.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {
ItSample sine(int32_t period, bool loop, int32_t frames) {
    ItSample s;
    s.c5Speed = 44100;
    for (int32_t i = 0; i < frames; ++i)
        s.pcm.push_back((int16_t)(12000 * std::sin(i * 2 * M_PI / period)));
    s.loop = loop;
    s.loopEnd = loop ? frames : 0;
    return s;
}

// RMS of both channels over [from, to) seconds of a rendering at 44100 Hz.
double rmsBetween(const std::vector<float>& stereo, double from, double to) {
    const size_t a = 2 * (size_t)(from * 44100),
                 b = std::min(stereo.size(), 2 * (size_t)(to * 44100));
    double sum = 0.0;
    for (size_t i = a; i < b; ++i)
        sum += stereo[i] * stereo[i];
    return b > a ? std::sqrt(sum / (b - a)) : 0.0;
}

std::vector<float> render(openmpt::module& mod) {
    mod.ctl_set_text("play.at_end", "stop");
    std::vector<float> out, block(2 * 4096);
    while (size_t n = mod.read_interleaved_stereo(44100, 4096, block.data()))
        out.insert(out.end(), block.begin(), block.begin() + 2 * n);
    return out;
}
} // namespace

TEST(ItWriter, ModuleReadsBackWithItsCountsTimingAndCells) {
    ItModule m;
    m.title = "writer check";
    m.initialSpeed = 5;
    m.initialTempo = 150;
    m.samples = {sine(100, true, 100), sine(50, false, 2000)};
    ItPattern a = makeItPattern(48, 3);
    ItPattern b = makeItPattern(36, 4);
    itCell(a, 0, 0) = {60, 1, 40, 0, 0};
    itCell(a, 0, 2) = {72, 2, itNoVolume, itEffect('H'), 0x24};
    itCell(a, 47, 1) = {itNoteCut, 0, itNoVolume, 0, 0};
    itCell(b, 0, 3) = {67, 1, 64, itEffect('D'), 0x01};
    itCell(b, 12, 3) = {itNoteOff, 0, itNoVolume, 0, 0};
    // The same mask on consecutive rows of a channel is written once; the values must survive.
    for (int32_t row = 1; row < 36; ++row)
        itCell(b, row, 0) = {(uint8_t)(48 + row), 1, 30, 0, 0};
    m.patterns = {a, b};
    m.orders = {0, 1, 0};

    const std::vector<uint8_t> bytes = writeItModule(m);
    ASSERT_FALSE(bytes.empty());
    openmpt::module mod(bytes.data(), bytes.size());
    EXPECT_EQ(mod.get_metadata("tracker"), "Impulse Tracker 2.14");
    EXPECT_EQ(mod.get_metadata("title"), "writer check");
    EXPECT_EQ(mod.get_num_channels(), 4);
    EXPECT_EQ(mod.get_num_patterns(), 2);
    EXPECT_EQ(mod.get_num_orders(), 3);
    EXPECT_EQ(mod.get_num_samples(), 2);
    EXPECT_EQ(mod.get_num_instruments(), 0);
    EXPECT_EQ(mod.get_pattern_num_rows(1), 36);
    // (48 + 36 + 48) rows of 5 ticks at 2.5 / 150 s.
    EXPECT_NEAR(mod.get_duration_seconds(), 132 * 5 * 2.5 / 150, 1e-9);
    EXPECT_NEAR(mod.set_position_order_row(1, 0), 4.0, 1e-9);

    for (int32_t pat = 0; pat < 2; ++pat) {
        ItPattern& p = m.patterns[pat];
        for (int32_t row = 0; row < p.rows; ++row)
            for (int32_t ch = 0; ch < p.channels; ++ch) {
                const ItCell& c = itCell(p, row, ch);
                auto cmd = [&](int what) {
                    return mod.get_pattern_row_channel_command(pat, row, ch, what);
                };
                const int note = c.note == itNoNote    ? 0
                                 : c.note == itNoteCut ? 254
                                 : c.note == itNoteOff ? 255
                                                       : c.note + 1;
                EXPECT_EQ(cmd(openmpt::module::command_note), note)
                    << pat << ":" << row << ":" << ch;
                EXPECT_EQ(cmd(openmpt::module::command_instrument), c.instrument);
                if (c.volume != itNoVolume) {
                    EXPECT_EQ(cmd(openmpt::module::command_volume), c.volume);
                }
                if (c.effect != 0) {
                    EXPECT_EQ(cmd(openmpt::module::command_parameter), c.param);
                }
            }
    }
}

TEST(ItWriter, InstrumentEnvelopesShapeTheNote) {
    ItModule m;
    m.initialSpeed = 5;
    m.initialTempo = 150;
    m.samples = {sine(100, true, 100)};
    ItInstrument swell;
    swell.sample = 1;
    swell.fadeOut = 256;
    // Silent at first, full after 30 ticks (0.5 s), held until the note-off.
    swell.volumeEnvelope = {{0, 0}, {30, 64}, {60, 64}};
    swell.sustainNode = 2;
    m.instruments = {swell};
    ItPattern p = makeItPattern(24, 1);
    itCell(p, 0, 0) = {60, 1, 64, 0, 0};
    itCell(p, 12, 0) = {itNoteOff, 0, itNoVolume, 0, 0};
    m.patterns = {p};
    m.orders = {0};
    const std::vector<uint8_t> bytes = writeItModule(m);
    openmpt::module mod(bytes.data(), bytes.size());
    EXPECT_EQ(mod.get_num_instruments(), 1);
    const std::vector<float> out = render(mod);
    const double start = rmsBetween(out, 0.0, 0.05), held = rmsBetween(out, 0.6, 0.95);
    EXPECT_GT(held, 0.02);
    EXPECT_LT(start, held * 0.3);
    EXPECT_LT(rmsBetween(out, 1.5, 2.0), held * 0.01); // faded after the note-off
}

TEST(ItWriter, ModulesBreakingTheFormatsLimitsAreRefused) {
    ItModule good;
    good.samples = {sine(100, true, 100)};
    good.patterns = {makeItPattern(32, 1)};
    good.orders = {0};
    ASSERT_FALSE(writeItModule(good).empty());

    ItModule m = good;
    m.orders = {0, 1}; // no pattern 1
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.samples[0].loopEnd = 101; // loop past the last frame
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.patterns[0] = makeItPattern(201, 1);
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.patterns[0].cells.pop_back(); // cells not matching rows × channels
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.instruments = {ItInstrument{}};
    m.instruments[0].sample = 2; // no sample 2
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.instruments = {ItInstrument{}};
    m.instruments[0].volumeEnvelope = {{0, 64}, {10, 32}, {10, 0}}; // a node going nowhere
    EXPECT_TRUE(writeItModule(m).empty());
    m = good;
    m.initialTempo = 20;
    EXPECT_TRUE(writeItModule(m).empty());

    EXPECT_FALSE(writeItFile(good, "/nonexistent-folder/x.it"));
}
