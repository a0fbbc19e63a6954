#include "pictures.h"

#include <cmath>
#include <cstdio>

#include "lettering.h"

const ImageRecipe imageRecipes[8] = {
    {"lanternwhirl.jpg", 512, 512, true}, {"obrelline.jpg", 64, 64, false},
    {"tessivane.jpg", 64, 64, false},     {"end.jpg", 512, 256, true},
    {"marrowquill.jpg", 512, 512, false}, {"fennicove.jpg", 512, 512, false},
    {"env.jpg", 512, 512, false},         {"pulsar.jpg", 256, 256, false},
};

const MaterialTexture materialTextures[materialTextureCount] = {
    {"paper.tga", 256},
    {"brass.tga", 128},
    {"ring.tga", 128},
    {"glass.tga", 64},
};

namespace {
constexpr float pi = 3.14159265358979f;

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float clamp01(float t) {
    return t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
}

float smooth(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

void setPixel(Picture& p, int32_t x, int32_t y, Colour c) {
    float* px = pixelAt(p, x, y);
    px[0] = c.r;
    px[1] = c.g;
    px[2] = c.b;
}

// Light that glows through a mask: a wide halo, a tighter bloom and the sharp letters.
void glowText(Picture& p, const Mask& letters, Colour halo, Colour core, float scale) {
    addMask(p, blurMask(letters, static_cast<int32_t>(10 * scale)), halo, 1.6f);
    addMask(p, blurMask(letters, static_cast<int32_t>(3 * scale)), halo, 0.9f);
    addMask(p, letters, core, 1.0f);
}

// A thin horizontal line of light with a spark in its middle.
void addRule(Picture& p, float y, float x0, float x1, Colour c) {
    float mid = (x0 + x1) * 0.5f, half = (x1 - x0) * 0.5f;
    for (int32_t x = static_cast<int32_t>(x0); x <= static_cast<int32_t>(x1); ++x) {
        float fade = 1.0f - std::fabs((x - mid) / half);
        fade = fade * fade;
        for (int32_t dy = -4; dy <= 4; ++dy) {
            int32_t row = static_cast<int32_t>(y) + dy;
            if (row < 0 || row >= p.height || x < 0 || x >= p.width) continue;
            float fall = std::exp(-static_cast<float>(dy * dy) / 1.5f);
            addColour(p, x, row, c, 0.9f * fade * fall);
        }
    }
    addGlow(p, mid, y, 3.0f, {1.0f, 0.9f, 0.7f}, 1.2f, false);
}
} // namespace

Picture paintTitle(int32_t w, int32_t h, const std::string& fontPath, bool& ok) {
    Picture p = makePicture(w, h);
    float s = w / 512.0f;
    // The picture is square but covers a 4:3 screen: squeeze the letters by 3/4 so that they
    // keep their shape once stretched. The text sits in the upper third, above the scenes.
    Mask small = makeMask(w, h), large = makeMask(w, h);
    ok = drawTextLine(small, fontPath, {static_cast<int32_t>(34 * s), 0.75f, 9.0f * s},
                      "KETTERFOLD", w * 0.5f, 64 * s) &&
         drawTextLine(large, fontPath, {static_cast<int32_t>(80 * s), 0.75f, 1.0f * s},
                      "Lanternwhirl", w * 0.5f, 150 * s);
    glowText(p, small, {0.35f, 0.55f, 0.9f}, {0.85f, 0.92f, 1.0f}, s);
    glowText(p, large, {0.9f, 0.38f, 0.08f}, {1.0f, 0.86f, 0.55f}, s);
    addRule(p, 84 * s, 130 * s, 382 * s, {0.9f, 0.6f, 0.3f});
    // A few drifting lantern sparks around the lettering.
    for (int32_t i = 0; i < 14; ++i) {
        float x = (40 + 432 * latticeHash(i, 1, 77)) * s;
        float y = (30 + 160 * latticeHash(i, 2, 77)) * s;
        float r = (1.0f + 1.8f * latticeHash(i, 3, 77)) * s;
        addGlow(p, x, y, r, {1.0f, 0.6f, 0.25f}, 0.35f, false);
    }
    return p;
}

Picture paintEndCredits(int32_t w, int32_t h, const std::string& fontPath, bool& ok) {
    Picture p = makePicture(w, h);
    float s = w / 512.0f;
    // The picture fills the full width and the lower 60 % of a 4:3 screen (an area of 20:9);
    // being 2:1 it is stretched by 10/9 across, which the squeeze of 0.9 undoes. The upper
    // half stays dark so that the scene above it is not washed out.
    Mask title = makeMask(w, h), lines = makeMask(w, h);
    ok = drawTextLine(title, fontPath, {static_cast<int32_t>(40 * s), 0.9f, 2.0f * s}, "Ketterfold",
                      w * 0.5f, 170 * s) &&
         drawTextLine(
             lines, fontPath, {static_cast<int32_t>(15 * s), 0.9f, 1.0f * s},
             "code \xc2\xb7 meshes \xc2\xb7 pictures \xc2\xb7 music \xe2\x80\x94 all made by code",
             w * 0.5f, 208 * s) &&
         drawTextLine(lines, fontPath, {static_cast<int32_t>(15 * s), 0.9f, 1.0f * s},
                      "thank you for watching Lanternwhirl", w * 0.5f, 232 * s);
    glowText(p, title, {0.9f, 0.42f, 0.1f}, {1.0f, 0.88f, 0.6f}, s);
    glowText(p, lines, {0.25f, 0.35f, 0.6f}, {0.75f, 0.82f, 0.95f}, s * 0.5f);
    addRule(p, 184 * s, 150 * s, 362 * s, {0.9f, 0.55f, 0.25f});
    // A faint floor of warm light along the bottom edge.
    for (int32_t y = 0; y < h; ++y) {
        float f = smooth(0.6f, 1.0f, (y + 0.5f) / h) * 0.08f;
        for (int32_t x = 0; x < w; ++x)
            addColour(p, x, y, {1.0f, 0.45f, 0.15f}, f);
    }
    return p;
}

Picture paintMarrowquill(int32_t w, int32_t h) {
    Picture p = makePicture(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            // Domain warping: the noise is read where another noise points, which bends the
            // pattern into slow smoky quills.
            float wx = tiledFbm(u, v, 3, 4, 11) - 0.5f;
            float wy = tiledFbm(u, v, 3, 4, 12) - 0.5f;
            float f = tiledFbm(u + 0.6f * wx, v + 0.6f * wy, 4, 5, 13);
            float ridge = 1.0f - std::fabs(f - 0.5f) * 2.0f; // 1 along the middle contour
            float veins = std::pow(ridge, 14.0f);
            float smoke = smooth(0.35f, 0.8f, f);
            float cx = u - 0.5f, cy = v - 0.5f;
            float vignette = 1.0f - smooth(0.25f, 0.75f, std::sqrt(cx * cx + cy * cy));
            Colour base = mix({0.02f, 0.0f, 0.05f}, {0.35f, 0.04f, 0.12f}, smoke);
            Colour c = {base.r + veins * 0.75f, base.g + veins * 0.25f, base.b + veins * 0.45f};
            // Dimmer towards the corners, and dim overall: it lies behind the scenes.
            float k = 0.7f * (0.35f + 0.65f * vignette);
            setPixel(p, x, y, {c.r * k, c.g * k, c.b * k});
        }
    }
    for (int32_t i = 0; i < 9; ++i) {
        float x = w * latticeHash(i, 5, 31), y = h * latticeHash(i, 6, 31);
        addGlow(p, x, y, w * 0.03f, {0.9f, 0.3f, 0.5f}, 0.25f, true);
    }
    return p;
}

