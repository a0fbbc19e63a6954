#include "platform/reverb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {
// Feeds one unit impulse into both channels and returns the RMS of the left output over
// consecutive windows of the given length.
std::vector<double> impulseEnvelope(Reverb& reverb, double seconds, double window) {
    const int32_t rate = reverb.sampleRate;
    const int32_t windowFrames = (int32_t)(window * rate);
    const int32_t windows = (int32_t)(seconds / window);
    std::vector<float> block(2 * (size_t)windowFrames);
    std::vector<double> rms;
    for (int32_t w = 0; w < windows; ++w) {
        std::fill(block.begin(), block.end(), 0.0f);
        if (w == 0) block[0] = block[1] = 1.0f;
        processReverb(reverb, block.data(), windowFrames);
        double sum = 0.0;
        for (int32_t f = (w == 0 ? 1 : 0); f < windowFrames; ++f)
            sum += block[2 * f] * block[2 * f];
        rms.push_back(std::sqrt(sum / windowFrames));
    }
    return rms;
}

// Seconds from the reference window until the envelope has fallen by dB decibels.
double timeToFall(const std::vector<double>& rms, double window, int32_t reference, double dB) {
    const double target = rms[reference] * std::pow(10.0, -dB / 20.0);
    for (size_t i = reference; i < rms.size(); ++i)
        if (rms[i] <= target) return (i - reference) * window;
    return 1.0e9;
}

// Share of the signal's energy in its first difference: high for bright sound, low for dark.
double brightness(const std::vector<float>& stereo) {
    double all = 0.0, diff = 0.0;
    for (size_t i = 2; i < stereo.size(); i += 2) {
        all += stereo[i] * stereo[i];
        const double d = stereo[i] - stereo[i - 2];
        diff += d * d;
    }
    return diff / all;
}

std::vector<float> noise(int32_t frames, float amplitude, uint32_t seed) {
    std::vector<float> out(2 * (size_t)frames);
    for (float& v : out) {
        seed = seed * 1664525u + 1013904223u;
        v = amplitude * ((float)(seed >> 8) / 8388608.0f - 1.0f);
    }
    return out;
}
} // namespace

TEST(Reverb, ImpulseFallsBySixtyDecibelsInTheDecayTimeAtEitherRate) {
    for (int32_t rate : {44100, 48000}) {
        for (float decay : {10.0f, 3.0f}) {
            Reverb reverb;
            initReverb(reverb, rate);
            setReverb(reverb, 0.5f, decay, 0.3f);
            const double window = 0.1;
            const std::vector<double> rms = impulseEnvelope(reverb, decay * 1.5, window);
            // Measured from the end of the first build-up, once the echoes have become dense.
            const int32_t reference = 3;
            ASSERT_GT(rms[reference], 0.0);
            const double rt60 = timeToFall(rms, window, reference, 60.0);
            EXPECT_GT(rt60, decay * 0.8) << "rate " << rate << " decay " << decay;
            EXPECT_LT(rt60, decay * 1.2) << "rate " << rate << " decay " << decay;
        }
    }
}

TEST(Reverb, WetLevelOneMatchesTheLoudnessOfSteadyNoiseInAnyHall) {
    for (float decay : {2.0f, 10.0f}) {
        Reverb reverb;
        initReverb(reverb, 44100);
        setReverb(reverb, 1.0f, decay, 0.0f);
        const int32_t frames = 4410;
        double dry = 0.0, wet = 0.0;
        for (int32_t block = 0; block < 10 * decay; ++block) {
            std::vector<float> in = noise(frames, 0.25f, 100 + block);
            for (int32_t f = 0; f < frames; ++f)
                in[2 * f + 1] = in[2 * f]; // a centred source
            std::vector<float> out = in;
            processReverb(reverb, out.data(), frames);
            if (block < 5 * decay) continue; // the hall fills up first
            for (size_t i = 0; i < in.size(); ++i) {
                dry += in[i] * in[i];
                wet += (out[i] - in[i]) * (out[i] - in[i]);
            }
        }
        const double ratio = std::sqrt(wet / dry);
        EXPECT_GT(ratio, 0.8) << "decay " << decay;
        EXPECT_LT(ratio, 1.25) << "decay " << decay;
    }
}

TEST(Reverb, MoreDampingGivesADarkerTail) {
    const int32_t rate = 44100;
    double previous = 1.0e9;
    for (float damping : {0.0f, 0.3f, 0.7f}) {
        Reverb reverb;
        initReverb(reverb, rate);
        setReverb(reverb, 0.5f, 10.0f, damping);
        std::vector<float> burst = noise(rate / 10, 0.5f, 7);
        processReverb(reverb, burst.data(), rate / 10);
        // Skip a second of tail, then judge the next one.
        std::vector<float> tail(2 * (size_t)rate, 0.0f);
        processReverb(reverb, tail.data(), rate);
        std::fill(tail.begin(), tail.end(), 0.0f);
        processReverb(reverb, tail.data(), rate);
        const double b = brightness(tail);
        EXPECT_LT(b, previous) << "damping " << damping;
        previous = b;
    }
}

TEST(Reverb, WetLevelZeroLeavesTheSignalUntouched) {
    Reverb reverb;
    initReverb(reverb, 44100);
    // A hall that has already been ringing, then turned off.
    setReverb(reverb, 0.5f, 10.0f, 0.3f);
    std::vector<float> warm = noise(4410, 0.8f, 3);
    processReverb(reverb, warm.data(), 4410);
    setReverb(reverb, 0.0f, 10.0f, 0.3f);

    const std::vector<float> original = noise(8820, 0.99f, 11);
    std::vector<float> processed = original;
    processReverb(reverb, processed.data(), 8820);
    EXPECT_EQ(processed, original);
}

TEST(Reverb, OutputNeverLeavesTheUnitRangeEvenWhenDriven) {
    Reverb reverb;
    initReverb(reverb, 44100);
    // Out-of-range settings are clamped to the loudest, longest hall there is.
    setReverb(reverb, 7.0f, 1.0e6f, -1.0f);
    EXPECT_FLOAT_EQ(reverb.wetLevel, 1.0f);
    EXPECT_FLOAT_EQ(reverb.damping, 0.0f);
    std::vector<float> loud = noise(44100 * 3, 1.0f, 5);
    for (size_t i = 0; i < loud.size(); i += 4000)
        loud[i] = 40.0f; // spikes beyond full scale
    loud[100] = std::nanf("");
    processReverb(reverb, loud.data(), 44100 * 3);
    bool inRange = true;
    bool ringing = false;
    for (float v : loud) {
        inRange = inRange && v >= -1.0f && v <= 1.0f; // false for NaN too
        ringing = ringing || std::fabs(v) > 0.999f;
    }
    EXPECT_TRUE(inRange);
    EXPECT_TRUE(ringing);
    // A NaN in the input does not poison the hall: the tail still rings, as numbers.
    std::vector<float> tail(2 * 4410, 0.0f);
    processReverb(reverb, tail.data(), 4410);
    double energy = 0.0;
    for (float v : tail) {
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
        energy += v * v;
    }
    EXPECT_GT(energy, 1.0);
}
