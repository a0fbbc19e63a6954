// Message boxes: an HTML box over the page with the caption, text, buttons and icon, modal to
// the program, which waits for the answer. Every box is also written to the console.
#include "platform/window_system.h"

#include "platform/box_echo.h"
#include "platform/web/page_interface.h"

int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    return lwWaitBox(text, caption, type);
}
