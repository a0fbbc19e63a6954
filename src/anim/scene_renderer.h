// Draws one scene at one frame through one of its cameras, every vertex carried into eye
// space on the CPU.
#pragma once
#include <cstdint>

struct Scene;

void drawAnimatedScene(Scene& scene, int32_t frame, int32_t cameraIndex, uint32_t texture,
                       float alpha, int32_t blendType, int32_t normalTexCoords);
