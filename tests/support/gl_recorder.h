// A stand-in for libGL and libGLU in unit tests: every entry point the demo uses records its
// name and arguments, and a small state model tracks what the calls leave behind, so a test
// can assert the exact call sequence and the state a draw leaves.
#pragma once
#include <GL/gl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;
    bool operator==(const GlCall& o) const { return name == o.name && args == o.args; }
};

struct GlState {
    GLenum matrixMode = GL_MODELVIEW;
    std::set<GLenum> enabled;
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    GLuint boundTexture = 0;
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texCoord[2] = {0, 0};    // s, t as GL keeps them: single precision
    int stackDepth[3] = {1, 1, 1}; // modelview, projection, texture
    int openBegins = 0;            // glBegin without its glEnd
    GLenum lastError = GL_NO_ERROR;
    std::map<GLuint, std::pair<int, int>> textureSizes; // name -> width, height of level 0
    bool isEnabled(GLenum cap) const { return enabled.count(cap) != 0; }
};
// Every field the same: what two draws leave for the next one.
bool operator==(const GlState& a, const GlState& b);

namespace glrec {
std::vector<GlCall>& calls();
GlState& state();
void reset();
// Names only, for readable sequence assertions.
std::vector<std::string> names();
// Calls of one name, in order.
std::vector<GlCall> callsNamed(const std::string& name);
// The whole log as text, one call a line, for failure messages.
std::string dump();
} // namespace glrec
