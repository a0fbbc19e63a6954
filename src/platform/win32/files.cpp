#include "platform/files.h"

#include <windows.h>

// Windows takes the demo's paths as they are written: either separator, doubled separators,
// and names in any letter case.
std::string hostPath(const char* path) {
    return path ? path : "";
}

FILE* openFile(const char* path, const char* mode) {
    return fopen(path ? path : "", mode);
}

// The program's own file, so that a shortcut started in another folder still finds the show
// unpacked beside the program.
std::string executableFolder() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return "";
    std::string path(buffer, length);
    const size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return "";
    return path.substr(0, separator == 2 && path[1] == ':' ? 3 : separator);
}
