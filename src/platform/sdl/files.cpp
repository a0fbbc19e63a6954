#include "platform/files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {
bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The entry of dir whose name equals name without regard to case, or name itself.
std::string matchCase(const std::string& dir, const std::string& name) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return name;
    std::string found = name;
    while (struct dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}
} // namespace

std::string hostPath(const char* path) {
    std::string p(path ? path : "");
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || exists(p)) return p;

    // Rebuild component by component, keeping separators (a doubled slash is harmless).
    std::string out;
    size_t i = 0;
    if (p[0] == '/') {
        out = "/";
        i = 1;
    }
    while (i <= p.size()) {
        size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string part = p.substr(i, j - i);
        if (!part.empty() && part != "." && part != "..") {
            std::string dir = out;
            if (!dir.empty() && dir != "/" && dir.back() == '/') dir.pop_back();
            std::string candidate = out + part;
            if (!exists(candidate)) candidate = out + matchCase(dir, part);
            out = candidate;
        } else {
            out += part;
        }
        if (j < p.size()) out += '/';
        i = j + 1;
    }
    return out;
}

FILE* openFile(const char* path, const char* mode) {
    return fopen(hostPath(path).c_str(), mode);
}
