#include "shell/startup.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "assets/jpeg_images.h"
#include "metaballs/metaballs.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "draw_log.h"
#include "show_fixture.h"

namespace {

GlCall call(const char* name, std::vector<double> args = {}) {
    return GlCall{name, args};
}
double f(float v) {
    return v;
}

// The fixed state, in order, that follows the eight picture uploads.
std::vector<GlCall> fixedState(int width, int height) {
    std::vector<GlCall> out;
    const double positions[3][4] = {
        {-320, -120, -100, 1}, {-640, -120, -200, 1}, {-20, -320, -1000, 1}};
    for (int n = 0; n < 3; ++n) {
        const double light = GL_LIGHT0 + n;
        const double* p = positions[n];
        out.push_back(call("glLightfv", {light, GL_AMBIENT, 0.5, 0.5, 0.5, 1}));
        out.push_back(call("glLightfv", {light, GL_DIFFUSE, 1, 1, 1, 1}));
        out.push_back(call("glLightfv", {light, GL_POSITION, p[0], p[1], p[2], p[3]}));
        out.push_back(call("glLightfv", {light, GL_SPECULAR, 1, 1, 0.5, 1}));
        out.push_back(call("glLightf", {light, GL_CONSTANT_ATTENUATION, f(0.1f)}));
        out.push_back(call("glLightf", {light, GL_LINEAR_ATTENUATION, f(0.05f)}));
    }
    const std::vector<GlCall> rest = {
        call("glEnable", {GL_LIGHT0}),
        call("glEnable", {GL_LIGHT1}),
        call("glEnable", {GL_LIGHT2}),
        call("glEnable", {GL_LINE_SMOOTH}),
        call("glHint", {GL_LINE_SMOOTH_HINT, GL_NICEST}),
        call("glFogfv", {GL_FOG_COLOR, 0, 0, 0, 0}),
        call("glFogf", {GL_FOG_DENSITY, f(0.002f)}),
        call("glFogf", {GL_FOG_START, 1000}),
        call("glFogf", {GL_FOG_END, 5000}),
        call("glEnable", {GL_FOG}),
        call("glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}),
        call("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}),
        call("glClearColor", {0, 0, 0, 1}),
        call("glMatrixMode", {GL_PROJECTION}),
        call("glLoadIdentity"),
        call("gluPerspective", {45, double(width) / double(height), 1, 2500}),
        call("glMatrixMode", {GL_MODELVIEW}),
        call("glLoadIdentity"),
        call("glViewport", {0, 0, double(width), double(height)}),
        call("glCullFace", {GL_FRONT}),
        call("glEnable", {GL_CULL_FACE}),
        call("glFrontFace", {GL_CCW}),
        call("glShadeModel", {GL_FLAT}),
    };
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

// The calls after the last picture upload.
std::vector<GlCall> afterUploads() {
    const auto& log = glrec::calls();
    size_t last = 0;
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i].name == "glTexImage2D") last = i + 1;
    return std::vector<GlCall>(log.begin() + long(last), log.end());
}

// The start-up sequence on the test show, with the recorder's log starting just before it.
bool startRecorded() {
    if (!enterShowDir()) return false;
    glrec::reset();
    return runStartUp();
}

class StartUp : public ::testing::Test {
  protected:
    void TearDown() override {
        screenWidth = 640;
        screenHeight = 480;
    }
};

} // namespace

TEST_F(StartUp, LoadsEverythingThenSetsTheFixedStateInOrder) {
    ASSERT_TRUE(startRecorded());
    EXPECT_TRUE(reportedErrors.empty());

    // The pool is set first, shared by the three scenes.
    EXPECT_EQ(texturePool.budget, 4194304);
    EXPECT_EQ(scene1.texturePool, &texturePool);
    EXPECT_EQ(scene2.texturePool, &texturePool);
    EXPECT_EQ(scene3.texturePool, &texturePool);
    // Every scene is loaded and bound; scene 1's range drives the frame counter.
    for (Scene* s : {&scene1, &scene2, &scene3}) {
        ASSERT_EQ(s->objectCount, 1);
        EXPECT_EQ(s->objects[0].keyCount, 1);
        ASSERT_EQ(s->cameraCount, 1);
        EXPECT_EQ(s->cameras[0].posKeyCount, 1);
    }
    EXPECT_EQ(scene1.firstFrame, 0);
    EXPECT_EQ(scene1.endFrame, 100);

    // The eight pictures in table order under their fixed names.
    std::vector<double> bound;
    for (const GlCall& c : glrec::callsNamed("glBindTexture"))
        bound.push_back(c.args[1]);
    EXPECT_EQ(bound, (std::vector<double>{11, 12, 13, 16, 17, 14, 120, 131}));
    for (const JpegImage& image : jpegImageTable) {
        ASSERT_TRUE(glrec::state().textureSizes.count(image.glName));
        EXPECT_EQ(glrec::state().textureSizes.at(image.glName), std::make_pair(16, 16));
    }

    EXPECT_EQ(afterUploads(), fixedState(640, 480)) << glrec::dump();
    const GlState& s = glrec::state();
    EXPECT_EQ(s.matrixMode, GLenum(GL_MODELVIEW));
    EXPECT_FALSE(s.isEnabled(GL_LIGHTING));
    EXPECT_FALSE(s.isEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(s.isEnabled(GL_BLEND));
    EXPECT_FALSE(s.isEnabled(GL_TEXTURE_2D));
}

TEST_F(StartUp, ProjectionAndViewportFollowTheScreenMode) {
    screenWidth = 800;
    screenHeight = 600;
    ASSERT_TRUE(startRecorded());
    const auto perspective = glrec::callsNamed("gluPerspective");
    ASSERT_EQ(perspective.size(), 1u);
    EXPECT_EQ(perspective[0].args, (std::vector<double>{45, 800.0 / 600.0, 1, 2500}));
    EXPECT_EQ(glrec::callsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 800, 600}));
}

