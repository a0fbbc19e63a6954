#include "resources/lanternwhirl_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
struct Lantern {
    float x, y, radius, warmth;
};

constexpr int32_t lanternCount = 46;
constexpr float pi = 3.14159265f;

// Lanterns sit on two spiral arms, growing and cooling as they drift outwards.
void placeLanterns(Lantern* lanterns) {
    for (int32_t i = 0; i < lanternCount; ++i) {
        int32_t arm = i & 1;
        float t = float(i / 2) / float(lanternCount / 2);
        float angle = t * 3.4f * pi + float(arm) * pi + 0.4f;
        float distance = 0.12f + 0.78f * t;
        lanterns[i].x = std::cos(angle) * distance;
        lanterns[i].y = std::sin(angle) * distance * 0.82f;
        lanterns[i].radius = 0.018f + 0.03f * t;
        lanterns[i].warmth = 1.0f - 0.55f * t;
    }
}

uint8_t toByte(float v) {
    return uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}
} // namespace

void paintLanternwhirl(uint8_t* rgb, int32_t size) {
    Lantern lanterns[lanternCount];
    placeLanterns(lanterns);
    for (int32_t py = 0; py < size; ++py) {
        for (int32_t px = 0; px < size; ++px) {
            float u = (float(px) + 0.5f) / float(size) * 2.0f - 1.0f;
            float v = (float(py) + 0.5f) / float(size) * 2.0f - 1.0f;
            float r = std::sqrt(u * u + v * v);
            float a = std::atan2(v, u);

            // Night sky: deep indigo at the top to violet near the ground.
            float sky = (v + 1.0f) * 0.5f;
            float red = 8.0f + 46.0f * sky;
            float green = 6.0f + 12.0f * sky;
            float blue = 34.0f + 50.0f * sky;

            // The whirl: a logarithmic spiral of warm haze around the centre.
            float arm = std::cos(2.0f * a - 6.0f * std::log(r + 0.06f));
            float whirl = std::pow(std::max(0.0f, arm), 5.0f) * std::exp(-1.6f * r) *
                          std::min(1.0f, r * 6.0f);
            red += 170.0f * whirl;
            green += 80.0f * whirl;
            blue += 60.0f * whirl;

            // The lanterns' glow.
            for (const Lantern& l : lanterns) {
                float dx = u - l.x, dy = v - l.y;
                float d2 = dx * dx + dy * dy;
                float glow = std::exp(-d2 / (l.radius * l.radius));
                float halo = 0.25f * std::exp(-d2 / (9.0f * l.radius * l.radius));
                float g = glow + halo;
                red += 255.0f * g;
                green += (120.0f + 110.0f * l.warmth) * g;
                blue += (40.0f + 30.0f * (1.0f - l.warmth)) * g;
            }

            // The great lantern in the eye of the whirl.
            float core = std::exp(-(u * u * 1.6f + v * v) / 0.012f);
            float coreHalo = 0.5f * std::exp(-r * r / 0.05f);
            red += 255.0f * (core + coreHalo);
            green += 225.0f * core + 150.0f * coreHalo;
            blue += 150.0f * core + 50.0f * coreHalo;

            uint8_t* out = rgb + (size_t(py) * size + px) * 3;
            out[0] = toByte(red);
            out[1] = toByte(green);
            out[2] = toByte(blue);
        }
    }
}

void makeSetupBitmap(uint8_t* rgb) {
    paintLanternwhirl(rgb, setupBitmapSize);
}

void makeProgramIcon(uint8_t* rgba, int32_t size) {
    std::vector<uint8_t> rgb(size_t(size) * size * 3);
    paintLanternwhirl(rgb.data(), size);
    for (int32_t py = 0; py < size; ++py) {
        for (int32_t px = 0; px < size; ++px) {
            float u = (float(px) + 0.5f) / float(size) * 2.0f - 1.0f;
            float v = (float(py) + 0.5f) / float(size) * 2.0f - 1.0f;
            // Soft edge one pixel wide.
            float edge = (1.0f - std::sqrt(u * u + v * v)) * float(size) * 0.5f;
            size_t i = size_t(py) * size + px;
            rgba[i * 4 + 0] = rgb[i * 3 + 0];
            rgba[i * 4 + 1] = rgb[i * 3 + 1];
            rgba[i * 4 + 2] = rgb[i * 3 + 2];
            rgba[i * 4 + 3] = toByte(std::clamp(edge, 0.0f, 1.0f) * 255.0f);
        }
    }
}
