// The window, its GL context, the display mode, the cursor, the message queue and the counter
// on SDL2. There is one render window; its class, device context and rendering context are
// small records around the SDL window and GL context.
#include "platform/one_window.h"
#include "platform/sdl/program_icon.h"
#include "platform/sdl/virtual_keys.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    std::string title;
    int32_t x = 0, y = 0, width = 0, height = 0;
    uint32_t sdlFlags = 0;
    bool fullscreen = false;
};

struct RenderContextRecord {
    SDL_GLContext gl = nullptr;
};

namespace {
bool videoReady = false;
bool modePending = false; // a full-screen mode was accepted and waits for its window
SDL_DisplayMode fullscreenMode;

RenderContextRecord* currentRC = nullptr;

bool initVideo() {
    if (videoReady) return true;
    // The quit message comes from the window procedure, never from SDL closing the last
    // window; and a full-screen window stays up when it loses the focus, as on Windows.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The screen saver and power saving are held off only while the render window has the
    // focus (see translate); SDL would otherwise hold them off for the whole run.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SDL 2.26 takes both the X11 class and the Wayland app id from here (a user's wins).
    setenv("SDL_VIDEO_X11_WMCLASS", desktopId, 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "video: %s\n", SDL_GetError());
        return false;
    }
    SDL_StopTextInput();
    videoReady = true;
    return true;
}

// SDL fixes a window's visual when the window is made, so the window is made once without
// GL when it is created and made again with the pixel format when one is set. It is still
// hidden then, so nobody sees the exchange.
bool makeSdlWindow(WindowRecord& w, bool withGl) {
    uint32_t flags = w.sdlFlags | SDL_WINDOW_HIDDEN | (withGl ? SDL_WINDOW_OPENGL : 0);
    SDL_Window* sdl = SDL_CreateWindow(w.title.c_str(), w.x, w.y, w.width, w.height, flags);
    if (!sdl) {
        fprintf(stderr, "window: %s\n", SDL_GetError());
        return false;
    }
    if (w.fullscreen && SDL_SetWindowDisplayMode(sdl, &fullscreenMode) != 0) {
        fprintf(stderr, "display mode: %s\n", SDL_GetError());
        SDL_DestroyWindow(sdl);
        return false;
    }
    if (w.sdl) SDL_DestroyWindow(w.sdl);
    w.sdl = sdl;
    setWindowIcon(sdl);
    return true;
}

void drawableSize(const WindowRecord& w, int32_t& width, int32_t& height) {
    int dw = 0, dh = 0;
    if (w.sdlFlags & SDL_WINDOW_OPENGL)
        SDL_GL_GetDrawableSize(w.sdl, &dw, &dh);
    else
        SDL_GetWindowSize(w.sdl, &dw, &dh);
    width = dw;
    height = dh;
}

// The screen saver and power saving are held off only while the window has the focus.
void followScreenSaver() {
    if (holdsScreenSaver(windowMessages))
        SDL_DisableScreenSaver();
    else
        SDL_EnableScreenSaver();
}

// One SDL event, told to the window's messages in neutral terms.
void report(const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        windowCloseRequested(windowMessages);
        return;
    }
    if (!theWindow) return;
    WindowRecord& w = *theWindow;
    uint32_t ownId = SDL_GetWindowID(w.sdl);
    int32_t width = 0, height = 0;
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (e.window.windowID != ownId) return;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            windowCloseRequested(windowMessages);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            windowMinimised(windowMessages, true, 0, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            drawableSize(w, width, height);
            windowMinimised(windowMessages, false, width, height);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            windowFocus(windowMessages, e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            drawableSize(w, width, height);
            windowResized(windowMessages, width, height);
            break;
        default:
            break;
        }
        followScreenSaver();
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (e.key.windowID != ownId) return;
        KeyEvent key;
        key.down = e.type == SDL_KEYDOWN;
        key.repeat = e.key.repeat != 0;
        key.virtualKey = virtualKeyFromSdl(e.key.keysym.sym);
        windowKey(windowMessages, key);
        return;
    }
    case SDL_MOUSEMOTION:
        if (e.motion.windowID == ownId) windowPointerMoved(windowMessages, e.motion.x, e.motion.y);
        return;
    default:
        return;
    }
}
} // namespace

bool registerClass(const WindowClass& c) {
    if (!c.className || !c.windowProc || windowClass.registered) return false;
    return initVideo() && recordWindowClass(c);
}

int32_t getSystemMetrics(int32_t index) {
    if (!initVideo()) return 0;
    SDL_DisplayMode mode;
    if (modePending)
        mode = fullscreenMode; // the display already has the full-screen size
    else if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    if (index == SM_CXSCREEN) return mode.w;
    if (index == SM_CYSCREEN) return mode.h;
    return 0;
}

// The window manager draws the frame around the client area SDL sizes, and its size is only
// known once the window is up; the outer size handed to the window is the client size.
bool adjustWindowRectEx(Rect&, uint32_t, bool, uint32_t) {
    return true;
}

