#include "timeline/overlays.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "common/gl_in_force.h"
#include "common/wobble.h"
#include "gl_recorder.h"

namespace {

GlCall call(const char* name, std::vector<double> args = {}) {
    return GlCall{name, args};
}
double f(float v) {
    return v;
} // the recorder stores float arguments widened to double

// The projection frame every overlay opens.
std::vector<GlCall> opening() {
    return {call("glMatrixMode", {GL_PROJECTION}), call("glPushMatrix"), call("glLoadIdentity"),
            call("gluOrtho2D", {0, 1, 0, 1})};
}

void append(std::vector<GlCall>& to, const std::vector<GlCall>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

class Overlays : public ::testing::Test {
  protected:
    void SetUp() override {
        glrec::reset();
        glInForce = GlInForce{};
        skipInvisibleLayers = true;
        wobbleAngle = -1.0f;
    }
    void expectCalls(const std::vector<GlCall>& expected) {
        EXPECT_EQ(glrec::calls(), expected) << glrec::dump();
    }
    // What every overlay leaves: its texture bound with texturing and blending on, the
    // projection restored and selected, nothing left open.
    void expectCommonLeftState(GLuint texture) {
        const GlState& s = glrec::state();
        EXPECT_EQ(s.matrixMode, GLenum(GL_PROJECTION));
        EXPECT_EQ(s.stackDepth[1], 1);
        EXPECT_EQ(s.stackDepth[0], 1);
        EXPECT_TRUE(s.isEnabled(GL_TEXTURE_2D));
        EXPECT_TRUE(s.isEnabled(GL_BLEND));
        EXPECT_EQ(s.boundTexture, texture);
        EXPECT_EQ(s.openBegins, 0);
    }
};

} // namespace

TEST_F(Overlays, GreyQuadCoversTheFullScreenUprightUnderTheBlendFunctionFound) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glrec::calls().clear();

    drawOverlayQuad(11, 0.25f, fullScreenCorners);

    std::vector<GlCall> expected = opening();
    append(expected,
           {call("glDisable", {GL_DEPTH_TEST}), call("glEnable", {GL_TEXTURE_2D}),
            call("glBindTexture", {GL_TEXTURE_2D, 11}), call("glEnable", {GL_BLEND}),
            call("glBegin", {GL_QUADS}), call("glColor4f", {f(0.7f), f(0.7f), f(0.7f), 0.25})});
    // The picture's top row (t = 0) lies along the top edge of the screen (y = 1).
    append(expected,
           {call("glTexCoord2f", {0, 0}), call("glVertex2f", {0, 1}), call("glTexCoord2f", {1, 0}),
            call("glVertex2f", {1, 1}), call("glTexCoord2f", {1, 1}), call("glVertex2f", {1, 0}),
            call("glTexCoord2f", {0, 1}), call("glVertex2f", {0, 0})});
    append(expected, {call("glEnd"), call("glPopMatrix")});
    expectCalls(expected);

