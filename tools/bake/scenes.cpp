#include "scenes.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "pictures.h"
#include "shapes.h"

namespace {
constexpr float twoPi = 6.28318530717959f;

// The loop angle of a frame: one full turn over loopFrames, so any motion built from whole
// multiples of it returns to its start.
float loopAngle(int32_t frame) {
    return twoPi * static_cast<float>(frame % loopFrames) / loopFrames;
}

MeshMaterialRecord material(uint8_t r, uint8_t g, uint8_t b, int32_t texture) {
    MeshMaterialRecord m;
    m.red = r, m.green = g, m.blue = b;
    m.textureName = materialTextures[texture].fileName;
    return m;
}

// One key per frame from 0 to frames − 1.
AnimObjectRecord track(const std::string& name, int32_t frames,
                       const std::function<Matrix4(float)>& pose) {
    AnimObjectRecord o;
    o.name = name;
    for (int32_t f = 0; f < frames; ++f)
        o.keys.push_back({static_cast<int16_t>(f), pose(loopAngle(f))});
    return o;
}

using Placement = std::function<void(float phi, Vector3& eye, Vector3& target)>;

AnimCameraRecord cameraTrack(int32_t frames, const Placement& place) {
    AnimCameraRecord c;
    c.fov = {45.0f};
    for (int32_t f = 0; f < frames; ++f) {
        Vector3 eye, target;
        place(loopAngle(f), eye, target);
        c.pos.push_back({static_cast<int16_t>(f), eye});
        c.target.push_back({static_cast<int16_t>(f), target});
    }
    return c;
}

AnimLightRecord lamp(Vector3 position, Vector3 colour) {
    AnimLightRecord l;
    l.tag = 1;
    l.colour = colour;
    l.scalar = 1.0f;
    l.keys.push_back({0, position});
    return l;
}

void startFiles(SceneFiles& s, int32_t frames) {
    s.mesh.cameraCount = 1;
    s.mesh.lightCount = 1;
    s.anim.firstFrame = 0;
    s.anim.endFrame = static_cast<int16_t>(frames);
}

void addObject(SceneFiles& s, const Shape& shape, const std::string& name, int16_t materialIndex,
               int32_t frames, const std::function<Matrix4(float)>& pose) {
    s.mesh.objects.push_back(objectRecord(shape, name, materialIndex));
    s.anim.objects.push_back(track(name, frames, pose));
}

// Moves a shape's texture v into [from, to]: scene 2 wears the environment picture, whose
// warm horizon lies along the picture's top and bottom edges.
Shape withV(Shape shape, float from, float to) {
    for (MeshTVertRecord& t : shape.tverts)
        t.v = from + (to - from) * t.v;
    return shape;
}

// A small paper lantern: brass caps over a bellied body, 1 unit ≈ 1 scene unit.
std::vector<ProfilePoint> smallLanternProfile(float s) {
    std::vector<ProfilePoint> p = {{0, -18}, {6, -17}, {10, -12}, {12, -5}, {12, 3},
                                   {10, 10}, {6, 15},  {3, 17},   {0, 18}};
    for (auto& q : p)
        q = {q.r * s, q.z * s};
    return p;
}
} // namespace

