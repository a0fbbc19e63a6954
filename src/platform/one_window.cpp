#include "platform/one_window.h"

RegisteredClass windowClass;
WindowRecord* theWindow = nullptr;
DeviceContextRecord* theDC = nullptr;
WindowMessages windowMessages;

namespace {
char moduleAnchor; // its address is the program's module handle
bool quitPosted = false;
int32_t quitCode = 0;
int32_t cursorCount = 0;

// Takes the quit message when one has been posted; it comes after the window's messages, as
// Windows gives WM_QUIT only once the queue is empty.
bool takeQuitMessage(Message& message) {
    if (!quitPosted) return false;
    quitPosted = false;
    message = {nullptr, WM_QUIT, uintptr_t(intptr_t(quitCode)), 0};
    return true;
}
} // namespace

ModuleHandle getModuleHandle() {
    return &moduleAnchor;
}

bool recordWindowClass(const WindowClass& c) {
    if (!c.className || !c.windowProc || windowClass.registered) return false;
    windowClass.registered = true;
    windowClass.name = c.className;
    windowClass.proc = c.windowProc;
    windowClass.instance = c.instance;
    return true;
}

bool isRegisteredClass(const char* className) {
    return windowClass.registered && className && windowClass.name == className;
}

bool unregisterClass(const char* className, ModuleHandle instance) {
    if (!isRegisteredClass(className) || windowClass.instance != instance || theWindow)
        return false;
    windowClass = RegisteredClass();
    return true;
}

bool mayCreateWindow(const char* className, int32_t width, int32_t height) {
    return isRegisteredClass(className) && !theWindow && width > 0 && height > 0;
}

void adoptWindow(WindowRecord* window, int32_t width, int32_t height) {
    theWindow = window;
    beginWindowMessages(windowMessages, window, width, height);
}

bool destroyWindow(WindowHandle window) {
    if (!window || window != theWindow) return false;
    if (theDC && theDC->window == window) theDC->window = nullptr;
    // Messages for the window die with it.
    endWindowMessages(windowMessages);
    theWindow = nullptr;
    releaseWindow(window);
    return true;
}

bool validDC(DeviceContext dc) {
    return dc && dc == theDC && dc->window == theWindow;
}

DeviceContext getDC(WindowHandle window) {
    if (!window || window != theWindow) return nullptr;
    // The class has its own device context: every call gives the same one.
    if (!theDC) {
        theDC = new DeviceContextRecord;
        theDC->window = window;
    }
    return theDC;
}

bool releaseDC(WindowHandle window, DeviceContext dc) {
    if (!dc || dc != theDC || dc->window != window) return false;
    delete theDC;
    theDC = nullptr;
    return true;
}

int32_t choosePixelFormat(DeviceContext dc, const PixelFormatDescriptor* d) {
    if (!validDC(dc) || !d || d->size != sizeof(PixelFormatDescriptor)) return 0;
    uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((d->flags & needed) != needed || d->pixelType != PFD_TYPE_RGBA) return 0;
    return 1;
}

int32_t showCursor(bool show) {
    cursorCount += show ? 1 : -1;
    setCursorShown(cursorCount >= 0);
    return cursorCount;
}

void postQuitMessage(int32_t exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

// One event of the window system is one message taken, even one that makes no message of its
// own (WM_NULL): a stream of events delays drawing as a stream of messages does on Windows.
bool peekMessage(Message& message) {
    if (takeWindowMessage(windowMessages, message)) return true;
    if (takeQuitMessage(message)) return true;
    if (!pollWindowSystem()) return false;
    if (!takeWindowMessage(windowMessages, message) && !takeQuitMessage(message))
        message = {theWindow, WM_NULL, 0, 0};
    return true;
}

// Every window of the class has the class's procedure.
intptr_t dispatchMessage(const Message& m) {
    if (!m.window || m.window != theWindow || !windowClass.proc) return 0;
    return windowClass.proc(m.window, m.type, m.wParam, m.lParam);
}

bool queryPerformanceCounter(int64_t* count) {
    if (!count) return false;
    *count = clockTicks();
    return true;
}

bool queryPerformanceFrequency(int64_t* frequency) {
    if (!frequency) return false;
    *frequency = clockTicksPerSecond();
    return true;
}

// Key messages need no character messages here.
void translateMessage(const Message&) {}

intptr_t defWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}
