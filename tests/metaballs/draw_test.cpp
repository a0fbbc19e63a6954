#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/random.h"
#include "common/wobble.h"
#include "gl_recorder.h"
#include "metaballs/metaballs.h"
#include "common/run_state.h"

namespace {
using Names = std::vector<std::string>;

// The fixed part of each draw's call sequence, with the vertex calls left out.
Names withoutVertices() {
    Names out;
    for (const std::string& n : glrec::names())
        if (n != "glTexCoord2f" && n != "glVertex3d") out.push_back(n);
    return out;
}

std::vector<double> args(const std::string& name, size_t index = 0) {
    std::vector<GlCall> calls = glrec::callsNamed(name);
    return index < calls.size() ? calls[index].args : std::vector<double>{};
}

void startShow() {
    resetRandom();
    prepareMetaballs();
    wobbleAngle = -1.0f;
    glrec::reset();
}

void moveAway() {
    for (Ball& b : balls)
        b = Ball{Vector3(300, 300, 300), Vector3(-1, -1, -1)};
}
} // namespace

TEST(MetaballDraws, GlowIssuesItsSequenceAndLeavesAdditiveBlending) {
    screenWidth = 640, screenHeight = 480;
    startShow();
    drawMetaballsGlow(120, 0.4f);
    EXPECT_EQ(withoutVertices(),
              (Names{"glEnable", "glMatrixMode", "glPushMatrix", "glLoadIdentity", "glTranslatef",
                     "glEnable", "glBindTexture", "glBlendFunc", "glEnable", "glBegin", "glColor4f",
                     "glEnd", "glPopMatrix", "glDisable"}))
        << glrec::dump();
    EXPECT_EQ(args("glEnable", 0), std::vector<double>{GL_DEPTH_TEST});
    EXPECT_EQ(args("glEnable", 1), std::vector<double>{GL_TEXTURE_2D});
    EXPECT_EQ(args("glEnable", 2), std::vector<double>{GL_BLEND});
    EXPECT_EQ(args("glMatrixMode"), std::vector<double>{GL_MODELVIEW});
    EXPECT_EQ(args("glBlendFunc"), (std::vector<double>{GL_SRC_ALPHA, GL_ONE}));
    EXPECT_EQ(args("glBegin"), std::vector<double>{GL_TRIANGLES});
    EXPECT_EQ(args("glColor4f"), (std::vector<double>{0.75, 0.75, 0.75, 0.4f}));
    EXPECT_EQ(args("glDisable"), std::vector<double>{GL_DEPTH_TEST});

    const GlState& s = glrec::state();
    EXPECT_FALSE(s.isEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(s.isEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(s.isEnabled(GL_BLEND));
    EXPECT_FALSE(s.isEnabled(GL_LIGHTING));
    EXPECT_EQ(s.boundTexture, 120u);
    EXPECT_EQ(s.blendSrc, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(s.blendDst, GLenum(GL_ONE));
    EXPECT_EQ(s.matrixMode, GLenum(GL_MODELVIEW));
    EXPECT_EQ(s.stackDepth[0], 1);
    EXPECT_EQ(s.openBegins, 0);
    EXPECT_EQ(s.lastError, GLenum(GL_NO_ERROR));
}

TEST(MetaballDraws, LitIssuesItsSequenceAndRestoresTheBlendAndLighting) {
    screenWidth = 800, screenHeight = 600;
    startShow();
    drawMetaballsLit(120, 1.0f);
    EXPECT_EQ(withoutVertices(),
              (Names{"glEnable", "glMatrixMode", "glPushMatrix", "glLoadIdentity", "glTranslatef",
                     "glEnable", "glEnable", "glBindTexture", "glBlendFunc", "glEnable", "glBegin",
                     "glColor4f", "glEnd", "glPopMatrix", "glDisable", "glDisable", "glBlendFunc"}))
        << glrec::dump();
    EXPECT_EQ(args("glEnable", 1), std::vector<double>{GL_LIGHTING});
    EXPECT_EQ(args("glEnable", 2), std::vector<double>{GL_TEXTURE_2D});
    EXPECT_EQ(args("glBlendFunc", 0), (std::vector<double>{GL_ONE, GL_ONE}));
    EXPECT_EQ(args("glColor4f"), (std::vector<double>{1.75, 1.75, 1.75, 1.0}));
    EXPECT_EQ(args("glDisable", 0), std::vector<double>{GL_LIGHTING});
    EXPECT_EQ(args("glDisable", 1), std::vector<double>{GL_DEPTH_TEST});
    EXPECT_EQ(args("glBlendFunc", 1), (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));

    const GlState& s = glrec::state();
    EXPECT_FALSE(s.isEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(s.isEnabled(GL_LIGHTING));
    EXPECT_TRUE(s.isEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(s.isEnabled(GL_BLEND));
    EXPECT_EQ(s.blendSrc, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(s.blendDst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_EQ(s.stackDepth[0], 1);
}

TEST(MetaballDraws, TranslationsFollowTheScreenSize) {
    struct Case {
        int w, h;
        std::vector<double> glow, lit;
    } cases[] = {{640, 480, {-320, -90, -1500}, {-470, -340, -1800}},
                 {800, 600, {-400, -150, -1500}, {-550, -400, -1800}}};
    for (const Case& c : cases) {
        screenWidth = c.w, screenHeight = c.h;
        startShow();
        drawMetaballsGlow(120, 0.2f);
        EXPECT_EQ(args("glTranslatef"), c.glow) << c.w;
        glrec::reset();
        drawMetaballsLit(120, 1.0f);
        EXPECT_EQ(args("glTranslatef"), c.lit) << c.w;
    }
}

TEST(MetaballDraws, EveryStoredVertexIsSentOnceWithItsProjectedTextureCoordinate) {
    screenWidth = 640, screenHeight = 480;
    for (int lit = 0; lit < 2; ++lit) {
        startShow();
        for (int frame = 0; frame < 40; ++frame) {
            glrec::reset();
            lit ? drawMetaballsLit(120, 1.0f) : drawMetaballsGlow(120, 0.4f);
            wobbleAngle += 0.01f;
            std::vector<GlCall> tex = glrec::callsNamed("glTexCoord2f");
            std::vector<GlCall> pos = glrec::callsNamed("glVertex3d");
            ASSERT_EQ(pos.size(), size_t(metaVertCount / 3));
            ASSERT_EQ(tex.size(), pos.size());
            ASSERT_GT(pos.size(), 0u);
            for (size_t v = 0; v < pos.size(); ++v) {
                const double x = metaVerts[3 * v], y = metaVerts[3 * v + 1],
                             z = metaVerts[3 * v + 2];
                ASSERT_EQ(pos[v].args, (std::vector<double>{x, y, z + 800}));
                ASSERT_FLOAT_EQ(float(tex[v].args[0]), float(2 * x / z));
                ASSERT_FLOAT_EQ(float(tex[v].args[1]), float(2 * y / z));
            }
            // Texture coordinates come before their vertex, inside the one glBegin/glEnd pair.
            Names n = glrec::names();
            for (size_t i = 0; i + 1 < n.size(); ++i) {
                if (n[i] == "glTexCoord2f") {
                    ASSERT_EQ(n[i + 1], "glVertex3d");
                }
            }
        }
    }
}

TEST(MetaballDraws, AnEmptySurfaceStillOpensAndClosesTheBatchAndMovesTheBalls) {
    screenWidth = 640, screenHeight = 480;
    for (int lit = 0; lit < 2; ++lit) {
        startShow();
        moveAway();
        wobbleAngle = 0.0f;
        lit ? drawMetaballsLit(120, 1.0f) : drawMetaballsGlow(120, 0.4f);
        EXPECT_EQ(metaVertCount, 0);
        Names n = glrec::names();
        auto begin = std::find(n.begin(), n.end(), "glBegin");
        ASSERT_NE(begin, n.end());
        EXPECT_EQ(*(begin + 1), "glColor4f");
        EXPECT_EQ(*(begin + 2), "glEnd");
        for (const Ball& b : balls) { // 299 is beyond every wall: pinned at 18, bounced
            EXPECT_EQ(b.position.x, 18.0f);
            EXPECT_EQ(b.velocity.x, 1.0f);
        }
    }
}

TEST(MetaballDraws, EachDrawMovesTheBallsExactlyOnce) {
    screenWidth = 640, screenHeight = 480;
    startShow();
    Ball expected[8];
    memcpy(expected, balls, sizeof expected);
    moveBalls();
    moveBalls();
    Ball twice[8];
    memcpy(twice, balls, sizeof twice);
    memcpy(balls, expected, sizeof expected);
    drawMetaballsGlow(120, 0.4f);
    drawMetaballsLit(120, 1.0f);
    EXPECT_EQ(memcmp(balls, twice, sizeof twice), 0);
}
