// Message boxes: an HTML box over the page with the caption, text, buttons and icon, modal to
// the program, which waits for the answer. Every box is also written to the console.
#include "platform/window_system.h"

#include "platform/box_echo.h"

#include <emscripten/emscripten.h>

namespace {
// The button's result (IDOK, IDYES, IDNO).
EM_ASYNC_JS(int, showPageBox, (const char* text, const char* caption, uint32_t type), {
    return await lanternwhirlPage.messageBox(UTF8ToString(caption), UTF8ToString(text), type);
});
} // namespace

int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    echoMessageBox(text, caption);
    return showPageBox(text, caption, type);
}
