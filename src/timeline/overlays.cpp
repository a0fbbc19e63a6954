#include "timeline/overlays.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "common/gl_in_force.h"
#include "common/wobble.h"

namespace {

// Every overlay draws under its own 2-D projection of the unit square; the projection of the
// 3-D draws is saved here and restored by endOverlay.
void beginOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, 1, 0, 1);
}

void endOverlay() {
    glPopMatrix();
}

void sendCorners(const CornerSet& c) {
    glTexCoord2f(0, 0);
    glVertex2f(c.x00, c.y00);
    glTexCoord2f(1, 0);
    glVertex2f(c.x10, c.y10);
    glTexCoord2f(1, 1);
    glVertex2f(c.x11, c.y11);
    glTexCoord2f(0, 1);
    glVertex2f(c.x01, c.y01);
}

// One quad in grey (or white) at alpha. A quad that cannot change a pixel sends no vertices,
// only the colour and the last texture coordinate it would leave current.
void sendQuad(const CornerSet& corners, GLfloat grey, float alpha) {
    if (layerLeavesFrameUnchanged(alpha)) {
        glColor4f(grey, grey, grey, alpha);
        glTexCoord2f(0, 1);
        return;
    }
    glBegin(GL_QUADS);
    glColor4f(grey, grey, grey, alpha);
    sendCorners(corners);
    glEnd();
}

} // namespace

void drawOverlayQuad(uint32_t texture, float alpha, const CornerSet& corners) {
    beginOverlay();
    setDepthTest(false);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_BLEND);
    sendQuad(corners, 0.7f, alpha);
    endOverlay();
}

void drawBlendedOverlayQuad(uint32_t texture, float alpha, const CornerSet& corners, float offset,
                            char axis, int32_t overlayBlend) {
    beginOverlay();
    setDepthTest(false);
    // Value 2 is not the scene renderer's 2: here the picture darkens by its own colour.
    if (overlayBlend == 1)
        setBlendFunction(GL_SRC_ALPHA, GL_ONE);
    else if (overlayBlend == 2)
        setBlendFunction(GL_ONE, GL_SRC_COLOR);
    else if (overlayBlend == 3)
        setBlendFunction(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The texture matrix is left as set here: the identity unless an axis shifts it.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    if (axis == 'x')
        glTranslatef(offset, 0, 0);
    else if (axis == 'y')
        glTranslatef(0, offset, 0);
    else if (axis == 'z')
        glTranslatef(0, 0, offset);
    sendQuad(corners, 1, alpha);
    glMatrixMode(GL_PROJECTION);
    endOverlay();
}

void drawWarpOverlay(uint32_t texture, float alpha) {
    const double a = wobbleAngle;
    // S sweeps -0.4 .. 2.0; the window starts at (A, B) and measures S - n on both axes.
    const double S = std::sin(a * 0.8333333333333334) * 1.2 + 0.8;
    const double A = (1 - S) * (std::cos(a * 0.37037037037037035) * 0.5);
    const double B = (1 - S) * (std::sin(a * 0.5882352941176471) * 0.5);
    const double U = A + S;
    const double V = B + S;

    beginOverlay();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    // The layer was written against OpenGL 1.1, which refuses GL_SRC_COLOR as a source factor:
    // its request for (GL_SRC_COLOR, GL_ZERO) failed with GL_INVALID_ENUM and the additive
    // (GL_SRC_ALPHA, GL_ONE) of the preceding draws stayed in force. A newer GL would accept
    // that request and replace the whole frame with the squared layer, covering the scenes, so
    // the additive function the show was made with is set here instead.
    setBlendFunction(GL_SRC_ALPHA, GL_ONE);
    // The three quads share one alpha: all of them are drawn or none. A skipped layer leaves
    // the colour and the last quad's last texture coordinate current, as a drawn one does.
    if (layerLeavesFrameUnchanged(alpha)) {
        glColor4f(0.55f, 0.55f, 0.55f, alpha);
        glTexCoord2d(A, V - 3);
        endOverlay();
        return;
    }
    glBegin(GL_QUADS);
    glColor4f(0.55f, 0.55f, 0.55f, alpha);
    for (int n = 1; n <= 3; ++n) {
        glTexCoord2d(A, B);
        glVertex2d(0, 1);
        glTexCoord2d(U - n, B);
        glVertex2d(1, 1);
        glTexCoord2d(U - n, V - n);
        glVertex2d(1, 0);
        glTexCoord2d(A, V - n);
        glVertex2d(0, 0);
    }
    glEnd();
    endOverlay();
}
