// The program's Win32-shaped records and the real Windows ones they stand for. The handles
// the shell holds are the real HWND, HDC and HGLRC; only the records need copying. The
// program's headers define the Windows constants it uses by their Windows names, so they must
// all come before this one (windows.h makes those names macros).
#pragma once
#include "platform/window_system.h"

#include <windows.h>

inline HWND toHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle fromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// The display-mode record as ChangeDisplaySettingsA reads it: dmSize bytes (148, the record
// without the panning fields), zero but for the fields the program sets.
DEVMODEA toDevMode(const DisplayMode& mode);
PIXELFORMATDESCRIPTOR toPixelFormatDescriptor(const PixelFormatDescriptor& descriptor);
Message fromMsg(const MSG& msg);

// Whether a space-separated extension list names the extension exactly.
bool extensionListed(const char* list, const char* name);
