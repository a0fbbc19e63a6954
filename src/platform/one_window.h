// What the SDL and web window systems share: one window class, one window of it with the
// class's own device context, the one pixel format a GL window takes, the message pump over
// Win32's window-message rules (win32_rules/), the cursor's show count and the quit message
// the program posts. Each window system defines its own WindowRecord and the calls below
// marked as its own.
#pragma once
#include "platform/win32_rules/window_messages.h"
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
// The messages of the one window, made from its system's events.
extern WindowMessages windowMessages;

// Records the class; false when it cannot be (no name or procedure, one already registered).
bool recordWindowClass(const WindowClass& c);
// The class is registered under className.
bool isRegisteredClass(const char* className);
// A window of the class may be made: it is registered, no window exists yet, the size is real.
bool mayCreateWindow(const char* className, int32_t width, int32_t height);
// window is the one that exists; it becomes the window the messages are made for.
void adoptWindow(WindowRecord* window, int32_t width, int32_t height);
// dc is the device context of the window that exists.
bool validDC(DeviceContext dc);

// The window system's own: takes at most one of its events and reports it to windowMessages
// (or posts the quit message); false when none is waiting.
bool pollWindowSystem();
// The window system's own: shows or hides the pointer over the program's windows.
void setCursorShown(bool shown);
// The window system's own: releases what the window holds and deletes its record.
void releaseWindow(WindowRecord* window);
// The window system's own: its clock for the performance counter, and the ticks a second.
int64_t clockTicks();
int64_t clockTicksPerSecond();
