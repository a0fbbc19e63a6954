#include "gl_recorder.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <iterator>

namespace {
std::vector<GlCall> log;
GlState model;

void record(const char* name, std::initializer_list<double> args) {
    log.push_back(GlCall{name, std::vector<double>(args)});
}

int stackIndex(GLenum mode) {
    switch (mode) {
    case GL_PROJECTION:
        return 1;
    case GL_TEXTURE:
        return 2;
    default:
        return 0;
    }
}
} // namespace

bool operator==(const GlState& a, const GlState& b) {
    auto same = [](const auto& x, const auto& y) { return std::equal(x, x + std::size(x), y); };
    return a.matrixMode == b.matrixMode && a.enabled == b.enabled && a.blendSrc == b.blendSrc &&
           a.blendDst == b.blendDst && a.boundTexture == b.boundTexture && same(a.color, b.color) &&
           same(a.normal, b.normal) && same(a.texCoord, b.texCoord) &&
           same(a.stackDepth, b.stackDepth) && a.openBegins == b.openBegins &&
           a.lastError == b.lastError && a.textureSizes == b.textureSizes;
}

namespace glrec {
std::vector<GlCall>& calls() {
    return log;
}
GlState& state() {
    return model;
}
void reset() {
    log.clear();
    model = GlState{};
}
std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& c : log)
        out.push_back(c.name);
    return out;
}
std::vector<GlCall> callsNamed(const std::string& name) {
    std::vector<GlCall> out;
    for (const auto& c : log)
        if (c.name == name) out.push_back(c);
    return out;
}
std::string dump() {
    std::string out;
    char buf[64];
    for (const auto& c : log) {
        out += c.name + "(";
        for (size_t i = 0; i < c.args.size(); ++i) {
            snprintf(buf, sizeof buf, "%s%.9g", i ? ", " : "", c.args[i]);
            out += buf;
        }
        out += ")\n";
    }
    return out;
}
} // namespace glrec

