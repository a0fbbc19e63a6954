// A minimal PNG writer for the icon the program installs: 8-bit RGBA, stored (uncompressed)
// deflate blocks, so no compression library is needed.
#pragma once
#include <cstdint>
#include <vector>

// The PNG file's bytes for width × height RGBA pixels, top row first.
std::vector<uint8_t> encodePng(const uint8_t* rgba, int32_t width, int32_t height);
// Writes encodePng's bytes; false, with a perror-style report, when it cannot.
bool writePngFile(const char* path, const uint8_t* rgba, int32_t width, int32_t height);
