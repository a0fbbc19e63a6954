#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
std::string scratchPath() {
    const char* dir = getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/lw-fuzz-XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0) {
        perror("fuzz scratch file");
        abort();
    }
    close(fd);
    return path;
}
} // namespace

const char* writeFuzzInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || (size && fwrite(data, 1, size, f) != size)) {
        perror("fuzz scratch file");
        abort();
    }
    fclose(f);
    return path.c_str();
}

void silenceLoaderOutput() {
    if (!freopen("/dev/null", "w", stdout)) perror("stdout");
}

// Every target starts the same way: the loaders' notices would drown the fuzzer's output.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceLoaderOutput();
    return 0;
}