extern "C" {

void glClear(GLbitfield mask) {
    record("glClear", {double(mask)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    record("glClearColor", {r, g, b, a});
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    record("glViewport", {double(x), double(y), double(w), double(h)});
}
void glMatrixMode(GLenum mode) {
    record("glMatrixMode", {double(mode)});
    model.matrixMode = mode;
}
void glLoadIdentity() {
    record("glLoadIdentity", {});
}
void glLoadMatrixf(const GLfloat* m) {
    record("glLoadMatrixf", {m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10],
                             m[11], m[12], m[13], m[14], m[15]});
}
void glPushMatrix() {
    record("glPushMatrix", {});
    model.stackDepth[stackIndex(model.matrixMode)]++;
}
void glPopMatrix() {
    record("glPopMatrix", {});
    int& depth = model.stackDepth[stackIndex(model.matrixMode)];
    if (depth <= 1)
        model.lastError = GL_STACK_UNDERFLOW;
    else
        depth--;
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record("glTranslatef", {x, y, z});
}
void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    record("glTranslated", {x, y, z});
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    record("glScalef", {x, y, z});
}
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", {a, x, y, z});
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    record("glOrtho", {l, r, b, t, n, f});
}
void glEnable(GLenum cap) {
    record("glEnable", {double(cap)});
    model.enabled.insert(cap);
}
void glDisable(GLenum cap) {
    record("glDisable", {double(cap)});
    model.enabled.erase(cap);
}
GLboolean glIsEnabled(GLenum cap) {
    return model.isEnabled(cap) ? GL_TRUE : GL_FALSE;
}
void glBlendFunc(GLenum s, GLenum d) {
    record("glBlendFunc", {double(s), double(d)});
    // OpenGL 1.1 accepts neither GL_SRC_COLOR as a source nor GL_DST_COLOR as a destination.
    if (s == GL_SRC_COLOR || s == GL_ONE_MINUS_SRC_COLOR || d == GL_DST_COLOR ||
        d == GL_ONE_MINUS_DST_COLOR) {
        model.lastError = GL_INVALID_ENUM;
        return;
    }
    model.blendSrc = s;
    model.blendDst = d;
}
void glBindTexture(GLenum target, GLuint name) {
    record("glBindTexture", {double(target), double(name)});
    model.boundTexture = name;
}
void glPixelStorei(GLenum p, GLint v) {
    record("glPixelStorei", {double(p), double(v)});
}
void glTexParameteri(GLenum t, GLenum p, GLint v) {
    record("glTexParameteri", {double(t), double(p), double(v)});
}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    record("glTexImage2D", {double(target), double(level), double(internal), double(w), double(h),
                            double(border), double(format), double(type), pixels ? 1.0 : 0.0});
    if (level == 0) model.textureSizes[model.boundTexture] = {w, h};
}
void glTexEnvi(GLenum t, GLenum p, GLint v) {
    record("glTexEnvi", {double(t), double(p), double(v)});
}
void glBegin(GLenum mode) {
    record("glBegin", {double(mode)});
    model.openBegins++;
}
void glEnd() {
    record("glEnd", {});
    model.openBegins--;
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    record("glColor4f", {r, g, b, a});
    model.color[0] = r, model.color[1] = g, model.color[2] = b, model.color[3] = a;
}
void glColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a) {
    record("glColor4d", {r, g, b, a});
    model.color[0] = float(r), model.color[1] = float(g), model.color[2] = float(b),
    model.color[3] = float(a);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    record("glColor3f", {r, g, b});
    model.color[0] = r, model.color[1] = g, model.color[2] = b, model.color[3] = 1;
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glNormal3f", {x, y, z});
    model.normal[0] = x, model.normal[1] = y, model.normal[2] = z;
}
void glNormal3fv(const GLfloat* v) {
    record("glNormal3fv", {v[0], v[1], v[2]});
    model.normal[0] = v[0], model.normal[1] = v[1], model.normal[2] = v[2];
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    record("glTexCoord2f", {s, t});
    model.texCoord[0] = s, model.texCoord[1] = t;
}
void glTexCoord2d(GLdouble s, GLdouble t) {
    record("glTexCoord2d", {s, t});
    model.texCoord[0] = float(s), model.texCoord[1] = float(t);
}
void glTexCoord2fv(const GLfloat* v) {
    record("glTexCoord2fv", {v[0], v[1]});
    model.texCoord[0] = v[0], model.texCoord[1] = v[1];
}
void glVertex2f(GLfloat x, GLfloat y) {
    record("glVertex2f", {x, y});
}
void glVertex2d(GLdouble x, GLdouble y) {
    record("glVertex2d", {x, y});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glVertex3f", {x, y, z});
}
void glVertex3fv(const GLfloat* v) {
    record("glVertex3fv", {v[0], v[1], v[2]});
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    record("glVertex3d", {x, y, z});
}
void glVertex3i(GLint x, GLint y, GLint z) {
    record("glVertex3i", {double(x), double(y), double(z)});
}
void glLightfv(GLenum light, GLenum p, const GLfloat* v) {
    if (p == GL_SPOT_DIRECTION)
        record("glLightfv", {double(light), double(p), v[0], v[1], v[2]});
    else if (p == GL_AMBIENT || p == GL_DIFFUSE || p == GL_SPECULAR || p == GL_POSITION)
        record("glLightfv", {double(light), double(p), v[0], v[1], v[2], v[3]});
    else
        record("glLightfv", {double(light), double(p), v[0]});
}
void glLightf(GLenum light, GLenum p, GLfloat v) {
    record("glLightf", {double(light), double(p), v});
}
void glHint(GLenum t, GLenum m) {
    record("glHint", {double(t), double(m)});
}
void glFogfv(GLenum p, const GLfloat* v) {
    if (p == GL_FOG_COLOR)
        record("glFogfv", {double(p), v[0], v[1], v[2], v[3]});
    else
        record("glFogfv", {double(p), v[0]});
}
void glFogf(GLenum p, GLfloat v) {
    record("glFogf", {double(p), v});
}
void glFogi(GLenum p, GLint v) {
    record("glFogi", {double(p), double(v)});
}
void glCullFace(GLenum m) {
    record("glCullFace", {double(m)});
}
void glFrontFace(GLenum m) {
    record("glFrontFace", {double(m)});
}
void glShadeModel(GLenum m) {
    record("glShadeModel", {double(m)});
}
void glFinish() {
    record("glFinish", {});
}
void glFlush() {
    record("glFlush", {});
}
GLenum glGetError() {
    GLenum e = model.lastError;
    model.lastError = GL_NO_ERROR;
    return e;
}
void glGetIntegerv(GLenum p, GLint* v) {
    if (p == GL_MATRIX_MODE)
        *v = GLint(model.matrixMode);
    else if (p == GL_TEXTURE_BINDING_2D)
        *v = GLint(model.boundTexture);
    else if (p == GL_BLEND_SRC)
        *v = GLint(model.blendSrc);
    else if (p == GL_BLEND_DST)
        *v = GLint(model.blendDst);
    else if (p == GL_MODELVIEW_STACK_DEPTH)
        *v = model.stackDepth[0];
    else if (p == GL_PROJECTION_STACK_DEPTH)
        *v = model.stackDepth[1];
    else if (p == GL_TEXTURE_STACK_DEPTH)
        *v = model.stackDepth[2];
    else
        *v = 0;
}
void glGetFloatv(GLenum p, GLfloat* v) {
    if (p == GL_CURRENT_COLOR)
        for (int i = 0; i < 4; ++i)
            v[i] = model.color[i];
    else
        *v = 0;
}
const GLubyte* glGetString(GLenum) {
    return reinterpret_cast<const GLubyte*>("GL recorder");
}
void glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) {}
void glDeleteTextures(GLsizei, const GLuint*) {}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void gluOrtho2D(GLdouble l, GLdouble r, GLdouble b, GLdouble t) {
    record("gluOrtho2D", {l, r, b, t});
}
}