Picture paintLanternPaper(int32_t w, int32_t h) {
    // u runs once around a lantern (so the picture repeats across), v from its top (row 0) to
    // its bottom.
    Picture p = makePicture(w, h);
    const int32_t ribs = 12, medallions = 4;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            float fibre = tiledFbm(u * 1.0f, v * 1.0f, 8, 4, 21);
            float streak = tiledNoise(u * 64.0f, v * 4.0f, 64, 22);
            // Lit from inside: brightest at mid height.
            float inner = 0.55f + 0.45f * std::sin(pi * v);
            Colour paper = mix({0.55f, 0.12f, 0.03f}, {1.0f, 0.5f, 0.12f}, inner);
            float grain = 0.8f + 0.25f * fibre + 0.1f * streak;
            Colour c = {paper.r * grain, paper.g * grain, paper.b * grain};
            // Dark bamboo ribs between the panels.
            // Ribs lie on the panel borders u = k / 12, where the lantern meshes crease.
            float ribPos = u * ribs - std::floor(u * ribs);
            float ribDist = ribPos < 0.5f ? ribPos : 1.0f - ribPos;
            float rib = std::exp(-std::pow(ribDist / 0.035f, 2.0f));
            float dim = 1.0f - 0.65f * rib;
            c = {c.r * dim, c.g * dim, c.b * dim};
            // Gold trim bands at the top and bottom.
            float band = smooth(0.1f, 0.07f, v) + smooth(0.9f, 0.93f, v);
            float trimLine = std::exp(-std::pow((std::fmod(v * 40.0f, 1.0f) - 0.5f) / 0.2f, 2.0f));
            float gold = 0.75f + 0.25f * trimLine;
            c = mix(c, {1.0f * gold, 0.68f * gold, 0.28f * gold}, clamp01(band));
            // A golden whirl medallion on every third panel, centred between two ribs.
            float mu = u * medallions - std::floor(u * medallions) - 0.5f;
            float mv = (v - 0.5f) * medallions * 0.5f;
            float r = std::sqrt(mu * mu + mv * mv);
            if (r < 0.45f) {
                float a = std::atan2(mv, mu);
                float spiral = 0.5f + 0.5f * std::sin(3.0f * a + 28.0f * r);
                float line = std::pow(spiral, 10.0f) * smooth(0.45f, 0.3f, r);
                float core = std::exp(-r * r / 0.004f);
                c = {c.r + 0.7f * line + 0.6f * core, c.g + 0.5f * line + 0.5f * core,
                     c.b + 0.15f * line + 0.3f * core};
            }
            setPixel(p, x, y, c);
        }
    }
    return p;
}

