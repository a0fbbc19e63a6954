// The loaders read files by path, so each fuzz input is written to one scratch file first.
#pragma once
#include <cstddef>
#include <cstdint>

// Rewrites the scratch file with the input and returns its path.
const char* writeFuzzInput(const uint8_t* data, size_t size);

// Sends the loaders' notices to /dev/null. Their reports on standard error stay, so sanitizer
// reports do too; fuzz runs pass -close_fd_mask=2 to keep libFuzzer's output readable.
void silenceLoaderOutput();