    expectCommonLeftState(11);
    EXPECT_FALSE(glrec::state().isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glrec::state().blendSrc, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(glrec::state().blendDst, GLenum(GL_ONE));
}

TEST_F(Overlays, BlendedQuadSetsItsOwnBlendFunctionByNumber) {
    struct Case {
        int32_t overlayBlend;
        GLenum src, dst;
        bool sets;
    };
    const Case cases[] = {{1, GL_SRC_ALPHA, GL_ONE, true},
                          {2, GL_ONE, GL_SRC_COLOR, true},
                          {3, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, true},
                          {0, GL_DST_ALPHA, GL_ZERO, false},
                          {4, GL_DST_ALPHA, GL_ZERO, false},
                          {-1, GL_DST_ALPHA, GL_ZERO, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.overlayBlend);
        glrec::reset();
        glBlendFunc(GL_DST_ALPHA, GL_ZERO); // something no overlay would set
        glrec::calls().clear();

        drawBlendedOverlayQuad(16, 0.9f, lowerBandCorners, 0.0f, 0, c.overlayBlend);

        EXPECT_EQ(glrec::callsNamed("glBlendFunc").size(), c.sets ? 1u : 0u) << glrec::dump();
        EXPECT_EQ(glrec::state().blendSrc, c.src);
        EXPECT_EQ(glrec::state().blendDst, c.dst);
        EXPECT_EQ(glrec::state().lastError, GLenum(GL_NO_ERROR));
    }
}

TEST_F(Overlays, BlendedQuadDrawsTheEndBandWhiteWithAnIdentityTextureMatrix) {
    glEnable(GL_DEPTH_TEST);
    glrec::calls().clear();

    drawBlendedOverlayQuad(16, 0.9f, lowerBandCorners, 0.0f, 0, 1);

    std::vector<GlCall> expected = opening();
    append(expected, {call("glDisable", {GL_DEPTH_TEST}),
                      call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE}), call("glEnable", {GL_BLEND}),
                      call("glEnable", {GL_TEXTURE_2D}), call("glBindTexture", {GL_TEXTURE_2D, 16}),
                      call("glMatrixMode", {GL_TEXTURE}), call("glLoadIdentity"),
                      call("glBegin", {GL_QUADS}), call("glColor4f", {1, 1, 1, f(0.9f)})});
    // Full width, lower 60 %, upright: the picture's top row at y = 0.6.
    append(expected, {call("glTexCoord2f", {0, 0}), call("glVertex2f", {0, f(0.6f)}),
                      call("glTexCoord2f", {1, 0}), call("glVertex2f", {1, f(0.6f)}),
                      call("glTexCoord2f", {1, 1}), call("glVertex2f", {1, 0}),
                      call("glTexCoord2f", {0, 1}), call("glVertex2f", {0, 0})});
    append(expected, {call("glEnd"), call("glMatrixMode", {GL_PROJECTION}), call("glPopMatrix")});
    expectCalls(expected);

    expectCommonLeftState(16);
    EXPECT_FALSE(glrec::state().isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glrec::state().stackDepth[2], 1);
}

TEST_F(Overlays, BlendedQuadShiftsTheTextureMatrixAlongTheNamedAxisOnly) {
    const std::pair<char, std::vector<GlCall>> cases[] = {
        {'x', {call("glTranslatef", {f(0.25f), 0, 0})}},
        {'y', {call("glTranslatef", {0, f(0.25f), 0})}},
        {'z', {call("glTranslatef", {0, 0, f(0.25f)})}},
        {0, {}},
        {'X', {}}};
    for (const auto& [axis, translate] : cases) {
        SCOPED_TRACE(axis);
        glrec::reset();
        drawBlendedOverlayQuad(16, 1.0f, fullScreenCorners, 0.25f, axis, 1);
        EXPECT_EQ(glrec::callsNamed("glTranslatef"), translate);
        // The shift lands on the texture matrix, which is left so; the projection is selected.
        const auto names = glrec::names();
        const auto at = std::find(names.begin(), names.end(), "glTranslatef");
        if (at != names.end()) {
            EXPECT_EQ(*(at - 2), "glMatrixMode");
        }
        EXPECT_EQ(glrec::state().matrixMode, GLenum(GL_PROJECTION));
    }
}

