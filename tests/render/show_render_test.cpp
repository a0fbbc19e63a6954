// The show drawn by the real libGL into a hidden window: each section's frame shows what that
// section draws, read back from the frame buffer.
#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>

#include "assets/jpeg_images.h"
#include "common/gl_in_force.h"
#include "common/wobble.h"
#include "platform/offscreen_gl.h"
#include "common/run_state.h"
#include "shell/startup.h"
#include "show_fixture.h"
#include "timeline/director.h"
#include "timeline/overlays.h"

// Under the sanitizers, Mesa's software driver leaves allocations behind when SDL unloads it,
// in frames LeakSanitizer cannot name or suppress; leaks of the show's own code are checked by
// the recorder tests, so this binary checks everything but leaks.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr int width = 640, height = 480;

struct Pixel {
    int r, g, b;
};

class ShowRender : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        screenWidth = width;
        screenHeight = height;
        available = openOffscreenGl(width, height);
        if (!available) return;
        // What the window leaves before the start-up sequence: viewport and identity model-view.
        glViewport(0, 0, width, height);
        started = startShow();
    }
    static void TearDownTestSuite() {
        if (available) closeOffscreenGl();
    }
    void SetUp() override {
        if (!available) GTEST_SKIP() << "no offscreen GL context";
        ASSERT_TRUE(started);
        resetTimeline();
        quitRequested = false;
        currentFrame = 0;
    }

    // Draws the director's frames at these times, then reads the frame back.
    void showAt(std::initializer_list<float> times) {
        for (float t : times) {
            elapsedSeconds = t;
            drawTimelineFrame();
        }
        glFinish();
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    }
    Pixel at(int x, int y) const { // y from the bottom, as GL counts
        const uint8_t* p = &frame[3 * (y * width + x)];
        return Pixel{p[0], p[1], p[2]};
    }
    // Screen position of a camera-space point of the test show (45 degree field, 4:3).
    static void project(float x, float ahead, float z, int& px, int& py) {
        const float halfHeight = ahead * 0.41421356f;
        const float halfWidth = halfHeight * width / height;
        px = int(width / 2 + x / halfWidth * width / 2);
        py = int(height / 2 + z / halfHeight * height / 2);
    }
    static void quadCentre(int scene, int& px, int& py) {
        const QuadPlace& q = sceneQuads[scene - 1];
        project((q.x0 + q.x1) / 2, q.ahead, (q.z0 + q.z1) / 2, px, py);
    }
    int countWhere(bool (*test)(const Pixel&)) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += test(at(x, y));
        return n;
    }

    static bool available, started;
    std::vector<uint8_t> frame = std::vector<uint8_t>(width * height * 3);
};
bool ShowRender::available = false;
bool ShowRender::started = false;

MATCHER_P3(Near, r, g, b, "") {
    const int tolerance = 12;
    return std::abs(arg.r - r) <= tolerance && std::abs(arg.g - g) <= tolerance &&
           std::abs(arg.b - b) <= tolerance;
}

void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

// Fog of the start-up sequence on a surface d units away: e^(-0.002 d).
int fogged(int value, float distance) {
    return int(value * std::exp(-0.002f * distance) + 0.5f);
}

} // namespace

TEST_F(ShowRender, OpeningShowsTheTitleOverTheWholeScreenWithTheTrailOnTop) {
    introFade = 1.0f;
    showAt({5.0f});
    // The red title at grey 0.7, untouched by fog, in every corner.
    for (auto [x, y] : {std::pair{2, 2}, {637, 2}, {2, 477}, {637, 477}, {320, 100}})
        EXPECT_THAT(at(x, y), Near(178, 0, 0)) << x << ", " << y;
    // Scene 3's trail adds the green environment picture in the upper middle.
    int x, y;
    quadCentre(3, x, y);
    EXPECT_THAT(at(x, y), Near(178, 255, 0));
    // Scenes 1 and 2 are not part of the opening.
    quadCentre(1, x, y);
    EXPECT_THAT(at(x, y), Near(178, 0, 0));
}

TEST_F(ShowRender, SecondSectionShowsSceneOneOnItsPicture) {
    showAt({15.5f});
    int x, y;
    quadCentre(1, x, y);
    EXPECT_THAT(at(x, y), Near(0, 0, fogged(255, sceneQuads[0].ahead)));
    // Nothing else is visible yet: the title and the trail are at alpha 0 or below.
    quadCentre(2, x, y);
    EXPECT_THAT(at(x, y), Near(0, 0, 0));
    quadCentre(3, x, y);
    EXPECT_THAT(at(x, y), Near(0, 0, 0));
    EXPECT_THAT(at(2, 2), Near(0, 0, 0));
}

TEST_F(ShowRender, ThirdSectionAddsTheGlowingMetaballs) {
    showAt({25.5f});
    // On the first frame of the section only the metaballs carry the green picture (scene 1's
    // green pass starts at alpha 0).
    const int green = countWhere([](const Pixel& p) { return p.g > 12 && p.r < 8; });
    EXPECT_GT(green, width * height / 50) << "metaballs cover too little of the screen";
    int x, y;
    quadCentre(1, x, y);
    EXPECT_GT(at(x, y).b, 150);
}

TEST_F(ShowRender, LastSectionAddsTheEndPictureInTheLowerBand) {
    showAt({88.5f, 100.5f});
    // The yellow end picture at 90 % in the lower 60 % of the screen, across the full width;
    // the upper edge is left dark.
    for (int x : {4, 630}) {
        EXPECT_GE(at(x, 10).r, 215) << x;
        EXPECT_GE(at(x, 10).g, 215) << x;
        EXPECT_LE(at(x, 10).b, 40) << x;
        EXPECT_GE(at(x, int(height * 0.55)).r, 215) << x;
        EXPECT_LT(at(x, height - 4).r, 60) << x;
    }
}

TEST_F(ShowRender, WarpLayerAddsOntoTheFrameInsteadOfReplacingIt) {
    // A known frame first: the blue picture at grey 0.7 over the whole screen.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setBlendFunction(GL_SRC_ALPHA, GL_ONE);
    drawOverlayQuad(texFennicove, 1.0f, fullScreenCorners);
    wobbleAngle = 0.5f;
    // Drawn, not left out: real GL shows what the show's skip of such layers relies on.
    skipInvisibleLayers = false;
    drawWarpOverlay(texPulsar, 0.0f);
    skipInvisibleLayers = true;
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    // At alpha 0 the additive layer leaves the frame as it was; a layer that replaced the
    // frame with its squared colour would show cyan instead.
    EXPECT_THAT(at(320, 240), Near(0, 0, 178));
    EXPECT_THAT(at(10, 470), Near(0, 0, 178));

    drawWarpOverlay(texPulsar, 0.5f);
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    // Three quads of 0.55 × cyan at alpha 0.5 add about 3 × 70 on green, clamped on blue.
    EXPECT_THAT(at(320, 240), Near(0, 210, 255));
}
