#include "shell/report_error.h"

#include "platform/window_system.h"
#include "shell/render_window.h"

#include <cstdio>

int reportError(const char* text) {
    // Texts are far shorter than the buffer; snprintf cuts a longer one instead of running
    // past the end.
    char buffer[200];
    snprintf(buffer, sizeof buffer, "%s\n", text ? text : "");
    return messageBox(mainWindow, buffer, "Error", MB_OK);
}
