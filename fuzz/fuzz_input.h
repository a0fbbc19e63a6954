// The fuzz targets hand each input to the loaders' stream entries as bytes in memory, so the
// code fuzzed is the code the demo runs on its files, and no input touches the disk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// A read-only stream over the input; aborts when one cannot be made. The caller closes it.
FILE* openFuzzInput(const uint8_t* data, size_t size);

// Sends the loaders' notices to /dev/null. Their reports on standard error stay, so sanitizer
// reports do too; fuzz runs pass -close_fd_mask=2 to keep libFuzzer's output readable.
void silenceLoaderOutput();
