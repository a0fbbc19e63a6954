// Text for the pictures, drawn with a real font through FreeType. The font comes from the
// system's DejaVu package at bake time; nothing of it is stored in the repository.
#pragma once
#include <cstdint>
#include <string>

#include "picture.h"

// The first bold DejaVu face found in the usual Debian font folders; empty when none is there.
std::string findFont();

struct TextStyle {
    int32_t pixelHeight; // nominal glyph height (em size) in pixels
    float xScale;        // horizontal squeeze, to undo the stretch of a non-square screen area
    float spacing;       // extra pixels between letters
};

// Renders one line centred on centreX with its baseline at baselineY into the mask (coverage is
// added and clamped to 1). False with a report when the font cannot be used.
bool drawTextLine(Mask& mask, const std::string& fontPath, const TextStyle& style,
                  const std::string& text, float centreX, float baselineY);