Picture paintEnvironment(int32_t w, int32_t h) {
    // Read as a reflection through the eye-space normal, the picture repeats on both axes and
    // the middle of an object sees its corners. The horizon therefore lies along the top and
    // bottom edges (a bright band through every object's waist, meeting across the wrap) and
    // the deep sky fills the middle rows; every feature wraps across the edges.
    Picture p = makePicture(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            float d = v < 0.5f ? v : 1.0f - v; // distance from the horizon, 0 … 0.5
            float cloud = tiledFbm(u, v, 4, 5, 41);
            float band = std::exp(-d / 0.055f);
            float haze = std::exp(-d / 0.16f) * (0.6f + 0.6f * cloud);
            // The deep sky is kept bright enough to read on objects that face the viewer.
            Colour c = mix({0.07f, 0.09f, 0.3f}, {0.12f, 0.2f, 0.45f}, cloud);
            c = mix(c, {0.55f, 0.16f, 0.5f}, clamp01(haze * 0.8f));
            c = {c.r + 1.2f * band, c.g + 0.62f * band, c.b + 0.25f * band};
            // Stars in the deep sky.
            float star = latticeHash(x, y, 43);
            if (star > 0.9975f && d > 0.12f) c = {c.r + 0.8f, c.g + 0.8f, c.b + 0.9f};
            setPixel(p, x, y, c);
        }
    }
    // Lanterns hanging over the horizon: warm lights, larger and denser near it.
    for (int32_t i = 0; i < 60; ++i) {
        float x = w * latticeHash(i, 1, 45);
        float d = 0.02f + 0.3f * std::pow(latticeHash(i, 2, 45), 2.0f);
        float y = h * (latticeHash(i, 3, 45) < 0.5f ? d : 1.0f - d);
        float r = w * (0.004f + 0.008f * latticeHash(i, 4, 45)) * (1.2f - d * 2.0f);
        Colour c = mix({1.0f, 0.45f, 0.12f}, {1.0f, 0.8f, 0.4f}, latticeHash(i, 5, 45));
        addGlow(p, x, y, r, c, 0.9f, true);
    }
    // Two large moons of light, one per half, for a sweeping highlight.
    addGlow(p, w * 0.3f, h * 0.3f, w * 0.05f, {0.7f, 0.8f, 1.0f}, 0.6f, true);
    addGlow(p, w * 0.75f, h * 0.72f, w * 0.04f, {1.0f, 0.7f, 0.9f}, 0.5f, true);
    return p;
}

