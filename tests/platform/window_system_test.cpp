// The window system on SDL's offscreen video driver: the life of the one window and its GL
// context, display modes, and events becoming messages.
#include "platform/window_system.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// Under the sanitizers, Mesa's software driver leaves allocations behind when SDL unloads it,
// in frames LeakSanitizer cannot name or suppress; this binary checks everything but leaks.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {
std::vector<Message> seen;
intptr_t recordingProc(WindowHandle w, uint32_t type, uintptr_t wParam, intptr_t lParam) {
    seen.push_back({w, type, wParam, lParam});
    return 0;
}

const PixelFormatDescriptor glFormat = {40,
                                        1,
                                        PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                                        PFD_TYPE_RGBA,
                                        16,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        0,
                                        16,
                                        0,
                                        0,
                                        PFD_MAIN_PLANE,
                                        0,
                                        0,
                                        0,
                                        0};

WindowClass makeClass() {
    WindowClass c = {};
    c.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    c.windowProc = recordingProc;
    c.instance = getModuleHandle();
    c.className = "OpenGL";
    return c;
}

// The SDL window behind the handle: the one visible window with the title.
SDL_Window* sdlWindowTitled(const char* title) {
    for (uint32_t id = 1; id < 64; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && strcmp(SDL_GetWindowTitle(w), title) == 0) return w;
    }
    return nullptr;
}

void drain() {
    Message m;
    while (peekMessage(m)) {
    }
}

// SDL may end one poll at its marker for the events that were waiting when it began, so an
// event pushed after that shows up on the following call.
Message next() {
    Message m = {nullptr, 0xFFFF, 0, 0};
    EXPECT_TRUE(peekMessage(m) || peekMessage(m));
    return m;
}

void push(const SDL_Event& e) {
    SDL_Event copy = e;
    ASSERT_EQ(SDL_PushEvent(&copy), 1) << SDL_GetError();
}
} // namespace

TEST(MessageQueue, PostedQuitComesOnceWithItsCodeAndAnEmptyQueueLeavesTheMessageAlone) {
    postQuitMessage(7);
    Message m = {nullptr, WM_NULL, 99, 0};
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.type, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    Message untouched = {nullptr, WM_KEYUP, 42, 3};
    EXPECT_FALSE(peekMessage(untouched));
    EXPECT_EQ(untouched.type, WM_KEYUP);
    EXPECT_EQ(untouched.wParam, 42u);
    // Messages for no window are not dispatched anywhere.
    EXPECT_EQ(dispatchMessage({nullptr, WM_CLOSE, 0, 0}), 0);
}

