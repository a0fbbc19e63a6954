// Screen overlays: pictures drawn over the frame in a unit square that covers the viewport,
// origin at the bottom-left, (1, 1) at the top-right, whatever the window size.
#pragma once
#include <cstdint>

// A corner set names each corner of the quad by the texture coordinate it receives; the quad
// is always sent (0, 0)-corner, (1, 0)-corner, (1, 1)-corner, (0, 1)-corner.
struct CornerSet {
    float x00, y00; // gets texture coordinate (0, 0)
    float x10, y10; // (1, 0)
    float x01, y01; // (0, 1)
    float x11, y11; // (1, 1)
};

// The picture upright over the whole screen: its first (top) row along the top edge.
constexpr CornerSet fullScreenCorners = {0, 1, 1, 1, 0, 0, 1, 0};
// The picture over the full width and the lower 60 % of the height, upright.
constexpr CornerSet lowerBandCorners = {0, 0.6f, 1, 0.6f, 0, 0, 1, 0};

// One textured quad, grey 0.7, under the blend function in force.
void drawOverlayQuad(uint32_t texture, float alpha, const CornerSet& corners);

// One textured quad, white, with its own blend function (overlayBlend 1: SRC_ALPHA, ONE;
// 2: ONE, SRC_COLOR; 3: SRC_ALPHA, ONE_MINUS_SRC_ALPHA; other: unchanged) and the texture
// matrix shifted by offset along axis 'x', 'y' or 'z' (any other axis, e.g. 0: no shift).
void drawBlendedOverlayQuad(uint32_t texture, float alpha, const CornerSet& corners, float offset,
                            char axis, int32_t overlayBlend);

// Three full-screen quads, grey 0.55, whose texture windows move and scale with wobbleAngle;
// the layer adds its alpha-weighted texels to the frame.
void drawWarpOverlay(uint32_t texture, float alpha);