WindowHandle createWindowEx(uint32_t, const char* className, const char* title, uint32_t style,
                            int32_t x, int32_t y, int32_t width, int32_t height, WindowHandle,
                            const void*, ModuleHandle, const void*) {
    if (!mayCreateWindow(className, width, height)) return nullptr;
    WindowRecord* w = new WindowRecord;
    w->title = title ? title : "";
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    if ((style & WS_POPUP) && modePending) {
        w->fullscreen = true;
        w->sdlFlags = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
    } else if ((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW) {
        w->sdlFlags = SDL_WINDOW_RESIZABLE;
    } else {
        w->sdlFlags = SDL_WINDOW_BORDERLESS;
    }
    if (!makeSdlWindow(*w, false)) {
        delete w;
        return nullptr;
    }
    adoptWindow(w, width, height);
    return w;
}

void releaseWindow(WindowRecord* window) {
    SDL_DestroyWindow(window->sdl);
    delete window;
    SDL_EnableScreenSaver();
}

bool showWindow(WindowHandle window, int32_t) {
    if (!window || window != theWindow) return false;
    SDL_ShowWindow(window->sdl);
    return true;
}

bool setForegroundWindow(WindowHandle window) {
    if (!window || window != theWindow) return false;
    SDL_RaiseWindow(window->sdl);
    return true;
}

WindowHandle setFocus(WindowHandle window) {
    if (window && window == theWindow) SDL_SetWindowInputFocus(window->sdl);
    return nullptr;
}

// The mode is looked up in the display's own list and must match width and height exactly;
// SDL switches to it when the full-screen window appears, and back when that window goes.
int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t) {
    if (!mode) {
        modePending = false;
        if (theWindow && theWindow->fullscreen) {
            SDL_SetWindowFullscreen(theWindow->sdl, 0);
            theWindow->fullscreen = false;
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!initVideo()) return DISP_CHANGE_FAILED;
    if ((mode->fields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != (DM_PELSWIDTH | DM_PELSHEIGHT))
        return DISP_CHANGE_BADMODE;
    // The desktop's own mode counts as listed even where a driver lists none.
    SDL_DisplayMode m;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = -1; i < count; ++i) {
        if ((i < 0 ? SDL_GetDesktopDisplayMode(0, &m) : SDL_GetDisplayMode(0, i, &m)) != 0)
            continue;
        if (uint32_t(m.w) == mode->pelsWidth && uint32_t(m.h) == mode->pelsHeight) {
            fullscreenMode = m;
            modePending = true;
            return DISP_CHANGE_SUCCESSFUL;
        }
    }
    return DISP_CHANGE_BADMODE;
}

void setCursorShown(bool shown) {
    if (videoReady) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

bool setPixelFormat(DeviceContext dc, int32_t format, const PixelFormatDescriptor* d) {
    if (!validDC(dc) || format != 1 || !d || dc->pixelFormat != 0) return false;
    // RGB of the requested colour bits: 5-6-5 for 16, 8-8-8 above; the driver may give more.
    int bits = d->colorBits;
    int red = bits >= 24 ? 8 : 5, green = bits >= 24 ? 8 : (bits == 16 ? 6 : 5), blue = red;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, d->alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, d->depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, d->stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (d->flags & PFD_DOUBLEBUFFER) ? 1 : 0);
    WindowRecord& w = *dc->window;
    w.sdlFlags |= SDL_WINDOW_OPENGL;
    if (!makeSdlWindow(w, true)) {
        w.sdlFlags &= ~uint32_t(SDL_WINDOW_OPENGL);
        return false;
    }
    dc->pixelFormat = format;
    return true;
}

RenderContext createGlContext(DeviceContext dc) {
    if (!validDC(dc) || dc->pixelFormat == 0) return nullptr;
    SDL_GLContext gl = SDL_GL_CreateContext(dc->window->sdl);
    if (!gl) {
        fprintf(stderr, "GL context: %s\n", SDL_GetError());
        return nullptr;
    }
    // SDL makes a new context current; the rendering context becomes current only when asked.
    SDL_GL_MakeCurrent(dc->window->sdl, nullptr);
    RenderContextRecord* rc = new RenderContextRecord;
    rc->gl = gl;
    return rc;
}

bool makeGlContextCurrent(DeviceContext dc, RenderContext rc) {
    if (!rc) {
        if (!videoReady) return true;
        bool ok = SDL_GL_MakeCurrent(theWindow ? theWindow->sdl : nullptr, nullptr) == 0;
        if (ok) currentRC = nullptr;
        return ok;
    }
    if (!validDC(dc)) return false;
    if (SDL_GL_MakeCurrent(dc->window->sdl, rc->gl) != 0) {
        fprintf(stderr, "GL context: %s\n", SDL_GetError());
        return false;
    }
    currentRC = rc;
    // Ask to swap at the display's refresh; a driver that refuses runs free.
    SDL_GL_SetSwapInterval(1);
    return true;
}

bool deleteGlContext(RenderContext rc) {
    if (!rc) return false;
    if (rc == currentRC) {
        SDL_GL_MakeCurrent(theWindow ? theWindow->sdl : nullptr, nullptr);
        currentRC = nullptr;
    }
    SDL_GL_DeleteContext(rc->gl);
    delete rc;
    return true;
}

bool swapBuffers(DeviceContext dc) {
    if (!validDC(dc) || dc->pixelFormat == 0) return false;
    SDL_GL_SwapWindow(dc->window->sdl);
    return true;
}

bool pollWindowSystem() {
    if (!videoReady) return false;
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    report(e);
    return true;
}

int64_t clockTicks() {
    return int64_t(SDL_GetPerformanceCounter());
}

int64_t clockTicksPerSecond() {
    return int64_t(SDL_GetPerformanceFrequency());
}
