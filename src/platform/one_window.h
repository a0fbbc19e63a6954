// What the SDL and web window systems share: one window class, one window of it with the
// class's own device context, the one pixel format a GL window takes, and the quit message the
// program posts. Each window system defines its own WindowRecord and the rest of the calls.
#pragma once
#include "platform/window_system.h"

#include <string>

struct DeviceContextRecord {
    WindowRecord* window = nullptr;
    int32_t pixelFormat = 0;
};

struct RegisteredClass {
    bool registered = false;
    std::string name;
    WindowProc proc = nullptr;
    ModuleHandle instance = nullptr;
};

extern RegisteredClass windowClass;
extern WindowRecord* theWindow;
extern DeviceContextRecord* theDC;

// Records the class; false when it cannot be (no name or procedure, one already registered).
bool recordWindowClass(const WindowClass& c);
// The class is registered under className.
bool isRegisteredClass(const char* className);
// dc is the device context of the window that exists.
bool validDC(DeviceContext dc);
// Takes the quit message when one has been posted; it comes before the system's own events.
bool takeQuitMessage(Message& message);
