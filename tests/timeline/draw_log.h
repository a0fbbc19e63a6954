// Reads a frame the GL recorder saw back as the list of draws the director made.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gl_recorder.h"

// One draw of a frame as the recorder saw it.
struct Draw {
    std::string kind; // "quad", "band", "warp", "glow", "lit" or "scene"
    uint32_t texture = 0;
    float alpha = 0;
    int scene = 0;            // 1..3 for scene draws
    int frame = -1;           // frame the scene was evaluated at (needs frame-coded keys)
    std::string text() const; // kind, texture and scene/frame, without the alpha
};

std::vector<Draw> drawsOf(const std::vector<GlCall>& log);
std::vector<std::string> textsOf(const std::vector<Draw>& draws);
