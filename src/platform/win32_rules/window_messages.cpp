#include "platform/win32_rules/window_messages.h"

namespace {
void post(WindowMessages& w, uint32_t type, uintptr_t wParam, intptr_t lParam) {
    if (w.window) w.queue.push_back({w.window, type, wParam, lParam});
}

void postSize(WindowMessages& w, int32_t width, int32_t height) {
    w.reportedWidth = width;
    w.reportedHeight = height;
    post(w, WM_SIZE, 0, intptr_t(makeParam(uint32_t(width), uint32_t(height))));
}

// WM_ACTIVATE's high word says whether the window is minimised, whatever the activation.
void postActivate(WindowMessages& w, bool active) {
    post(w, WM_ACTIVATE, makeParam(active ? WA_ACTIVE : WA_INACTIVE, w.minimised ? 1 : 0), 0);
}
} // namespace

void beginWindowMessages(WindowMessages& w, WindowHandle window, int32_t width, int32_t height) {
    w = WindowMessages();
    w.window = window;
    w.reportedWidth = width;
    w.reportedHeight = height;
}

void endWindowMessages(WindowMessages& w) {
    w = WindowMessages();
}

void windowKey(WindowMessages& w, const KeyEvent& key) {
    if (key.virtualKey <= 0 || key.virtualKey > 255) return;
    // lParam: repeat count 1, bit 30 the key was already down, bit 31 it is being released.
    uint32_t bits = 1u | (key.repeat || !key.down ? 1u << 30 : 0u) | (key.down ? 0u : 1u << 31);
    post(w, key.down ? WM_KEYDOWN : WM_KEYUP, uintptr_t(key.virtualKey), intptr_t(bits));
}

void windowPointerMoved(WindowMessages& w, int32_t x, int32_t y) {
    post(w, WM_MOUSEMOVE, 0, intptr_t(makeParam(uint32_t(x), uint32_t(y))));
}

void windowFocus(WindowMessages& w, bool focused) {
    w.focused = focused;
    postActivate(w, focused);
}

// Minimising deactivates the window and sends a size of 0 x 0; restoring activates it and
// sends its size again.
void windowMinimised(WindowMessages& w, bool minimised, int32_t width, int32_t height) {
    if (minimised == w.minimised) return;
    w.minimised = minimised;
    if (minimised) {
        postActivate(w, false);
        postSize(w, 0, 0);
    } else {
        postActivate(w, true);
        if (width != w.reportedWidth || height != w.reportedHeight) postSize(w, width, height);
    }
}

void windowResized(WindowMessages& w, int32_t width, int32_t height) {
    if (w.minimised || (width == w.reportedWidth && height == w.reportedHeight)) return;
    postSize(w, width, height);
}

void windowCloseRequested(WindowMessages& w) {
    post(w, WM_CLOSE, 0, 0);
}

bool takeWindowMessage(WindowMessages& w, Message& message) {
    if (w.queue.empty()) return false;
    message = w.queue.front();
    w.queue.pop_front();
    return true;
}

bool holdsScreenSaver(const WindowMessages& w) {
    return w.window && w.focused && !w.minimised;
}
