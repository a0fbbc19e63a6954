// Pictures the baker paints: floating-point RGB canvases, the procedural brushes that fill them
// (tileable noise, glows, gradients) and the two file writers, JPEG and 24-bit TGA.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "writers.h"

struct Colour {
    float r, g, b;
};

// Row 0 is the top of the picture. Values are linear light; 1.0 is full white, brighter values
// are rolled off by the tone curve when the picture is written.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> rgb; // width × height × 3
};

Picture makePicture(int32_t width, int32_t height);
inline float* pixelAt(Picture& p, int32_t x, int32_t y) {
    return &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
}
void addColour(Picture& p, int32_t x, int32_t y, Colour c, float amount);

// Deterministic hash of a lattice point to [0, 1).
float latticeHash(int32_t x, int32_t y, uint32_t seed);
// Smooth value noise in [0, 1) that repeats every `period` lattice cells on both axes; x and y
// are in lattice cells.
float tiledNoise(float x, float y, int32_t period, uint32_t seed);
// Sum of octaves of tiledNoise, normalised to [0, 1); u and v in [0, 1) cover one full tile.
float tiledFbm(float u, float v, int32_t basePeriod, int32_t octaves, uint32_t seed);

// A soft round light: colour × strength / (1 + (d / radius)²)^2. With `wrap` the distance is
// measured on the torus so that the glow continues across the picture's edges.
void addGlow(Picture& p, float cx, float cy, float radius, Colour c, float strength, bool wrap);

// Alpha mask (0..1) of the same size as a picture, used for text before it is coloured.
struct Mask {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> value;
};
Mask makeMask(int32_t width, int32_t height);
// Three box-blur passes of the given radius: close to a Gaussian, cheap and deterministic.
Mask blurMask(const Mask& m, int32_t radius);
void addMask(Picture& p, const Mask& m, Colour c, float strength);

// The tone curve shared by both writers: soft shoulder above 0.8, so glows saturate smoothly.
uint8_t toByte(float linear);

// The picture as RGB bytes through the tone curve, top row first.
Bytes pictureRgb(const Picture& p);
// JPEG through the shared writer (libjpeg, quality 92). False with a report on failure.
bool savePictureJpeg(const Picture& p, const std::string& path);
// Uncompressed 24-bit TGA: bottom row first, each pixel blue, green, red as usual.
bool savePictureTga(const Picture& p, const std::string& path);
