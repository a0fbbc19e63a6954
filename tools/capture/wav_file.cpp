#include "wav_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
void put16le(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

void put32le(uint8_t* p, uint32_t v) {
    put16le(p, v);
    put16le(p + 2, v >> 16);
}

bool closeChecked(FILE* f, bool ok) {
    if (fclose(f) != 0) ok = false;
    return ok;
}
} // namespace

bool writeWav(const char* path, const int16_t* samples, int64_t frames, int32_t sampleRate) {
    if (frames < 0 || sampleRate <= 0 || frames > (int64_t)(0xFFFFFFFFu - 36) / 4) {
        errno = EINVAL;
        return false;
    }
    const uint32_t dataBytes = (uint32_t)(frames * 4);
    uint8_t header[44];
    memcpy(header, "RIFF", 4);
    put32le(header + 4, 36 + dataBytes);
    memcpy(header + 8, "WAVEfmt ", 8);
    put32le(header + 16, 16);                       // fmt chunk size
    put16le(header + 20, 1);                        // PCM
    put16le(header + 22, 2);                        // channels
    put32le(header + 24, (uint32_t)sampleRate);     // frames per second
    put32le(header + 28, (uint32_t)sampleRate * 4); // bytes per second
    put16le(header + 32, 4);                        // bytes per frame
    put16le(header + 34, 16);                       // bits per sample
    memcpy(header + 36, "data", 4);
    put32le(header + 40, dataBytes);
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(header, 1, 44, f) == 44;
    // The file is little-endian whatever the host: write sample by sample through a buffer.
    uint8_t buffer[8192];
    size_t filled = 0;
    for (int64_t i = 0; ok && i < frames * 2; ++i) {
        put16le(buffer + filled, (uint16_t)samples[i]);
        filled += 2;
        if (filled == sizeof buffer) {
            ok = fwrite(buffer, 1, filled, f) == filled;
            filled = 0;
        }
    }
    if (ok && filled) ok = fwrite(buffer, 1, filled, f) == filled;
    return closeChecked(f, ok);
}
