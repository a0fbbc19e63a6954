// Opening and closing the render window and the entry sequence, on the scripted window system.
#include "fake_system.h"
#include "gl_recorder.h"
#include "resources/dialog_template.h"
#include "shell/entry.h"
#include "shell/render_window.h"
#include "shell/report_error.h"
#include "shell/show_folder.h"
#include "common/run_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {
struct Window : ::testing::Test {
    void SetUp() override { resetFake(); }
};
using OpenWindow = Window;
using Entry = Window;

std::vector<std::string> boxTexts() {
    std::vector<std::string> out;
    for (const ShownBox& b : fake().boxes)
        out.push_back(b.caption + ": " + b.text);
    return out;
}

std::string windowLine(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t style,
                       uint32_t exStyle) {
    return "window OpenGL 't' " + std::to_string(x) + "," + std::to_string(y) + " " +
           std::to_string(w) + "x" + std::to_string(h) + " style " +
           std::to_string(style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) + " ex " +
           std::to_string(exStyle);
}

bool frameDrawn() {
    return true;
}

const char* soundErrorTextFor(int32_t code) {
    return code == 3   ? "Error initializing output device."
           : code == 9 ? "File not found"
                       : "Unknown error";
}
const int32_t firstFrame = 12, endFrame = 20;

std::set<std::string> foldersWithShow;
bool hasShow(const std::string& folder) {
    return foldersWithShow.count(folder) != 0;
}
} // namespace

TEST_F(OpenWindow, AWindowIsCentredByItsClientSizeAndTheClockStartsAfterLoading) {
    fake().screenWidth = 1023; // halves truncate: 511 − 320 = 191, 383 − 240 = 143
    fake().screenHeight = 767;
    fake().counter = 777;
    ASSERT_TRUE(openRenderWindow("t", 640, 480, 16, false));
    // The fake's frame is 4 pixels wide with a 20-pixel caption.
    EXPECT_EQ(logged("window "),
              std::vector<std::string>{windowLine(191, 143, 648, 508, WS_OVERLAPPEDWINDOW,
                                                  WS_EX_APPWINDOW | WS_EX_WINDOWEDGE)});
    EXPECT_EQ(logged("pixelFormat"),
              std::vector<std::string>{"pixelFormat colour 16 depth 16 flags 37"});
    EXPECT_TRUE(logged("changeDisplaySettings").empty());
    EXPECT_TRUE(fake().boxes.empty());
    EXPECT_EQ(glrec::callsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 640, 480}));
    auto& l = fake().log;
    auto at = [&](const char* s) { return std::find(l.begin(), l.end(), s) - l.begin(); };
    EXPECT_LT(at("makeCurrent"), at("showWindow"));
    EXPECT_LT(at("showWindow"), at("runStartUp"));
    EXPECT_EQ(counterAtStart, 777);
}

TEST_F(OpenWindow, FullScreenHidesTheCursorUsesAPopupAndClosingRestoresTheMode) {
    fake().screenWidth = 800; // the display has the requested mode now
    fake().screenHeight = 600;
    ASSERT_TRUE(openRenderWindow("t", 800, 600, 16, true));
    EXPECT_EQ(logged("changeDisplaySettings"),
              std::vector<std::string>{"changeDisplaySettings 800x600x16"});
    EXPECT_EQ(logged("window ")[0], windowLine(0, 0, 800, 600, WS_POPUP, WS_EX_APPWINDOW));
    EXPECT_EQ(logged("showCursor"), std::vector<std::string>{"showCursor off"});
    closeRenderWindow();
    EXPECT_EQ(logged("restoreDisplayMode").size(), 1u);
    EXPECT_EQ(logged("showCursor").back(), "showCursor on");
}

TEST_F(OpenWindow, ARefusedModeAsksWhetherToUseAWindow) {
    const std::string question = "Ruva GL: The Requested Fullscreen Mode Is Not Supported By\n"
                                 "Your Video Card. Use Windowed Mode Instead?";
    fake().failing.insert("changeDisplaySettings");
    fake().boxAnswers.push_back(IDYES);
    ASSERT_TRUE(openRenderWindow("t", 640, 480, 16, true));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{question});
    EXPECT_EQ(fake().boxes[0].type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(logged("window ")[0], windowLine(192, 144, 648, 508, WS_OVERLAPPEDWINDOW,
                                               WS_EX_APPWINDOW | WS_EX_WINDOWEDGE));
    closeRenderWindow();
    EXPECT_TRUE(logged("restoreDisplayMode").empty()) << "the display was never changed";

    resetFake();
    fake().failing.insert("changeDisplaySettings");
    fake().boxAnswers.push_back(IDNO);
    EXPECT_FALSE(openRenderWindow("t", 640, 480, 16, true));
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{question, "ERROR: Program Will Now Close."}));
    EXPECT_EQ(fake().boxes[1].type, MB_OK | MB_ICONSTOP);
    EXPECT_TRUE(logged("createWindowEx").empty());
}

