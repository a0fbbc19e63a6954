#include "shell/render_window.h"

#include "platform/sound.h"
#include "common/run_state.h"
#include "shell/startup.h"

#include <GL/gl.h>
#include <GL/glu.h>

ModuleHandle moduleInstance = nullptr;
WindowHandle mainWindow = nullptr;
DeviceContext deviceContext = nullptr;
RenderContext renderContext = nullptr;

namespace {
const char* const windowClassName = "OpenGL";

void setupError(const char* text) {
    messageBox(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

void shutdownError(const char* text) {
    messageBox(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// Failures after the window exists release everything first, then say what went wrong.
bool failOpen(const char* text) {
    closeRenderWindow();
    setupError(text);
    return false;
}
} // namespace

bool openRenderWindow(const char* title, int32_t width, int32_t height, int32_t bits,
                      bool fullscreenFlag) {
    fullscreen = fullscreenFlag;
    moduleInstance = getModuleHandle();

    WindowClass windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.windowProc = windowProc;
    windowClass.instance = moduleInstance;
    windowClass.icon = "IDI_APPLICATION";
    windowClass.cursor = "IDC_ARROW";
    windowClass.className = windowClassName;
    if (!registerClass(windowClass)) {
        setupError("Failed To Register The Window Class.");
        return false;
    }

    if (fullscreen) {
        DisplayMode mode = {};
        mode.size = 148;
        mode.pelsWidth = uint32_t(width);
        mode.pelsHeight = uint32_t(height);
        mode.bitsPerPel = uint32_t(bits);
        mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (changeDisplaySettings(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            if (messageBox(nullptr,
                           "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                           "Use Windowed Mode Instead?",
                           "Ruva GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
                fullscreen = false;
            } else {
                messageBox(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
                return false; // the class stays registered
            }
        }
    }

    uint32_t exStyle, style;
    if (fullscreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        showCursor(false);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }

    Rect rect = {0, 0, width, height};
    adjustWindowRectEx(rect, style, false, exStyle);

    // The client size is halved, not the outer size: the frame pushes the client area a
    // little right and down of the centre.
    int32_t x = getSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    int32_t y = getSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    mainWindow = createWindowEx(
        exStyle, windowClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, moduleInstance, nullptr);
    if (!mainWindow) return failOpen("Window Creation Error.");

    static PixelFormatDescriptor descriptor = {40,
                                               1,
                                               PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                                                   PFD_DOUBLEBUFFER,
                                               PFD_TYPE_RGBA,
                                               uint8_t(bits),
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

    deviceContext = getDC(mainWindow);
    if (!deviceContext) return failOpen("Can't Create A GL Device Context.");
    int32_t format = choosePixelFormat(deviceContext, &descriptor);
    if (!format) return failOpen("Can't Find A Suitable PixelFormat.");
    if (!setPixelFormat(deviceContext, format, &descriptor))
        return failOpen("Can't Set The PixelFormat.");
    renderContext = createGlContext(deviceContext);
    if (!renderContext) return failOpen("Can't Create A GL Rendering Context.");
    if (!makeGlContextCurrent(deviceContext, renderContext))
        return failOpen("Can't Activate The GL Rendering Context.");

    showWindow(mainWindow, SW_SHOW);
    setForegroundWindow(mainWindow);
    setFocus(mainWindow);
    resizeViewport(width, height);

    if (!runStartUp()) return failOpen("Initialization Failed.");

    // The clock starts after all loading.
    queryPerformanceFrequency(&counterFrequency);
    queryPerformanceCounter(&counterAtStart);
    return true;
}

void closeRenderWindow() {
    soundClose();
    if (fullscreen) {
        changeDisplaySettings(nullptr, 0);
        showCursor(true);
    }
    if (renderContext) {
        if (!makeGlContextCurrent(nullptr, nullptr)) shutdownError("Release Of DC And RC Failed.");
        if (!deleteGlContext(renderContext)) shutdownError("Release Rendering Context Failed.");
        renderContext = nullptr;
    }
    if (deviceContext) {
        if (!releaseDC(mainWindow, deviceContext)) shutdownError("Release Device Context Failed.");
        deviceContext = nullptr;
    }
    if (mainWindow) {
        if (!destroyWindow(mainWindow)) shutdownError("Could Not Release hWnd.");
        mainWindow = nullptr;
    }
    if (!unregisterClass(windowClassName, moduleInstance))
        shutdownError("Could Not Unregister Class.");
    moduleInstance = nullptr;
}

intptr_t windowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // Only minimising stops the drawing; losing the focus alone does not.
        windowActive = hiWord(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        postQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        // Virtual-key codes are below 256; anything else has no entry to set.
        if (wParam < 256) keyDown[wParam] = 1;
        if (wParam == 27) postQuitMessage(0);
        return 0;
    case WM_KEYUP:
        if (wParam < 256) keyDown[wParam] = 0;
        return 0;
    case WM_SIZE:
        resizeViewport(int32_t(loWord(lParam)), int32_t(hiWord(lParam)));
        return 0;
    default:
        break;
    }
    return defWindowProc(window, message, wParam, lParam);
}
