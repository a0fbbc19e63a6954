// The three scenes of the show, as mesh-file and animation-file records:
//   scene 1, the great lantern with its ring of lamps and a precessing halo (the centrepiece);
//   scene 2, an armillary of nested rings about a glowing core, with orbiting sparks;
//   scene 3, a whirl of lanterns spiralling up a funnel (the opening).
// Keys are held, not interpolated, so every object and camera has a key on every frame. All
// motion repeats after loopFrames, so scene 1's range loops without a jump, and scenes 2 and 3,
// which the show draws up to 49 frames ahead of scene 1's counter, carry trailFrames more.
#pragma once
#include <cstdint>
#include <string>

#include "writers.h"

constexpr int32_t loopFrames = 600; // ten seconds at 60 frames per second
constexpr int32_t trailFrames = 50;
constexpr int32_t faceLimit = 4000; // per scene, to stay fast in software rendering

struct SceneFiles {
    MeshFileRecord mesh;
    AnimFileRecord anim;
};

SceneFiles buildCentrepiece();
SceneFiles buildArmillary();
SceneFiles buildLanternWhirl();

// Writes data/1.chk … data/3.chk and data/1a.chk … data/3a.chk under outDir.
bool bakeScenes(const std::string& outDir);
