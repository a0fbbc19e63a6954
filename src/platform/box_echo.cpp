#include "platform/box_echo.h"

#include <cstdio>
#include <cstring>

void echoMessageBox(const char*& text, const char*& caption) {
    if (!text) text = "";
    if (!caption) caption = "Error";
    size_t length = strlen(text);
    fprintf(stderr, "%s: %s%s", caption, text, length && text[length - 1] == '\n' ? "" : "\n");
    fflush(stderr);
}
