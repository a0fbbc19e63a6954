// The window, its GL context, the display mode, the cursor, the message queue and the counter in
// a web page. The window is a canvas of exactly the client size inside a frame with the title,
// a close box and (a window of the overlapped style) a sizing border; full screen is the
// browser's Fullscreen API on a stage that shows the same canvas scaled to the screen, aspect
// kept, since a page cannot change the display's mode. The page (window.js) reports the
// browser's events in neutral terms; the window-message rules make Windows' messages of them.
#include "platform/one_window.h"
#include "platform/page.h"
#include "platform/web/page_dialog.h"
#include "platform/web/webgl_context.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <string>

struct WindowRecord {
    std::string title;
    std::string canvas;            // the canvas's element id, once the window has its GL context
    int32_t width = 0, height = 0; // the client size
    bool fullscreen = false;
    bool sizable = false;
};

struct RenderContextRecord {
    intptr_t webgl = 0;
};

namespace {
bool modePending = false; // full screen was granted and waits for its window
int32_t modeWidth = 0, modeHeight = 0;

RenderContextRecord* currentRC = nullptr;

// One event of the page, told to the window's messages.
void report(WindowRecord& w, const PageEvent& e) {
    switch (e.kind) {
    case pageKey:
        windowKey(windowMessages, pageKeyEvent(e));
        break;
    case pagePointer:
        windowPointerMoved(windowMessages, e.x, e.y);
        break;
    case pageFocus:
        windowFocus(windowMessages, e.on != 0);
        break;
    case pageVisibility: // a hidden page is a minimised window
        windowMinimised(windowMessages, e.on != 0, w.width, w.height);
        break;
    case pageResize:
        if (e.x <= 0 || e.y <= 0) break;
        w.width = e.x;
        w.height = e.y;
        // The drawing buffer follows the client area before WM_SIZE resets the viewport to it,
        // so that no frame is drawn at one size into a buffer of the other.
        if (!w.canvas.empty()) resizeWebGlCanvas(w.canvas.c_str(), w.width, w.height);
        windowResized(windowMessages, w.width, w.height);
        break;
    case pageClose:
        windowCloseRequested(windowMessages);
        break;
    default:
        break;
    }
}
} // namespace

bool registerClass(const WindowClass& c) {
    return recordWindowClass(c);
}

int32_t getSystemMetrics(int32_t index) {
    // In full screen the "display" has the chosen size: the canvas fills it.
    if (index == SM_CXSCREEN) return modePending ? modeWidth : lwPageScreenSize(1);
    if (index == SM_CYSCREEN) return modePending ? modeHeight : lwPageScreenSize(0);
    return 0;
}

// The page draws the frame around the canvas; the outer size handed to the window is the
// client size.
bool adjustWindowRectEx(Rect&, uint32_t, bool, uint32_t) {
    return true;
}

WindowHandle createWindowEx(uint32_t, const char* className, const char* title, uint32_t style,
                            int32_t, int32_t, int32_t width, int32_t height, WindowHandle,
                            const void*, ModuleHandle, const void*) {
    if (!mayCreateWindow(className, width, height)) return nullptr;
    WindowRecord* w = new WindowRecord;
    w->title = title ? title : "";
    w->width = width;
    w->height = height;
    w->fullscreen = (style & WS_POPUP) && modePending;
    w->sizable = !w->fullscreen && (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW;
    adoptWindow(w, width, height);
    return w;
}

void releaseWindow(WindowRecord* window) {
    lwPageCloseWindow();
    delete window;
}

bool showWindow(WindowHandle window, int32_t) {
    if (!window || window != theWindow) return false;
    lwPageShowWindow();
    return true;
}

bool setForegroundWindow(WindowHandle window) {
    return window && window == theWindow;
}

WindowHandle setFocus(WindowHandle) {
    return nullptr;
}

// A page cannot change the display's mode. Full screen is granted or refused by the browser
// (it needs the click that started the show); the canvas keeps the mode's size and the browser
// scales it to the screen.
int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t) {
    if (!mode) {
        if (modePending || (theWindow && theWindow->fullscreen)) lwPageLeaveFullscreen();
        modePending = false;
        if (theWindow) theWindow->fullscreen = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if ((mode->fields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != (DM_PELSWIDTH | DM_PELSHEIGHT))
        return DISP_CHANGE_BADMODE;
    if (!lwWaitFullscreen()) return DISP_CHANGE_BADMODE;
    modePending = true;
    modeWidth = int32_t(mode->pelsWidth);
    modeHeight = int32_t(mode->pelsHeight);
    return DISP_CHANGE_SUCCESSFUL;
}

void setCursorShown(bool shown) {
    lwPageShowCursor(shown);
}

// WebGL has one format: RGB(A) 8 bits a channel and a 16-bit or deeper depth buffer, which
// covers what the descriptor asks. The canvas appears here, with its context's attributes set
// when the context is made.
bool setPixelFormat(DeviceContext dc, int32_t format, const PixelFormatDescriptor* d) {
    if (!validDC(dc) || format != 1 || !d || dc->pixelFormat != 0) return false;
    dc->pixelFormat = format;
    return true;
}

RenderContext createGlContext(DeviceContext dc) {
    if (!validDC(dc) || dc->pixelFormat == 0) return nullptr;
    WindowRecord& w = *dc->window;
    char* canvas = lwPageOpenWindow(w.title.c_str(), w.width, w.height, w.fullscreen, w.sizable);
    w.canvas = canvas;
    free(canvas);
    const intptr_t webgl = createWebGlContext(w.canvas.c_str(), w.width, w.height);
    if (!webgl) return nullptr;
    RenderContextRecord* rc = new RenderContextRecord;
    rc->webgl = webgl;
    return rc;
}

bool makeGlContextCurrent(DeviceContext dc, RenderContext rc) {
    if (!rc) {
        makeWebGlContextCurrent(0);
        currentRC = nullptr;
        return true;
    }
    if (!validDC(dc) || !makeWebGlContextCurrent(rc->webgl)) return false;
    currentRC = rc;
    return true;
}

bool deleteGlContext(RenderContext rc) {
    if (!rc) return false;
    if (rc == currentRC) {
        makeWebGlContextCurrent(0);
        currentRC = nullptr;
    }
    destroyWebGlContext(rc->webgl);
    delete rc;
    return true;
}

// The browser shows a canvas's frame once the program gives it control, as a swap at the
// display's refresh would.
bool swapBuffers(DeviceContext dc) {
    if (!validDC(dc) || dc->pixelFormat == 0) return false;
    pageNextFrame();
    return true;
}

bool pollWindowSystem() {
    if (!theWindow) return false;
    // A lost WebGL context never draws again here: gl4es keeps its shaders, buffers and the
    // show's textures on it and cannot make them anew. The run ends as a failure, with a box,
    // instead of playing the music over a blank canvas.
    if (!webGlContextLost && lwPageContextLost()) {
        webGlContextLost = true;
        messageBox(nullptr, "The GL Rendering Context Was Lost.", "ERROR",
                   MB_OK | MB_ICONEXCLAMATION);
        postQuitMessage(1);
        return true;
    }
    PageEvent e = {};
    if (!lwPageTakeEvent(&e)) return false;
    report(*theWindow, e);
    return true;
}

// Microseconds of the page's clock.
int64_t clockTicks() {
    return int64_t(emscripten_get_now() * 1000.0);
}

int64_t clockTicksPerSecond() {
    return 1000000;
}
