// The hall reverb applied to the music: a Freeverb-style network of eight parallel
// lowpass-feedback combs and four series all-passes per channel, the right channel's delays
// spread a little longer for width. Plain DSP with no SDL, so it can be tested on its own.
#pragma once
#include <cstdint>
#include <vector>

struct ReverbComb {
    float* buffer = nullptr;
    int32_t size = 0;
    int32_t position = 0;
    float feedback = 0.0f;
    float store = 0.0f; // the one-pole lowpass inside the loop
};

struct ReverbAllpass {
    float* buffer = nullptr;
    int32_t size = 0;
    int32_t position = 0;
};

constexpr int32_t reverbCombCount = 8;
constexpr int32_t reverbAllpassCount = 4;

struct Reverb {
    int32_t sampleRate = 0;
    float wetLevel = 0.0f;     // 0 leaves the signal untouched
    float decayTime = 0.0f;    // seconds for the tail to fall by 60 dB
    float damping = 0.0f;      // 0..1: the share of high frequencies lost per reflection
    float wetGain = 0.0f;      // the wet level scaled for the loudness of the combs
    std::vector<float> memory; // every delay line, allocated once by initReverb
    ReverbComb combs[2][reverbCombCount];
    ReverbAllpass allpasses[2][reverbAllpassCount];
};

// Sizes the delay lines for the sample rate and clears them; wet level 0 until setReverb.
void initReverb(Reverb& reverb, int32_t sampleRate);
// Wet level 0..1, decay time (RT60) in seconds, damping 0..1; values outside are clamped.
void setReverb(Reverb& reverb, float wetLevel, float decayTime, float damping);
// Silences the tail without changing the settings.
void clearReverb(Reverb& reverb);
// Adds the reverb to interleaved stereo frames in place and clips the result to [-1, 1].
// Allocates nothing, so it may run in the audio callback.
void processReverb(Reverb& reverb, float* stereo, int32_t frames);