TEST_F(StartUp, MetaballsAreTheGeneratorsFirstUser) {
    ASSERT_TRUE(startRecorded());
    ASSERT_NE(metaVerts, nullptr);
    // With seed 1 untouched before them, the balls start at their known places.
    EXPECT_EQ(balls[0].position.x, 9.0f);
    EXPECT_EQ(balls[0].position.y, 15.0f);
    EXPECT_EQ(balls[0].position.z, 12.0f);
    EXPECT_EQ(balls[7].position.x, 10.0f);
    EXPECT_EQ(balls[7].position.y, 11.0f);
    EXPECT_EQ(balls[7].position.z, 11.0f);
}

TEST_F(StartUp, AFailedFileShowsItsOneMessageAndStops) {
    struct Case {
        const char* missing;
        const char* message;
        int scenesLoaded;
    };
    const Case cases[] = {{"data/1.chk", "MESH error: couldn't load!", 0},
                          {"data/2.chk", "MESH error: couldn't load!", 1},
                          {"data/3a.chk", "ANIM error: couldn't load!", 3},
                          {"data/2a.chk", "ANIM error: couldn't load!", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        ASSERT_TRUE(enterShowDir());
        ASSERT_EQ(remove(c.missing), 0);
        glrec::reset();
        balls[0].position = Vector3(-5, -5, -5); // prepareMetaballs would overwrite it

        EXPECT_FALSE(runStartUp());
        EXPECT_EQ(reportedErrors, std::vector<std::string>{c.message});
        // What loaded before the failure stays; nothing after it was read or set.
        int loaded = 0;
        for (Scene* s : {&scene1, &scene2, &scene3})
            loaded += s->objectCount > 0;
        EXPECT_EQ(loaded, c.scenesLoaded);
        EXPECT_TRUE(glrec::callsNamed("glTexImage2D").empty());
        EXPECT_TRUE(glrec::callsNamed("gluPerspective").empty());
        EXPECT_EQ(balls[0].position.x, -5.0f);
    }
}

TEST_F(StartUp, AMissingPictureLeavesAnEmptyTextureAndTheShowGoesOn) {
    ASSERT_TRUE(enterShowDir());
    ASSERT_EQ(remove("data/end.jpg"), 0);
    glrec::reset();

    EXPECT_TRUE(runStartUp());
    EXPECT_TRUE(reportedErrors.empty());
    EXPECT_EQ(glrec::state().textureSizes.at(texEnd), std::make_pair(0, 0));
    EXPECT_EQ(glrec::state().textureSizes.at(texPulsar), std::make_pair(16, 16));
    EXPECT_EQ(afterUploads(), fixedState(640, 480));
}
