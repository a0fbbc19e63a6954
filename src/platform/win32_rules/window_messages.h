// The messages Windows sends a window, made from what a window system that is not Win32
// reports in neutral terms: keys, the pointer, focus, being hidden (minimised) and shown,
// resizing and the close box. Each event queues the messages Windows would send, with their
// wParam and lParam bits; the backend's message pump takes them one at a time.
#pragma once
#include "platform/win32_rules/keys.h"
#include "platform/window_system.h"

#include <deque>

struct WindowMessages {
    WindowHandle window = nullptr;
    int32_t reportedWidth = 0, reportedHeight = 0; // the size the last WM_SIZE gave
    bool minimised = false;
    bool focused = false;
    std::deque<Message> queue;
};

// A new window of the given client size: nothing queued, shown, not yet focused.
void beginWindowMessages(WindowMessages& w, WindowHandle window, int32_t width, int32_t height);
// The window is gone: its queued messages go with it.
void endWindowMessages(WindowMessages& w);

void windowKey(WindowMessages& w, const KeyEvent& key);
void windowPointerMoved(WindowMessages& w, int32_t x, int32_t y);
void windowFocus(WindowMessages& w, bool focused);
// Minimised (a page that is hidden counts as minimised) or restored, with the client size it
// has when restored.
void windowMinimised(WindowMessages& w, bool minimised, int32_t width, int32_t height);
void windowResized(WindowMessages& w, int32_t width, int32_t height);
void windowCloseRequested(WindowMessages& w);

bool takeWindowMessage(WindowMessages& w, Message& message);
// The screen saver and power saving are held off only while the window has the focus and is
// not minimised.
bool holdsScreenSaver(const WindowMessages& w);