SceneFiles buildCentrepiece() {
    SceneFiles s;
    const int32_t frames = loopFrames;
    startFiles(s, frames);
    s.mesh.materials = {material(255, 150, 60, 0), material(220, 170, 70, 1)};

    // The great lantern: brass foot and top, a paper body pinched into twelve panels.
    std::vector<ProfilePoint> body = {{0, -76},  {10, -75}, {17, -72}, {22, -66}, {32, -60},
                                      {43, -50}, {51, -35}, {55, -17}, {56, 0},   {55, 17},
                                      {51, 35},  {43, 50},  {32, 60},  {22, 66},  {17, 72},
                                      {10, 75},  {0, 76}};
    std::vector<float> pinch = {0,     0,     0,     0,     0.04f, 0.07f, 0.08f, 0.08f, 0.08f,
                                0.08f, 0.08f, 0.07f, 0.04f, 0,     0,     0,     0};
    addObject(s, makeLathe(body, 36, 12, pinch), "lantern", 0, frames,
              [](float phi) { return then(rotateZ(phi), translate(0, 0, 6 * std::sin(2 * phi))); });
    addObject(s, makeTorus(14, 3.5f, 16, 6), "crown", 1, frames, [](float phi) {
        return then(rotateZ(-2 * phi), translate(0, 0, 81 + 6 * std::sin(2 * phi)));
    });
    // A thin ring that leans and precesses once per loop around the lantern.
    addObject(s, makeTorus(100, 2.5f, 48, 6), "halo", 1, frames, [](float phi) {
        return then(then(rotateX(0.45f + 0.1f * std::sin(2 * phi)), rotateZ(-phi)),
                    translate(0, 0, -5 + 4 * std::sin(2 * phi)));
    });
    // Six lamps circle the lantern twice per loop on a rolling wave.
    for (int32_t k = 0; k < 6; ++k) {
        float offset = twoPi * k / 6;
        addObject(s, makeLathe(smallLanternProfile(1.0f), 12), "lamp" + std::to_string(k + 1), 0,
                  frames, [offset, k](float phi) {
                      float a = 2 * phi + offset;
                      Matrix4 m =
                          then(rotateZ(4 * phi + k), rotateX(0.25f * std::sin(2 * phi + k)));
                      return then(m, translate(118 * std::cos(a), 118 * std::sin(a),
                                               28 * std::sin(a + phi)));
                  });
    }
    // The camera sways in front of the lantern, rising and sinking twice per loop.
    s.anim.cameras.push_back(cameraTrack(frames, [](float phi, Vector3& eye, Vector3& target) {
        float b = 0.55f * std::sin(phi);
        eye = {360 * std::sin(b), -360 * std::cos(b), 70 + 35 * std::sin(2 * phi)};
        target = {0, 0, 50}; // above the middle: the lantern sits below the title
    }));
    s.anim.lights.push_back(lamp({0, -150, 200}, {1.0f, 0.8f, 0.6f}));
    return s;
}

SceneFiles buildArmillary() {
    SceneFiles s;
    const int32_t frames = loopFrames + trailFrames;
    startFiles(s, frames);
    s.mesh.materials = {material(150, 190, 255, 2), material(220, 170, 70, 1),
                        material(230, 180, 255, 3)};

    // Five nested rings, each tumbling about its own tilted axis at a whole number of turns.
    const int32_t turns[5] = {1, -1, 2, -2, 1};
    for (int32_t k = 0; k < 5; ++k) {
        float major = 48 + 22.0f * k, minor = 4.5f + 0.6f * k;
        int32_t spin = turns[k];
        // Across the tube the ring runs from the horizon glow into the violet haze.
        Shape ring = withV(makeTorus(major, minor, 40, 6), 0.0f, 0.3f);
        addObject(s, ring, "ring" + std::to_string(k + 1), 0, frames, [k, spin](float phi) {
            Matrix4 m = then(rotateZ(phi * spin), rotateX(spin * phi + 0.7f * k));
            return then(m, rotateZ(1.1f * k + phi));
        });
    }
    std::vector<ProfilePoint> sphere;
    for (int32_t j = 0; j <= 10; ++j) {
        float a = -twoPi / 4 + twoPi / 2 * j / 10.0f;
        sphere.push_back({j == 0 || j == 10 ? 0.0f : 32 * std::cos(a), 32 * std::sin(a)});
    }
    addObject(s, withV(makeLathe(sphere, 20), 0.0f, 0.12f), "core", 1, frames,
              [](float phi) { return then(rotateX(0.4f), rotateZ(2 * phi)); });
    // Eight sparks on a helix outside the rings, three turns per loop.
    std::vector<ProfilePoint> diamond = {{0, -9}, {4, -4}, {6, 0}, {4, 4}, {0, 9}};
    for (int32_t k = 0; k < 8; ++k) {
        float offset = twoPi * k / 8;
        addObject(s, withV(makeLathe(diamond, 8), 0.0f, 0.2f), "spark" + std::to_string(k + 1), 2,
                  frames, [offset](float phi) {
                      float a = 3 * phi + offset;
                      return then(rotateZ(5 * phi), translate(165 * std::cos(a), 165 * std::sin(a),
                                                              45 * std::sin(2 * a + phi)));
                  });
    }
    // The camera circles the armillary once per loop, bobbing above and below its equator.
    s.anim.cameras.push_back(cameraTrack(frames, [](float phi, Vector3& eye, Vector3& target) {
        float a = phi + 0.6f;
        eye = {440 * std::cos(a), 440 * std::sin(a), 110 * std::sin(phi) + 40};
        target = {0, 0, 45};
    }));
    s.anim.lights.push_back(lamp({0, 0, 0}, {0.7f, 0.8f, 1.0f}));
    return s;
}

