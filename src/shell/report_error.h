// The message box with which load and sound errors are shown: caption "Error", owned by the
// render window while it exists. The demo defines it with the platform's message boxes; the
// capture tool and the unit tests link definitions of their own.
#pragma once

int reportError(const char* text);