TEST(WindowSystem, OneWindowFromClassToGlContextAndBackOnTheOffscreenDriver) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    ASSERT_TRUE(registerClass(makeClass()));
    EXPECT_FALSE(registerClass(makeClass())) << "the class exists already";

    // Display modes: only a mode the display lists, at exactly its size, is taken.
    int32_t desktopWidth = getSystemMetrics(SM_CXSCREEN);
    int32_t desktopHeight = getSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(desktopWidth, 0);
    DisplayMode mode = {148, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT, 16,
                        uint32_t(desktopWidth + 1), uint32_t(desktopHeight)};
    EXPECT_EQ(changeDisplaySettings(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(getSystemMetrics(SM_CXSCREEN), desktopWidth);
    mode.pelsWidth = uint32_t(desktopWidth);
    EXPECT_EQ(changeDisplaySettings(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(changeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);

    EXPECT_EQ(createWindowEx(0, "Other", "t", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                             getModuleHandle(), nullptr),
              nullptr)
        << "no such class";
    WindowHandle window =
        createWindowEx(WS_EX_APPWINDOW, "OpenGL", "platform test", WS_OVERLAPPEDWINDOW, 10, 20, 320,
                       240, nullptr, nullptr, getModuleHandle(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(createWindowEx(0, "OpenGL", "second", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
                             nullptr, getModuleHandle(), nullptr),
              nullptr)
        << "there is one render window";

    DeviceContext dc = getDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(getDC(window), dc) << "the class owns its device context";
    EXPECT_FALSE(swapBuffers(dc)) << "no pixel format yet";
    PixelFormatDescriptor noGl = glFormat;
    noGl.flags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
    EXPECT_EQ(choosePixelFormat(dc, &noGl), 0);
    int32_t format = choosePixelFormat(dc, &glFormat);
    ASSERT_NE(format, 0);
    EXPECT_EQ(createGlContext(dc), nullptr) << "a context needs the pixel format first";
    ASSERT_TRUE(setPixelFormat(dc, format, &glFormat)) << SDL_GetError();
    EXPECT_FALSE(setPixelFormat(dc, format, &glFormat)) << "a window's format is set once";
    RenderContext rc = createGlContext(dc);
    ASSERT_NE(rc, nullptr);
    ASSERT_TRUE(makeGlContextCurrent(dc, rc));

    // The depth buffer the descriptor asks for. (Double buffering is asked for too, but an
    // offscreen surface has only one buffer.)
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_TRUE(showWindow(window, SW_SHOW));
    EXPECT_TRUE(swapBuffers(dc));

    EXPECT_FALSE(unregisterClass("OpenGL", getModuleHandle())) << "its window still exists";

    // Events become messages for the window procedure, one per call.
    SDL_Window* sdl = sdlWindowTitled("platform test");
    ASSERT_NE(sdl, nullptr);
    uint32_t id = SDL_GetWindowID(sdl);
    drain();
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.keysym.sym = SDLK_ESCAPE;
    push(e);
    e.type = SDL_KEYUP;
    e.key.keysym.sym = SDLK_q;
    push(e);
    Message m = next();
    EXPECT_EQ(m.window, window);
    EXPECT_EQ(m.type, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, 27u);
    seen.clear();
    dispatchMessage(m);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].type, WM_KEYDOWN);
    m = next();
    EXPECT_EQ(m.type, WM_KEYUP);
    EXPECT_EQ(m.wParam, uintptr_t('Q'));

    // Minimising: not active (minimised flag in the high word), then a size of 0 × 0.
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = SDL_WINDOWEVENT_MINIMIZED;
    push(e);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    push(e);
    m = next();
    EXPECT_EQ(m.type, WM_ACTIVATE);
    EXPECT_EQ(hiWord(m.wParam), 1u);
    m = next();
    EXPECT_EQ(m.type, WM_SIZE);
    EXPECT_EQ(m.lParam, 0);
    m = next();
    EXPECT_EQ(m.type, WM_CLOSE);
    e.window.event = SDL_WINDOWEVENT_RESTORED;
    push(e);
    EXPECT_EQ(next().wParam, makeParam(WA_ACTIVE, 0));
    EXPECT_EQ(next().type, WM_SIZE);
    // The screen saver is held off only while the window has the focus. Losing the focus
    // alone says "not minimised".
    EXPECT_TRUE(SDL_IsScreenSaverEnabled()) << "not before the window has the focus";
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    push(e);
    EXPECT_EQ(next().type, WM_ACTIVATE);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    push(e);
    m = next();
    EXPECT_EQ(m.type, WM_ACTIVATE);
    EXPECT_EQ(loWord(m.wParam), WA_INACTIVE);
    EXPECT_EQ(hiWord(m.wParam), 0u);
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    push(e);
    EXPECT_EQ(next().type, WM_ACTIVATE);
    e = {};
    e.type = SDL_QUIT;
    push(e);
    EXPECT_EQ(next().type, WM_CLOSE);
    drain();

    EXPECT_TRUE(makeGlContextCurrent(nullptr, nullptr));
    EXPECT_TRUE(deleteGlContext(rc));
    EXPECT_FALSE(releaseDC(window, nullptr));
    EXPECT_TRUE(releaseDC(window, dc));
    EXPECT_TRUE(destroyWindow(window));
    EXPECT_TRUE(SDL_IsScreenSaverEnabled()) << "the focused window is gone";
    EXPECT_FALSE(destroyWindow(window));
    EXPECT_FALSE(unregisterClass("Other", getModuleHandle()));
    EXPECT_TRUE(unregisterClass("OpenGL", getModuleHandle()));
    EXPECT_FALSE(unregisterClass("OpenGL", getModuleHandle()));
}