Picture paintPulsar(int32_t w, int32_t h) {
    // The warp layer shows this picture in moving, mirrored and repeated windows, so it tiles:
    // an interference of whole-period waves with a pulsing star whose rings fade before the
    // edges.
    Picture p = makePicture(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            float f = std::sin(2 * pi * (3 * u + v)) + std::sin(2 * pi * (2 * u - 5 * v)) +
                      std::sin(2 * pi * 4 * (u + v)) + std::sin(2 * pi * (u - 3 * v));
            float lines = std::exp(-f * f * 6.0f);
            float cx = u - 0.5f, cy = v - 0.5f;
            float r = std::sqrt(cx * cx + cy * cy);
            float rings =
                std::pow(0.5f + 0.5f * std::cos(2 * pi * 9 * r), 6.0f) * smooth(0.45f, 0.2f, r);
            float a = std::atan2(cy, cx);
            float rays = std::pow(std::fabs(std::cos(4 * a)), 30.0f) * smooth(0.5f, 0.05f, r);
            Colour c = {0.05f + 0.25f * lines + 0.35f * rings + 0.4f * rays,
                        0.1f + 0.5f * lines + 0.6f * rings + 0.6f * rays,
                        0.25f + 0.7f * lines + 0.8f * rings + 0.8f * rays};
            setPixel(p, x, y, c);
        }
    }
    addGlow(p, w * 0.5f, h * 0.5f, w * 0.03f, {0.8f, 0.95f, 1.0f}, 1.5f, true);
    return p;
}

namespace {
// The two pictures the show loads but never draws: small, plain and cheap.
Picture paintOrb(int32_t w, int32_t h, Colour c) {
    Picture p = makePicture(w, h);
    addGlow(p, w * 0.5f, h * 0.5f, w * 0.12f, c, 1.0f, true);
    return p;
}

Picture paintBrass(int32_t n) {
    Picture p = makePicture(n, n);
    for (int32_t y = 0; y < n; ++y)
        for (int32_t x = 0; x < n; ++x) {
            float f = tiledFbm((x + 0.5f) / n, (y + 0.5f) / n, 4, 4, 51);
            float sheen = 0.5f + 0.5f * std::sin(2 * pi * (y + 0.5f) / n * 3.0f);
            setPixel(p, x, y,
                     {0.55f + 0.3f * f + 0.15f * sheen, 0.4f + 0.2f * f + 0.1f * sheen,
                      0.12f + 0.1f * f});
        }
    return p;
}

Picture paintBandedMetal(int32_t n, Colour a, Colour b, uint32_t seed) {
    Picture p = makePicture(n, n);
    for (int32_t y = 0; y < n; ++y)
        for (int32_t x = 0; x < n; ++x) {
            float f = tiledFbm((x + 0.5f) / n, (y + 0.5f) / n, 2, 4, seed);
            float band = 0.5f + 0.5f * std::sin(2 * pi * 6.0f * (x + 0.5f) / n);
            setPixel(p, x, y, mix(a, b, clamp01(0.6f * band + 0.6f * f - 0.2f)));
        }
    return p;
}
} // namespace

Picture paintImage(int32_t index, const std::string& fontPath, bool& ok) {
    const ImageRecipe& r = imageRecipes[index];
    ok = true;
    switch (index) {
    case 0:
        return paintTitle(r.width, r.height, fontPath, ok);
    case 1:
        return paintOrb(r.width, r.height, {0.3f, 0.8f, 0.5f});
    case 2:
        return paintOrb(r.width, r.height, {0.8f, 0.3f, 0.7f});
    case 3:
        return paintEndCredits(r.width, r.height, fontPath, ok);
    case 4:
        return paintMarrowquill(r.width, r.height);
    case 5:
        return paintLanternPaper(r.width, r.height);
    case 6:
        return paintEnvironment(r.width, r.height);
    default:
        return paintPulsar(r.width, r.height);
    }
}

Picture paintMaterialTexture(int32_t index) {
    int32_t n = materialTextures[index].size;
    switch (index) {
    case 0:
        return paintLanternPaper(n, n);
    case 1:
        return paintBrass(n);
    case 2:
        return paintBandedMetal(n, {0.1f, 0.2f, 0.4f}, {0.7f, 0.8f, 0.95f}, 61);
    default:
        return paintBandedMetal(n, {0.2f, 0.1f, 0.3f}, {0.9f, 0.7f, 1.0f}, 71);
    }
}

bool bakePictures(const std::string& outDir) {
    std::string font = findFont();
    if (font.empty()) {
        fprintf(stderr, "bake: no DejaVu font found (install fonts-dejavu-core)\n");
        return false;
    }
    for (int32_t i = 0; i < 8; ++i) {
        bool ok = true;
        Picture p = paintImage(i, font, ok);
        if (!ok || !savePictureJpeg(p, outDir + "/data/" + imageRecipes[i].fileName)) return false;
    }
    for (int32_t i = 0; i < materialTextureCount; ++i)
        if (!savePictureTga(paintMaterialTexture(i),
                            outDir + "/gfx/" + materialTextures[i].fileName))
            return false;
    return true;
}
