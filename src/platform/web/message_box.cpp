// Message boxes: an HTML box over the page with the caption, text, buttons and icon, modal to
// the program, which waits for the answer. Every box is also written to the console.
#include "platform/window_system.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstring>

namespace {
// The button's result (IDOK, IDYES, IDNO).
EM_ASYNC_JS(int, showPageBox, (const char* text, const char* caption, uint32_t type), {
    return await lanternwhirlPage.messageBox(UTF8ToString(caption), UTF8ToString(text), type);
});
} // namespace

int32_t messageBox(WindowHandle, const char* text, const char* caption, uint32_t type) {
    if (!text) text = "";
    if (!caption) caption = "Error";
    size_t length = strlen(text);
    fprintf(stderr, "%s: %s%s", caption, text, length && text[length - 1] == '\n' ? "" : "\n");
    return showPageBox(text, caption, type);
}
