// Runs a fuzz target's entry point over every file of the given folders, without libFuzzer:
// the normal and sanitizer test builds replay the regression corpora this way.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
bool readWhole(const std::string& path, std::vector<uint8_t>& out) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    fclose(f);
    return true;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        DIR* d = opendir(argv[i]);
        if (!d) {
            files.push_back(argv[i]);
            continue;
        }
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') files.push_back(std::string(argv[i]) + "/" + e->d_name);
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    FILE* log = stderr;
    LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    std::vector<uint8_t> data;
    for (const auto& f : files) {
        if (!readWhole(f, data)) {
            fprintf(log, "replay: cannot read %s\n", f.c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(data.data(), data.size());
        ++replayed;
    }
    fprintf(log, "replay: %d inputs ran cleanly\n", replayed);
    return replayed > 0 ? 0 : 1;
}