TEST_F(OpenWindow, EachFailureClosesWhatWasMadeThenSaysWhich) {
    const char* const cases[][2] = {
        {"registerClass OpenGL", "Failed To Register The Window Class."},
        {"createWindowEx", "Window Creation Error."},
        {"getDC", "Can't Create A GL Device Context."},
        {"choosePixelFormat", "Can't Find A Suitable PixelFormat."},
        {"setPixelFormat", "Can't Set The PixelFormat."},
        {"createGlContext", "Can't Create A GL Rendering Context."},
        {"makeCurrent", "Can't Activate The GL Rendering Context."},
        {"runStartUp", "Initialization Failed."},
    };
    for (const auto& c : cases) {
        resetFake();
        fake().failing.insert(c[0]);
        fake().startUpResult = std::string(c[0]) != "runStartUp";
        fake().screenWidth = 640;
        fake().screenHeight = 480;
        EXPECT_FALSE(openRenderWindow("t", 640, 480, 16, true)) << c[0];
        EXPECT_EQ(boxTexts(), std::vector<std::string>{std::string("ERROR: ") + c[1]}) << c[0];
        EXPECT_EQ(fake().boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
        auto& l = fake().log;
        auto close = std::find(l.begin(), l.end(), "soundClose");
        if (&c == &cases[0]) {
            EXPECT_EQ(close, l.end()) << "nothing to release yet";
            continue;
        }
        EXPECT_LT(close, std::find(l.begin(), l.end(), std::string("messageBox ERROR: ") + c[1]))
            << c[0] << ": closing comes first";
        EXPECT_EQ(std::count(l.begin(), l.end(), "restoreDisplayMode"), 1) << c[0];
        EXPECT_EQ(mainWindow, nullptr);
        EXPECT_EQ(renderContext, nullptr);
        EXPECT_TRUE(logged("queryPerformance").empty());
    }
}

TEST_F(OpenWindow, ClosingReportsEachFailedStepAndGoesOn) {
    ASSERT_TRUE(openRenderWindow("t", 640, 480, 16, false));
    fake().log.clear();
    for (const char* f : {"makeCurrent none", "deleteGlContext", "releaseDC", "destroyWindow",
                          "unregisterClass OpenGL"})
        fake().failing.insert(f);
    closeRenderWindow();
    EXPECT_EQ(fake().log[0], "soundClose");
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                              "SHUTDOWN ERROR: Release Of DC And RC Failed.",
                              "SHUTDOWN ERROR: Release Rendering Context Failed.",
                              "SHUTDOWN ERROR: Release Device Context Failed.",
                              "SHUTDOWN ERROR: Could Not Release hWnd.",
                              "SHUTDOWN ERROR: Could Not Unregister Class.",
                          }));
    for (const ShownBox& b : fake().boxes)
        EXPECT_EQ(b.type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(deviceContext, nullptr);
    EXPECT_EQ(renderContext, nullptr);
}

TEST_F(Entry, ClosingTheDialogTouchesNothing) {
    fake().dialogScript = [](DialogHandle d, DialogProc proc) {
        proc(d, WM_INITDIALOG, 0, 0);
        proc(d, WM_COMMAND, makeParam(IDCANCEL, BN_CLICKED), 0); // Escape: nothing
        proc(d, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 0);
    EXPECT_EQ(fake().log, std::vector<std::string>{"dialogBox 101"});
}

TEST_F(Entry, SetUpFailuresExitWithZero) {
    for (const char* step : {"registerClass OpenGL", "createWindowEx", "runStartUp"}) {
        resetFake();
        fake().failing.insert(step);
        fake().queue.push_back({nullptr, WM_QUIT, 0, 0}); // ends a run that should not start
        EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 0) << step;
        EXPECT_EQ(fake().boxes.size(), 1u) << step;
    }
    resetFake();
    fake().boxAnswers.push_back(IDNO); // a refused full-screen mode, and no window instead
    fake().failing.insert("changeDisplaySettings");
    EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 0);
}