TEST_F(Overlays, WarpLayerSendsThreeDoublePrecisionWindowsFromTheAngle) {
    wobbleAngle = 0.37f;
    drawWarpOverlay(131, 0.3f);

    const double a = 0.37f;
    const double S = std::sin(a / 1.2) * 1.2 + 0.8;
    const double A = (1 - S) * (std::cos(a / 2.7) * 0.5);
    const double B = (1 - S) * (std::sin(a / 1.7) * 0.5);
    const double U = A + S, V = B + S;

    std::vector<GlCall> expected = opening();
    append(expected, {call("glEnable", {GL_BLEND}), call("glBindTexture", {GL_TEXTURE_2D, 131}),
                      call("glEnable", {GL_TEXTURE_2D}),
                      call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE}), call("glBegin", {GL_QUADS}),
                      call("glColor4f", {f(0.55f), f(0.55f), f(0.55f), f(0.3f)})});
    for (int n = 1; n <= 3; ++n)
        append(expected, {call("glTexCoord2d", {A, B}), call("glVertex2d", {0, 1}),
                          call("glTexCoord2d", {U - n, B}), call("glVertex2d", {1, 1}),
                          call("glTexCoord2d", {U - n, V - n}), call("glVertex2d", {1, 0}),
                          call("glTexCoord2d", {A, V - n}), call("glVertex2d", {0, 0})});
    append(expected, {call("glEnd"), call("glPopMatrix")});
    ASSERT_EQ(glrec::calls().size(), expected.size()) << glrec::dump();
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(glrec::calls()[i].name, expected[i].name);
        ASSERT_EQ(glrec::calls()[i].args.size(), expected[i].args.size());
        for (size_t k = 0; k < expected[i].args.size(); ++k)
            EXPECT_NEAR(glrec::calls()[i].args[k], expected[i].args[k], 1e-12);
    }
    expectCommonLeftState(131);
}

