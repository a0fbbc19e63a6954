// The setup-dialog procedure, the window procedure, the viewport and the main loop.
#include "fake_system.h"
#include "gl_recorder.h"
#include "resources/dialog_template.h"
#include "shell/main_loop.h"
#include "shell/render_window.h"
#include "common/run_state.h"
#include "shell/setup_dialog_proc.h"
#include "shell/sound_errors.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
struct Shell : ::testing::Test {
    void SetUp() override { resetFake(); }
};
using SetupDialog = Shell;
using WindowProcedure = Shell;

intptr_t command(DialogRecord& d, int32_t id) {
    return setupDialogProc(&d, WM_COMMAND, makeParam(uint32_t(id), BN_CLICKED), 0);
}
} // namespace

TEST_F(SetupDialog, RunDemoTurnsTheChoicesIntoRunSettings) {
    DialogRecord d;
    EXPECT_EQ(setupDialogProc(&d, WM_INITDIALOG, 0, 0), 0);
    EXPECT_EQ(isDlgButtonChecked(&d, controlMode640), BST_CHECKED);
    command(d, controlRunDemo);
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(screenWidth * 10000 + screenHeight, 6400480);
    EXPECT_TRUE(fullscreen);
    EXPECT_FALSE(noSound);

    DialogRecord other;
    setupDialogProc(&other, WM_INITDIALOG, 0, 0);
    checkRadioButton(&other, controlMode640, controlMode800, controlMode800);
    other.checked[controlWindowed] = other.checked[controlNoSound] = BST_CHECKED;
    command(other, controlRunDemo);
    EXPECT_EQ(screenWidth * 10000 + screenHeight, 8000600);
    EXPECT_FALSE(fullscreen);
    EXPECT_TRUE(noSound);
}

TEST_F(SetupDialog, EscapeAndOtherControlsLeaveItOpenAndTheCloseBoxReturnsZero) {
    DialogRecord d;
    setupDialogProc(&d, WM_INITDIALOG, 0, 0);
    // Escape arrives as the Cancel command; clicks on the boxes are commands too.
    for (int32_t id : {IDCANCEL, controlWindowed, controlNoSound, controlMode800}) {
        EXPECT_NE(command(d, id), 0) << id;
        EXPECT_FALSE(d.ended) << id;
    }
    // Only the low word names the control.
    setupDialogProc(&d, WM_COMMAND, makeParam(IDOK, 5), 0);
    EXPECT_TRUE(d.ended);

    DialogRecord closed;
    EXPECT_NE(setupDialogProc(&closed, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(closed.result, 0);
    EXPECT_EQ(setupDialogProc(&closed, WM_SIZE, 0, 0), 0);
}

TEST_F(WindowProcedure, OnlyMinimisingStopsTheDrawing) {
    windowProc(nullptr, WM_ACTIVATE, makeParam(WA_INACTIVE, 0), 0); // another window active
    EXPECT_TRUE(windowActive);
    windowProc(nullptr, WM_ACTIVATE, makeParam(WA_INACTIVE, 1), 0);
    EXPECT_FALSE(windowActive);
    windowProc(nullptr, WM_ACTIVATE, makeParam(WA_ACTIVE, 1), 0); // activated, still minimised
    EXPECT_FALSE(windowActive);
    windowProc(nullptr, WM_ACTIVATE, makeParam(WA_ACTIVE, 0), 0);
    EXPECT_TRUE(windowActive);
}

TEST_F(WindowProcedure, KeysAreHeldUntilReleasedAndEscapeAlsoPostsQuit) {
    windowProc(nullptr, WM_KEYDOWN, 'A', 0);
    windowProc(nullptr, WM_ACTIVATE, makeParam(WA_INACTIVE, 0), 0);
    EXPECT_EQ(keyDown['A'], 1) << "focus loss does not clear held keys";
    EXPECT_FALSE(fake().quitPosted);
    windowProc(nullptr, WM_KEYUP, 'A', 0);
    EXPECT_EQ(keyDown['A'], 0);
    windowProc(nullptr, WM_KEYDOWN, 27, 0);
    EXPECT_EQ(keyDown[27], 1);
    EXPECT_EQ(fake().quitCode, 0);
    // A code outside the table touches nothing beyond it.
    uint8_t before[256];
    memcpy(before, keyDown, sizeof before);
    windowProc(nullptr, WM_KEYDOWN, 256, 0);
    windowProc(nullptr, WM_KEYUP, 0x10000, 0);
    EXPECT_EQ(memcmp(before, keyDown, sizeof before), 0);
}

TEST_F(WindowProcedure, CloseQuitsScreenSaverIsSwallowedOthersGoToTheDefault) {
    EXPECT_EQ(windowProc(nullptr, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(fake().quitCode, 0);
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, 0), 0);
    EXPECT_EQ(windowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE + 1, 0), 12345);
    EXPECT_EQ(windowProc(nullptr, WM_MOUSEMOVE, 0, 0), 12345);
    EXPECT_EQ(logged("defWindowProc").size(), 2u);
}

TEST_F(WindowProcedure, SizeSetsViewportAndPerspectiveAndLeavesModelViewCurrent) {
    windowProc(nullptr, WM_SIZE, 0, intptr_t(makeParam(1000, 500)));
    std::vector<std::string> expected = {"glViewport",     "glMatrixMode", "glLoadIdentity",
                                         "gluPerspective", "glMatrixMode", "glLoadIdentity"};
    ASSERT_EQ(glrec::names(), expected) << glrec::dump();
    EXPECT_EQ(glrec::calls()[0].args, (std::vector<double>{0, 0, 1000, 500}));
    EXPECT_EQ(glrec::calls()[1].args[0], GL_PROJECTION);
    EXPECT_EQ(glrec::calls()[3].args, (std::vector<double>{45, 2, 1, 5000}));
    EXPECT_EQ(glrec::state().matrixMode, GLenum(GL_MODELVIEW));

    glrec::reset();
    windowProc(nullptr, WM_SIZE, 0, 0); // minimised: 0 × 0
    EXPECT_EQ(glrec::callsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 0, 1}));
    glrec::reset();
    resizeViewport(641, 3);
    EXPECT_NEAR(glrec::callsNamed("gluPerspective")[0].args[1], 641.0 / 3.0, 1e-4);
}

