// The capture tool's YUV4MPEG2 stream (its PNG frames go through resources/png_file.h).
// Pixels are 8-bit RGB, rows top first, no padding.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

// Full-range BT.601 (JPEG) conversion into planes Y, Cb, Cr laid one after the other.
// chroma 444: each plane is width × height. chroma 420: Cb and Cr are ((width + 1) / 2) ×
// ((height + 1) / 2), each sample the rounded mean of its (up to) 2 × 2 block, centred as
// C420jpeg expects.
size_t y4mFrameBytes(int32_t width, int32_t height, int32_t chroma);
void rgbToYcbcr(const uint8_t* rgb, int32_t width, int32_t height, int32_t chroma, uint8_t* planes);

struct Y4mWriter {
    FILE* stream = nullptr;
    bool ownsStream = false;
    int32_t width = 0, height = 0, chroma = 420;
    std::vector<uint8_t> planes;
};
// Writes the stream header to an open stream (closed by closeY4m when ownsStream).
bool startY4m(Y4mWriter& writer, FILE* stream, bool ownsStream, int32_t width, int32_t height,
              int32_t fps, int32_t chroma);
// path "-" writes to standard output.
bool openY4m(Y4mWriter& writer, const char* path, int32_t width, int32_t height, int32_t fps,
             int32_t chroma);
bool writeY4mFrame(Y4mWriter& writer, const uint8_t* rgb);
// False when the stream could not be flushed or closed.
bool closeY4m(Y4mWriter& writer);
