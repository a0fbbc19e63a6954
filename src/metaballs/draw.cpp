// The two metaball draws. Each runs the whole effect for its frame: field, surface, triangles,
// then one step of the balls, so drawing a metaball frame is what moves them.
#include "metaballs/metaballs.h"

#include <GL/gl.h>

#include "common/gl_in_force.h"
#include "common/run_state.h"

namespace {
// One glTexCoord2f and one glVertex3d per stored vertex. The texture coordinate projects the
// vertex through the model origin (Z before the offset); the +800 is added as an integer.
void submitVertices() {
    for (int32_t i = 0; i + 2 < metaVertCount; i += 3) {
        const int32_t x = metaVerts[i], y = metaVerts[i + 1], z = metaVerts[i + 2];
        glTexCoord2f(2.0f * float(x) / float(z), 2.0f * float(y) / float(z));
        glVertex3d(double(x), double(y), double(z + 800));
    }
}
} // namespace

void drawMetaballsGlow(uint32_t texture, float alpha) {
    setDepthTest(true);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(float(-(screenWidth / 2)), float(-(screenHeight / 2) + 150), -1500.0f);
    computeField();
    polygonizeBalls(Geometry::Squashed);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    setBlendFunction(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    glColor4f(0.75f, 0.75f, 0.75f, alpha);
    submitVertices();
    glEnd();
    moveBalls();
    glPopMatrix();
    setDepthTest(false);
}

void drawMetaballsLit(uint32_t texture, float alpha) {
    setDepthTest(true);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(float(-(screenWidth / 2) - 150), float(-(screenHeight / 2) - 100), -1800.0f);
    computeField();
    polygonizeBalls(Geometry::Cube);
    setLighting(true);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    setBlendFunction(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    glColor4f(1.75f, 1.75f, 1.75f, alpha);
    submitVertices();
    glEnd();
    moveBalls();
    glPopMatrix();
    setLighting(false);
    setDepthTest(false);
    setBlendFunction(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
