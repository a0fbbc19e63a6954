// The capture tool's music file: a WAV of the rendered module.
#pragma once
#include <cstdint>

// A canonical 44-byte-header PCM WAV: 16-bit interleaved stereo. False when the file cannot
// be written or the data would not fit the format's 32-bit sizes.
bool writeWav(const char* path, const int16_t* samples, int64_t frames, int32_t sampleRate);
