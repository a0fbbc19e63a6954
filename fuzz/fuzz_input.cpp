#include "fuzz_input.h"

#include <cstdlib>

FILE* openFuzzInput(const uint8_t* data, size_t size) {
    // "r" never writes to the buffer; an empty input is an empty stream.
    static uint8_t none;
    FILE* f = fmemopen(const_cast<uint8_t*>(size ? data : &none), size, "r");
    if (!f) {
        perror("fuzz input stream");
        abort();
    }
    return f;
}

void silenceLoaderOutput() {
    if (!freopen("/dev/null", "w", stdout)) perror("stdout");
}

// Every target starts the same way: the loaders' notices would drown the fuzzer's output.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceLoaderOutput();
    return 0;
}
