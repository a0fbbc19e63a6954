#include "platform/files.h"

// Windows takes the demo's paths as they are written: either separator, doubled separators,
// and names in any letter case.
std::string hostPath(const char* path) {
    return path ? path : "";
}

FILE* openFile(const char* path, const char* mode) {
    return fopen(path ? path : "", mode);
}