TEST_F(Entry, TheShowPlaysFromTheWorkingFolderElseFromTheOneInstalledWithTheProgram) {
    // A data folder where the program starts wins, so a custom show plays from where it is.
    foldersWithShow = {".", "/usr/share/lanternwhirl"};
    EXPECT_EQ(chooseShowFolder("/usr/bin", hasShow), "");
    // Otherwise the prefix layout beside the program, whatever the prefix ...
    foldersWithShow = {"/home/u/opt/share/lanternwhirl", "/home/u/opt/bin"};
    EXPECT_EQ(chooseShowFolder("/home/u/opt/bin", hasShow), "/home/u/opt/share/lanternwhirl");
    foldersWithShow = {"/share/lanternwhirl"};
    EXPECT_EQ(chooseShowFolder("/", hasShow), "/share/lanternwhirl");
    // ... then a folder holding the program and its show together.
    foldersWithShow = {"/tmp/lw"};
    EXPECT_EQ(chooseShowFolder("/tmp/lw", hasShow), "/tmp/lw");
    // Nowhere: the working folder stays, and loading reports the missing files as ever.
    foldersWithShow = {};
    EXPECT_EQ(chooseShowFolder("/usr/bin", hasShow), "");
    EXPECT_EQ(chooseShowFolder("", hasShow), "") << "the system could not name the folder";
}

TEST_F(Entry, SoundStartsBeforeTheWindowAndPlaysAfterItInTheFixedOrder) {
    fake().queue.push_back({nullptr, WM_QUIT, 0, 0});
    EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 0);
    std::vector<std::string> calls;
    for (const std::string& s : fake().log)
        if (s.compare(0, 5, "sound") == 0 || s.compare(0, 5, "music") == 0 || s == "runStartUp")
            calls.push_back(s);
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "soundGetOutput", "soundSetOutput 5", "soundInit 44100 32 0",
                         "musicLoadSong data//s2.it", "runStartUp", "musicPlaySong module",
                         "soundSetReverbEnvironment 7 0.50 10.00 0.30", "soundClose"}));
    EXPECT_EQ(currentFrame, firstFrame);
    EXPECT_NE(logged("window ")[0].find("'ketterfold: lanternwhirl'"), std::string::npos);
}

TEST_F(Entry, NoSoundMakesNoSoundCallButTheClosingOne) {
    fake().dialogScript = [](DialogHandle d, DialogProc proc) {
        proc(d, WM_INITDIALOG, 0, 0);
        d->checked[controlNoSound] = BST_CHECKED;
        proc(d, WM_COMMAND, makeParam(IDOK, BN_CLICKED), 0);
    };
    fake().queue.push_back({nullptr, WM_QUIT, 0, 0});
    EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 0);
    EXPECT_EQ(logged("sound"), std::vector<std::string>{"soundClose"});
    EXPECT_TRUE(logged("music").empty());
}

TEST_F(Entry, SoundFailuresShowTheLibrarysTextAndExitWithOne) {
    const std::pair<const char*, int32_t> cases[] = {{"soundInit 44100 32 0", 3},
                                                     {"musicLoadSong data//s2.it", 9},
                                                     {"musicLoadSong data//s2.it", -7}};
    for (auto& c : cases) {
        resetFake();
        fake().failing.insert(c.first);
        fake().soundError = c.second;
        EXPECT_EQ(runEntry(firstFrame, endFrame, frameDrawn), 1) << c.first;
        ASSERT_EQ(fake().boxes.size(), 1u);
        EXPECT_EQ(boxTexts()[0], std::string("Error: ") + soundErrorTextFor(c.second) + "\n");
        EXPECT_EQ(fake().boxes[0].owner, nullptr) << "no window exists yet";
        EXPECT_TRUE(logged("registerClass").empty());
        EXPECT_EQ(logged("musicLoadSong").empty(), c.second == 3) << "no load after a failed start";
    }
}

TEST_F(Entry, ReportErrorAddsALineBreakAndBelongsToTheWindow) {
    ASSERT_TRUE(openRenderWindow("t", 640, 480, 16, false));
    reportError("MESH error: couldn't load!");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error: MESH error: couldn't load!\n"});
    EXPECT_EQ(fake().boxes[0].owner, mainWindow);
    reportError(std::string(500, 'x').c_str()); // cut to the buffer, not written past it
    EXPECT_EQ(fake().boxes[1].text.size(), 199u);
}