TEST_F(Overlays, WarpLayerAddsUnderSrcAlphaOneWhateverTheFunctionFound) {
    // The layer is the show's additive one even after a draw left another function in force.
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawWarpOverlay(120, 0.5f);
    EXPECT_EQ(glrec::state().blendSrc, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(glrec::state().blendDst, GLenum(GL_ONE));
    EXPECT_EQ(glrec::state().lastError, GLenum(GL_NO_ERROR));
    for (const GlCall& c : glrec::callsNamed("glBlendFunc"))
        EXPECT_NE(c.args[0], double(GL_SRC_COLOR)) << "a newer GL would replace the frame";
    // Depth testing is left as found.
    EXPECT_TRUE(glrec::state().isEnabled(GL_DEPTH_TEST));
}

TEST_F(Overlays, ProjectionStackIsUnchangedAfterAnyNumberOfOverlays) {
    for (int i = 0; i < 5; ++i) {
        drawOverlayQuad(11, 1.0f, fullScreenCorners);
        drawBlendedOverlayQuad(16, 0.9f, lowerBandCorners, 0.0f, 'y', 2);
        drawWarpOverlay(131, 0.1f);
    }
    EXPECT_EQ(glrec::state().stackDepth[0], 1);
    EXPECT_EQ(glrec::state().stackDepth[1], 1);
    EXPECT_EQ(glrec::state().stackDepth[2], 1);
    EXPECT_EQ(glrec::state().lastError, GLenum(GL_NO_ERROR));
    EXPECT_EQ(glrec::callsNamed("glPushMatrix").size(), glrec::callsNamed("glPopMatrix").size());
}

namespace {

// The recorder's log and state after one draw from a fresh context, where the blend function
// found is (source, destination).
struct Outcome {
    std::vector<GlCall> calls;
    GlState state;
};
Outcome drawFrom(GLenum source, GLenum destination, bool skip, const std::function<void()>& draw) {
    glrec::reset();
    glInForce = GlInForce{};
    setBlendFunction(source, destination);
    glrec::calls().clear();
    skipInvisibleLayers = skip;
    draw();
    skipInvisibleLayers = true;
    return {glrec::calls(), glrec::state()};
}

bool sendsPrimitives(const std::vector<GlCall>& calls) {
    return std::any_of(calls.begin(), calls.end(),
                       [](const GlCall& c) { return c.name == "glBegin"; });
}

} // namespace

TEST_F(Overlays, LayerWithNoAlphaUnderAnAlphaBlendMakesItsStateCallsOnly) {
    // The title at alpha 0 on the first frame, under the start-up function.
    drawFrom(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, true,
             [] { drawOverlayQuad(11, 0.0f, fullScreenCorners); });
    std::vector<GlCall> expected = opening();
    append(expected, {call("glDisable", {GL_DEPTH_TEST}), call("glEnable", {GL_TEXTURE_2D}),
                      call("glBindTexture", {GL_TEXTURE_2D, 11}), call("glEnable", {GL_BLEND}),
                      call("glColor4f", {f(0.7f), f(0.7f), f(0.7f), 0}),
                      call("glTexCoord2f", {0, 1}), call("glPopMatrix")});
    expectCalls(expected);

    // Every overlay, at alphas at or below 0 under either alpha blend, leaves exactly the
    // state its drawn self would, colour and texture coordinate included.
    wobbleAngle = 0.37f;
    const std::pair<const char*, std::function<void(float)>> overlays[] = {
        {"quad", [](float a) { drawOverlayQuad(17, a, fullScreenCorners); }},
        {"band additive",
         [](float a) { drawBlendedOverlayQuad(16, a, lowerBandCorners, 0, 0, 1); }},
        {"band over",
         [](float a) { drawBlendedOverlayQuad(16, a, lowerBandCorners, 0.5f, 'y', 3); }},
        {"warp", [](float a) { drawWarpOverlay(131, a); }}};
    for (const auto& [name, draw] : overlays)
        for (GLenum destination : {GL_ONE, GL_ONE_MINUS_SRC_ALPHA})
            for (float alpha : {0.0f, -0.0f, -0.37f}) {
                SCOPED_TRACE(std::string(name) + " at " + std::to_string(alpha));
                const Outcome drawn =
                    drawFrom(GL_SRC_ALPHA, destination, false, [&, d = draw] { d(alpha); });
                const Outcome skipped =
                    drawFrom(GL_SRC_ALPHA, destination, true, [&, d = draw] { d(alpha); });
                ASSERT_TRUE(sendsPrimitives(drawn.calls));
                EXPECT_FALSE(sendsPrimitives(skipped.calls)) << glrec::dump();
                // The state calls are the drawn ones, in order, without the batch.
                std::vector<std::string> drawnState, skippedState;
                bool inside = false;
                for (const GlCall& c : drawn.calls) {
                    inside = inside || c.name == "glBegin";
                    if (!inside) drawnState.push_back(c.name);
                    inside = inside && c.name != "glEnd";
                }
                for (const GlCall& c : skipped.calls)
                    if (c.name.rfind("glColor", 0) != 0 && c.name.rfind("glTexCoord", 0) != 0)
                        skippedState.push_back(c.name);
                EXPECT_EQ(skippedState, drawnState);
                EXPECT_TRUE(skipped.state == drawn.state);
            }
}

TEST_F(Overlays, LayersThatMayChangeAPixelAreAlwaysDrawn) {
    // Adding, or darkening by its colour, changes the frame whatever the alpha.
    EXPECT_TRUE(sendsPrimitives(drawFrom(GL_ONE, GL_ONE, true, [] {
                                    drawOverlayQuad(11, 0.0f, fullScreenCorners);
                                }).calls));
    EXPECT_TRUE(sendsPrimitives(drawFrom(GL_SRC_ALPHA, GL_ONE, true, [] {
                                    drawBlendedOverlayQuad(16, -1.0f, lowerBandCorners, 0, 0, 2);
                                }).calls));
    EXPECT_TRUE(sendsPrimitives(drawFrom(GL_SRC_ALPHA, GL_ONE, true, [] {
                                    drawOverlayQuad(11, NAN, fullScreenCorners);
                                }).calls));
    // --no-cull: every layer is drawn.
    EXPECT_TRUE(sendsPrimitives(
        drawFrom(GL_SRC_ALPHA, GL_ONE, false, [] { drawWarpOverlay(131, -0.5f); }).calls));
}
