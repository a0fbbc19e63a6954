// Runs a fuzz target's entry point over every file of the given folders, without libFuzzer:
// the normal and sanitizer test builds replay the regression corpora this way. Besides a
// crash or a sanitizer report, an input fails the replay when it takes more than 5 s (a hang)
// or grows the process by more than 128 MB (a small file that makes a loader fill memory).
#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
constexpr double maxSeconds = 5;
constexpr long maxGrowthKb = 128 * 1024;

long peakRssKb() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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
        long before = peakRssKb();
        auto start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(data.data(), data.size());
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        long grew = peakRssKb() - before;
        if (took.count() > maxSeconds || grew > maxGrowthKb) {
            fprintf(log, "replay: %s took %.1f s and grew the process by %ld MB\n", f.c_str(),
                    took.count(), grew / 1024);
            return 1;
        }
        ++replayed;
    }
    fprintf(log, "replay: %d inputs ran cleanly\n", replayed);
    return replayed > 0 ? 0 : 1;
}
