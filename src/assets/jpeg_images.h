// The eight pictures of the show, decoded once with libjpeg and uploaded under fixed names.
#pragma once
#include <cstdint>
#include <cstdio>

enum : uint32_t {
    texLanternwhirl = 11,
    texObrelline = 12,
    texTessivane = 13,
    texFennicove = 14,
    texEnd = 16,
    texMarrowquill = 17,
    texEnv = 120,
    texPulsar = 131,
};

struct JpegImage {
    const char* path;
    uint32_t glName;
};

// Upload order.
extern const JpegImage jpegImageTable[8];

// A header may announce up to 65500 × 65500 pixels; a picture wider or taller than any texture
// the show can use is refused like a decode whose buffer cannot be had, so a small hostile
// file cannot make the decoder fill gigabytes.
constexpr uint32_t jpegMaxSide = 8192;

// RGB rows, top row first; the caller owns the buffer (delete[]). Null on failure.
uint8_t* loadJpeg(const char* path, int32_t& width, int32_t& height);
// The same from a stream open for reading (a file, or bytes in memory); the caller closes it.
// The fuzzer passes a smaller maxSide: a bigger picture runs the same code for longer.
uint8_t* readJpeg(FILE* stream, int32_t& width, int32_t& height, uint32_t maxSide = jpegMaxSide);
// Always 1: a file that fails leaves a 0 × 0 (or undefined) texture under its name.
int32_t uploadJpegTexture(const char* path, uint32_t glName);
int32_t uploadJpegTexture(FILE* stream, uint32_t glName, uint32_t maxSide = jpegMaxSide);