SceneFiles buildLanternWhirl() {
    SceneFiles s;
    const int32_t frames = loopFrames + trailFrames;
    startFiles(s, frames);
    s.mesh.materials = {material(200, 220, 255, 3), material(255, 150, 60, 0)};

    // A slim spindle at the eye of the whirl.
    std::vector<ProfilePoint> spindle = {{0, -95}, {4, -90}, {7, -70}, {9, -40}, {8, -10}, {6, 20},
                                         {7, 50},  {10, 70}, {8, 85},  {4, 92},  {0, 96}};
    addObject(s, makeLathe(spindle, 16), "spindle", 0, frames,
              [](float phi) { return rotateZ(-3 * phi); });
    // Twelve lanterns climb a funnel: low ones close to the spindle, high ones wide. They all
    // turn twice per loop, each spinning on its own leaning axis.
    const int32_t count = 12;
    for (int32_t k = 0; k < count; ++k) {
        float h = static_cast<float>(k) / (count - 1);
        float base = twoPi * k * 5 / count; // spread the climb around the circle
        float height = -75 + 150 * h, radius = 45 + 75 * h;
        addObject(s, makeLathe(smallLanternProfile(1.35f), 12), "whirl" + std::to_string(k + 1), 1,
                  frames, [=](float phi) {
                      float a = 2 * phi + base;
                      float r = radius * (1 + 0.12f * std::sin(phi + base));
                      Matrix4 m = then(then(rotateZ(5 * phi + k), rotateX(0.35f)), rotateZ(a));
                      return then(m, translate(r * std::cos(a), r * std::sin(a),
                                               height + 12 * std::sin(2 * phi + k)));
                  });
    }
    // The camera looks down into the funnel and circles against the whirl.
    s.anim.cameras.push_back(cameraTrack(frames, [](float phi, Vector3& eye, Vector3& target) {
        float a = -phi - 1.2f;
        eye = {330 * std::cos(a), 330 * std::sin(a), 150 + 30 * std::sin(2 * phi)};
        target = {0, 0, 50};
    }));
    s.anim.lights.push_back(lamp({0, 0, 150}, {1.0f, 0.7f, 0.4f}));
    return s;
}

bool bakeScenes(const std::string& outDir) {
    SceneFiles scenes[3] = {buildCentrepiece(), buildArmillary(), buildLanternWhirl()};
    for (int32_t i = 0; i < 3; ++i) {
        std::string n = std::to_string(i + 1);
        std::string mesh = outDir + "/data/" + n + ".chk", anim = outDir + "/data/" + n + "a.chk";
        if (!writeMeshFile(mesh, scenes[i].mesh)) {
            perror(mesh.c_str());
            return false;
        }
        if (!writeAnimFile(anim, scenes[i].anim)) {
            perror(anim.c_str());
            return false;
        }
    }
    return true;
}
