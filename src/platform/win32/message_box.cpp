// Message boxes: MessageBoxA, each also written to standard error as "caption: text" for
// whoever started the program from a console (and for the end-to-end tests).
#include "platform/win32/window_records.h"

#include <cstdio>
#include <cstring>

int32_t messageBox(WindowHandle owner, const char* text, const char* caption, uint32_t type) {
    if (!text) text = "";
    if (!caption) caption = "Error";
    size_t length = strlen(text);
    fprintf(stderr, "%s: %s%s", caption, text, length && text[length - 1] == '\n' ? "" : "\n");
    fflush(stderr);
    return MessageBoxA(toHwnd(owner), text, caption, type);
}
