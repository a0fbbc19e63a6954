#include "common/gl_in_force.h"

GlInForce glInForce;
bool skipInvisibleLayers = true;

// Why skipping such a layer is exact. With lighting off the fragment's alpha is the current
// colour's alpha times the texel's (the texture environment stays GL's modulate), and GL
// clamps the colour to [0, 1] before rasterising, so an alpha at or below 0 gives every
// fragment alpha 0. The blend then computes src x 0 + dst x 1 under (GL_SRC_ALPHA, GL_ONE) and
// under (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA): 0 and 1 are exact in every colour format, so
// each channel, alpha too, keeps its value to the bit. Fog changes only red, green and blue,
// never alpha. With depth testing off nothing is written to the depth buffer. Any other case
// does change pixels: (GL_ONE, GL_ONE) adds the colour whatever the alpha, a depth test
// writes depth, and lighting takes its alpha from the material instead of the colour.
bool layerLeavesFrameUnchanged(float alpha) {
    if (!skipInvisibleLayers || !(alpha <= 0.0f)) return false;
    if (glInForce.depthTest || glInForce.lighting) return false;
    if (glInForce.blendSource != GL_SRC_ALPHA) return false;
    return glInForce.blendDestination == GL_ONE ||
           glInForce.blendDestination == GL_ONE_MINUS_SRC_ALPHA;
}
