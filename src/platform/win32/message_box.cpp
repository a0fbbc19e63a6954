// Message boxes: MessageBoxA, each also written to standard error as "caption: text" for
// whoever started the program from a console (and for the end-to-end tests).
#include "platform/win32/window_records.h"

#include "platform/box_echo.h"

int32_t messageBox(WindowHandle owner, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    return MessageBoxA(toHwnd(owner), text, caption, type);
}
