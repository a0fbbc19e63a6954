#include "platform/one_window.h"

RegisteredClass windowClass;
WindowRecord* theWindow = nullptr;
DeviceContextRecord* theDC = nullptr;

namespace {
char moduleAnchor; // its address is the program's module handle
bool quitPosted = false;
int32_t quitCode = 0;
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

void postQuitMessage(int32_t exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

bool takeQuitMessage(Message& message) {
    if (!quitPosted) return false;
    quitPosted = false;
    message = {nullptr, WM_QUIT, uintptr_t(intptr_t(quitCode)), 0};
    return true;
}

// Key messages need no character messages here.
void translateMessage(const Message&) {}

intptr_t defWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}
