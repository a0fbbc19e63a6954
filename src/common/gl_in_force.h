// The part of GL's state that decides whether a layer drawn with no alpha can change a pixel,
// remembered beside the calls that set it: a glGet* in the frame path may stall the driver.
// Every blend function, depth test and lighting switch of the program goes through the
// setters below, so the record is exact.
#pragma once
#include <GL/gl.h>

struct GlInForce {
    GLenum blendSource = GL_ONE; // GL's start values: (GL_ONE, GL_ZERO), both switches off
    GLenum blendDestination = GL_ZERO;
    bool depthTest = false;
    bool lighting = false;
};

extern GlInForce glInForce;

// True (the default): draws with no alpha leave their vertices out. Only the capture tool's
// --no-cull clears it, to prove that the frames do not change.
extern bool skipInvisibleLayers;

inline void setBlendFunction(GLenum source, GLenum destination) {
    glBlendFunc(source, destination);
    glInForce.blendSource = source;
    glInForce.blendDestination = destination;
}

inline void setSwitch(GLenum capability, bool on, bool& inForce) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
    inForce = on;
}
inline void setDepthTest(bool on) {
    setSwitch(GL_DEPTH_TEST, on, glInForce.depthTest);
}
inline void setLighting(bool on) {
    setSwitch(GL_LIGHTING, on, glInForce.lighting);
}

// Whether a layer of textured primitives with this alpha, drawn now, leaves every pixel of
// the colour and depth buffers as it is (see the .cpp for why that is exact).
bool layerLeavesFrameUnchanged(float alpha);
