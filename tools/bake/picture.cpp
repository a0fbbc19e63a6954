#include "picture.h"

#include <cmath>
#include <cstdio>

Picture makePicture(int32_t width, int32_t height) {
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.assign(static_cast<size_t>(width) * height * 3, 0.0f);
    return p;
}

void addColour(Picture& p, int32_t x, int32_t y, Colour c, float amount) {
    float* px = pixelAt(p, x, y);
    px[0] += c.r * amount;
    px[1] += c.g * amount;
    px[2] += c.b * amount;
}

float latticeHash(int32_t x, int32_t y, uint32_t seed) {
    // A small integer mixer (xorshift-multiply); the same inputs give the same value on every
    // machine, unlike rand().
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

static float smoothStep(float t) {
    return t * t * (3.0f - 2.0f * t);
}

static int32_t wrapIndex(int32_t i, int32_t period) {
    int32_t r = i % period;
    return r < 0 ? r + period : r;
}

float tiledNoise(float x, float y, int32_t period, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    float tx = smoothStep(x - fx), ty = smoothStep(y - fy);
    int32_t x0 = wrapIndex(ix, period), x1 = wrapIndex(ix + 1, period);
    int32_t y0 = wrapIndex(iy, period), y1 = wrapIndex(iy + 1, period);
    float a = latticeHash(x0, y0, seed), b = latticeHash(x1, y0, seed);
    float c = latticeHash(x0, y1, seed), d = latticeHash(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float tiledFbm(float u, float v, int32_t basePeriod, int32_t octaves, uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    int32_t period = basePeriod;
    for (int32_t o = 0; o < octaves; ++o) {
        sum += weight * tiledNoise(u * period, v * period, period, seed + 7919u * o);
        total += weight;
        weight *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

void addGlow(Picture& p, float cx, float cy, float radius, Colour c, float strength, bool wrap) {
    // Beyond 12 radii the glow adds less than 1/20000 of its strength; skip those pixels.
    float reach = radius * 12.0f;
    int32_t x0 = static_cast<int32_t>(std::floor(cx - reach));
    int32_t x1 = static_cast<int32_t>(std::ceil(cx + reach));
    int32_t y0 = static_cast<int32_t>(std::floor(cy - reach));
    int32_t y1 = static_cast<int32_t>(std::ceil(cy + reach));
    if (!wrap) {
        if (x0 < 0) x0 = 0;
        if (y0 < 0) y0 = 0;
        if (x1 > p.width - 1) x1 = p.width - 1;
        if (y1 > p.height - 1) y1 = p.height - 1;
    } else {
        // A glow larger than the picture would visit pixels twice.
        if (x1 - x0 >= p.width) x0 = static_cast<int32_t>(cx) - p.width / 2, x1 = x0 + p.width - 1;
        if (y1 - y0 >= p.height)
            y0 = static_cast<int32_t>(cy) - p.height / 2, y1 = y0 + p.height - 1;
    }
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / radius;
            float q = 1.0f + dx * dx + dy * dy;
            float f = strength / (q * q);
            int32_t px = wrap ? wrapIndex(x, p.width) : x;
            int32_t py = wrap ? wrapIndex(y, p.height) : y;
            addColour(p, px, py, c, f);
        }
    }
}

Mask makeMask(int32_t width, int32_t height) {
    Mask m;
    m.width = width;
    m.height = height;
    m.value.assign(static_cast<size_t>(width) * height, 0.0f);
    return m;
}

static void boxPass(const std::vector<float>& in, std::vector<float>& out, int32_t w, int32_t h,
                    int32_t radius, bool horizontal) {
    int32_t n = horizontal ? w : h, lines = horizontal ? h : w;
    float scale = 1.0f / (2 * radius + 1);
    for (int32_t line = 0; line < lines; ++line) {
        auto at = [&](int32_t i) -> size_t {
            return horizontal ? static_cast<size_t>(line) * w + i
                              : static_cast<size_t>(i) * w + line;
        };
        float sum = 0.0f;
        for (int32_t i = -radius; i <= radius; ++i)
            if (i >= 0 && i < n) sum += in[at(i)];
        for (int32_t i = 0; i < n; ++i) {
            out[at(i)] = sum * scale;
            int32_t leaving = i - radius, entering = i + radius + 1;
            if (leaving >= 0) sum -= in[at(leaving)];
            if (entering < n) sum += in[at(entering)];
        }
    }
}

Mask blurMask(const Mask& m, int32_t radius) {
    Mask out = m;
    if (radius < 1) return out;
    std::vector<float> tmp(out.value.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(out.value, tmp, m.width, m.height, radius, true);
        boxPass(tmp, out.value, m.width, m.height, radius, false);
    }
    return out;
}

void addMask(Picture& p, const Mask& m, Colour c, float strength) {
    for (int32_t y = 0; y < p.height && y < m.height; ++y)
        for (int32_t x = 0; x < p.width && x < m.width; ++x)
            addColour(p, x, y, c, strength * m.value[static_cast<size_t>(y) * m.width + x]);
}

uint8_t toByte(float linear) {
    float v = linear < 0.0f ? 0.0f : linear;
    // Linear up to 0.8, then an exponential shoulder that approaches 1.0.
    if (v > 0.8f) v = 0.8f + 0.2f * (1.0f - std::exp(-(v - 0.8f) / 0.2f));
    int32_t b = static_cast<int32_t>(v * 255.0f + 0.5f);
    return static_cast<uint8_t>(b > 255 ? 255 : b);
}

Bytes pictureRgb(const Picture& p) {
    Bytes out(p.rgb.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = toByte(p.rgb[i]);
    return out;
}

bool savePictureJpeg(const Picture& p, const std::string& path) {
    if (writeJpegFile(path, p.width, p.height, 3, pictureRgb(p), 92)) return true;
    perror(path.c_str());
    return false;
}

bool savePictureTga(const Picture& p, const std::string& path) {
    TgaRecord tga;
    tga.width = static_cast<uint16_t>(p.width);
    tga.height = static_cast<uint16_t>(p.height);
    tga.depth = 24;
    tga.descriptor = 0; // origin bottom left: the bottom row is stored first
    Bytes rgb = pictureRgb(p);
    tga.pixels.resize(rgb.size());
    size_t rowBytes = static_cast<size_t>(p.width) * 3;
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = &rgb[static_cast<size_t>(p.height - 1 - y) * rowBytes];
        uint8_t* dst = &tga.pixels[static_cast<size_t>(y) * rowBytes];
        for (size_t x = 0; x < rowBytes; x += 3) {
            dst[x] = src[x + 2];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x];
        }
    }
    if (writeTgaFile(path, tga)) return true;
    perror(path.c_str());
    return false;
}
