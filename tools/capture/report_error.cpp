// The capture tool has no windows: load errors go to standard error.
#include "shell/report_error.h"

#include <cstdio>

int reportError(const char* text) {
    fprintf(stderr, "Error: %s\n", text);
    return 1;
}
