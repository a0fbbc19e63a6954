// The single render window and its GL context: opening (with the start-up sequence and the
// clock's zero point), closing, the window procedure and the viewport.
#pragma once
#include "platform/window_system.h"
#include "shell/viewport.h"

#include <cstdint>

extern ModuleHandle moduleInstance;
extern WindowHandle mainWindow; // also the owner of reportError's boxes
extern DeviceContext deviceContext;
extern RenderContext renderContext;

// True when the window, the contexts and all assets are ready and the clock's zero point has
// been taken; false after a message box, with what was made released. May clear fullscreen.
bool openRenderWindow(const char* title, int32_t width, int32_t height, int32_t bits,
                      bool fullscreenFlag);
// Closes the sound library, restores the desktop mode and releases everything the window
// holds; failures are reported and the remaining steps still run.
void closeRenderWindow();
intptr_t windowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
