#include "platform/files.h"

#include "common/ascii_case.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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
        if (equalIgnoringAsciiCase(e->d_name, name.c_str())) {
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

// Linux names the program's file in /proc; the link is resolved, so a program started
// through a symbolic link finds the show installed beside its real file.
std::string executableFolder() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "";
    std::string path(buffer, size_t(length));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}