namespace {
int32_t draws = 0;
bool drawReturns = true;
bool quitOnDraw = false;
bool countingDraw() {
    ++draws;
    if (quitOnDraw) quitRequested = true;
    return drawReturns;
}

struct MainLoop : Shell {
    Message last = {nullptr, WM_NULL, 0, 0};
    void SetUp() override {
        Shell::SetUp();
        draws = 0;
        drawReturns = true;
        quitOnDraw = false;
    }
    bool pass(int32_t first, int32_t end) { return mainLoopPass(last, first, end, countingDraw); }
};
} // namespace

TEST_F(MainLoop, IdlePassesDrawSwapAndWrapTheFrameBeforeEndFrame) {
    std::vector<int32_t> seen;
    for (int i = 0; i < 201; ++i) {
        ASSERT_TRUE(pass(0, 100));
        seen.push_back(currentFrame);
    }
    EXPECT_EQ(seen[98], 99);
    EXPECT_EQ(seen[99], 0);
    EXPECT_EQ(seen[200], 1);
    EXPECT_EQ(draws, 201);
    EXPECT_EQ(fake().swaps, 201);
    // An empty or reversed range stays at firstFrame (signed comparison).
    for (int32_t end : {40, 10, -5}) {
        currentFrame = 40;
        pass(40, end);
        EXPECT_EQ(currentFrame, 40) << end;
    }
}

TEST_F(MainLoop, AMessagePassOnlyDispatchesButTheClockRunsOnEveryPass) {
    counterAtStart = 1000000000000LL; // large counters lose nothing before the division
    counterFrequency = 1000000000LL;
    fake().counter = counterAtStart + 2500000000LL;
    fake().queue.push_back({nullptr, WM_MOUSEMOVE, 0, 0});
    currentFrame = 7;
    EXPECT_TRUE(pass(0, 100));
    EXPECT_FLOAT_EQ(elapsedSeconds, 2.5f);
    EXPECT_EQ(draws + fake().swaps, 0);
    EXPECT_EQ(currentFrame, 7);
    EXPECT_EQ(logged("dispatch").size(), 1u);
}

TEST_F(MainLoop, MinimisedPassesSkipTheDrawOnlyAndEscapeStopsBeforeTheSwap) {
    windowActive = false;
    currentFrame = 3;
    EXPECT_TRUE(pass(0, 100));
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(fake().swaps, 1);
    EXPECT_EQ(currentFrame, 4);
    keyDown[27] = 1;
    EXPECT_FALSE(pass(0, 100));
    EXPECT_EQ(fake().swaps, 1);
    EXPECT_EQ(currentFrame, 4);
}

TEST_F(MainLoop, QuitFlagEndsItAfterTheRestOfThePassAFailedDrawAtOnce) {
    quitOnDraw = true;
    currentFrame = 99;
    EXPECT_FALSE(pass(0, 100));
    EXPECT_EQ(fake().swaps, 1);
    EXPECT_EQ(currentFrame, 0);

    quitOnDraw = false;
    drawReturns = false;
    EXPECT_FALSE(pass(0, 100));
    EXPECT_EQ(fake().swaps, 1);
    EXPECT_EQ(currentFrame, 0);
}

TEST_F(MainLoop, EveryWayItEndsExitsWithZero) {
    // Escape: the key message, then the quit message it posts, taken without dispatching.
    fake().queue.push_back({nullptr, WM_KEYDOWN, 27, 0});
    fake().queue.push_back({nullptr, WM_QUIT, 0, 0});
    EXPECT_EQ(runMainLoop(0, 100, countingDraw), 0);
    EXPECT_EQ(logged("dispatch").size(), 1u);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(logged("soundClose").size(), 1u) << "the window is closed";

    // The end of the show, with some other message taken last, and a draw that fails.
    resetFake();
    quitOnDraw = true;
    fake().queue.push_back({nullptr, WM_KEYUP, 'X', 0});
    EXPECT_EQ(runMainLoop(0, 100, countingDraw), 0);
    resetFake();
    quitOnDraw = false;
    drawReturns = false;
    fake().queue.push_back({nullptr, WM_ACTIVATE, makeParam(WA_ACTIVE, 0), 0});
    EXPECT_EQ(runMainLoop(0, 100, countingDraw), 0);
}

TEST(SoundErrorText, TableEndsAt18AndEverythingElseIsUnknown) {
    EXPECT_STREQ(soundErrorText(0), "No errors");
    EXPECT_STREQ(soundErrorText(12), "Not enough memory ");
    EXPECT_STREQ(soundErrorText(18), "Failed to allocate a new channel");
    EXPECT_STREQ(soundErrorText(19), "Unknown error");
    EXPECT_STREQ(soundErrorText(-1), "Unknown error");
}
