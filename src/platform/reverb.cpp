#include "platform/reverb.h"

#include <algorithm>
#include <cmath>

namespace {
// The classic tunings, in frames at 44100 Hz; other rates scale them so the hall keeps its size.
const int32_t combTuning[reverbCombCount] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int32_t allpassTuning[reverbAllpassCount] = {556, 441, 341, 225};
const int32_t stereoSpread = 23;

const float allpassFeedback = 0.5f;

int32_t scaled(int32_t frames, int32_t sampleRate) {
    return std::max<int32_t>(1, (int32_t)std::lround(frames * (double)sampleRate / 44100.0));
}

// Tiny values are flushed so the recursive filters never crawl through denormals.
inline float flushed(float v) {
    return std::fabs(v) < 1.0e-20f ? 0.0f : v;
}
} // namespace

void initReverb(Reverb& reverb, int32_t sampleRate) {
    reverb.sampleRate = sampleRate > 0 ? sampleRate : 44100;
    size_t total = 0;
    for (int32_t ch = 0; ch < 2; ++ch) {
        for (int32_t i = 0; i < reverbCombCount; ++i)
            total += scaled(combTuning[i] + ch * stereoSpread, reverb.sampleRate);
        for (int32_t i = 0; i < reverbAllpassCount; ++i)
            total += scaled(allpassTuning[i] + ch * stereoSpread, reverb.sampleRate);
    }
    reverb.memory.assign(total, 0.0f);
    float* next = reverb.memory.data();
    for (int32_t ch = 0; ch < 2; ++ch) {
        for (int32_t i = 0; i < reverbCombCount; ++i) {
            ReverbComb& c = reverb.combs[ch][i];
            c.size = scaled(combTuning[i] + ch * stereoSpread, reverb.sampleRate);
            c.buffer = next;
            next += c.size;
        }
        for (int32_t i = 0; i < reverbAllpassCount; ++i) {
            ReverbAllpass& a = reverb.allpasses[ch][i];
            a.size = scaled(allpassTuning[i] + ch * stereoSpread, reverb.sampleRate);
            a.buffer = next;
            next += a.size;
        }
    }
    setReverb(reverb, 0.0f, reverb.decayTime > 0.0f ? reverb.decayTime : 1.0f, reverb.damping);
    clearReverb(reverb);
}

void setReverb(Reverb& reverb, float wetLevel, float decayTime, float damping) {
    // NaN fails every comparison, so it lands on the safe end of each range.
    reverb.wetLevel = wetLevel > 0.0f ? std::min(wetLevel, 1.0f) : 0.0f;
    reverb.decayTime = decayTime > 0.1f ? std::min(decayTime, 100.0f) : 0.1f;
    reverb.damping = damping > 0.0f ? std::min(damping, 1.0f) : 0.0f;
    // A signal circulating through a comb of d frames loses g per pass; after RT60 seconds it
    // has made RT60·fs/d passes and must be down by 60 dB: g = 10^(-3·d / (RT60·fs)).
    // A comb with feedback g passes noise with a power gain of 1/(1 - g²), which grows without
    // bound as the decay lengthens; the all-passes keep power as it is. The wet path is scaled
    // back by the combs' total so the wet level means the same in any hall: at level 1 the
    // reverb of steady noise is as loud as the noise itself.
    double power = 0.0;
    for (int32_t ch = 0; ch < 2; ++ch)
        for (int32_t i = 0; i < reverbCombCount; ++i) {
            ReverbComb& c = reverb.combs[ch][i];
            const double g =
                std::pow(10.0, -3.0 * c.size / ((double)reverb.decayTime * reverb.sampleRate));
            c.feedback = (float)g;
            power += 1.0 / (1.0 - g * g);
        }
    reverb.wetGain = reverb.wetLevel * (float)std::sqrt(2.0 / power);
}

void clearReverb(Reverb& reverb) {
    std::fill(reverb.memory.begin(), reverb.memory.end(), 0.0f);
    for (int32_t ch = 0; ch < 2; ++ch) {
        for (int32_t i = 0; i < reverbCombCount; ++i) {
            reverb.combs[ch][i].position = 0;
            reverb.combs[ch][i].store = 0.0f;
        }
        for (int32_t i = 0; i < reverbAllpassCount; ++i)
            reverb.allpasses[ch][i].position = 0;
    }
}

void processReverb(Reverb& reverb, float* stereo, int32_t frames) {
    const bool active = reverb.wetLevel > 0.0f && !reverb.memory.empty();
    const float damp = reverb.damping;
    const float wet = reverb.wetGain;
    for (int32_t f = 0; f < frames; ++f) {
        float* frame = stereo + 2 * f;
        // A NaN or infinity would stay in the delay lines for good; it becomes silence instead.
        for (int32_t ch = 0; ch < 2; ++ch)
            if (!(std::fabs(frame[ch]) <= 1.0e6f)) frame[ch] = 0.0f;
        if (active) {
            const float input = (frame[0] + frame[1]) * 0.5f;
            float out[2];
            for (int32_t ch = 0; ch < 2; ++ch) {
                float sum = 0.0f;
                for (int32_t i = 0; i < reverbCombCount; ++i) {
                    ReverbComb& c = reverb.combs[ch][i];
                    const float delayed = c.buffer[c.position];
                    c.store = flushed(delayed * (1.0f - damp) + c.store * damp);
                    c.buffer[c.position] = input + c.store * c.feedback;
                    if (++c.position >= c.size) c.position = 0;
                    sum += delayed;
                }
                // True all-passes (unit gain at every frequency): they smear the echoes into a
                // dense tail without colouring it or changing its loudness.
                for (int32_t i = 0; i < reverbAllpassCount; ++i) {
                    ReverbAllpass& a = reverb.allpasses[ch][i];
                    const float delayed = a.buffer[a.position];
                    const float fed = flushed(sum + delayed * allpassFeedback);
                    a.buffer[a.position] = fed;
                    if (++a.position >= a.size) a.position = 0;
                    sum = delayed - fed * allpassFeedback;
                }
                out[ch] = sum;
            }
            frame[0] += out[0] * wet;
            frame[1] += out[1] * wet;
        }
        for (int32_t ch = 0; ch < 2; ++ch)
            frame[ch] = std::min(1.0f, std::max(-1.0f, frame[ch]));
    }
}
