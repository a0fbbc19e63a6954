#include "frame_writers.h"

#include <cerrno>
#include <cstring>

namespace {
uint8_t clampByte(int32_t v) {
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Fixed point with 16 fraction bits, rounded, so the stream is the same on every machine.
void ycbcrOf(int32_t r, int32_t g, int32_t b, int32_t& y, int32_t& cb, int32_t& cr) {
    y = (19595 * r + 38470 * g + 7471 * b + 32768) >> 16;
    cb = (-11059 * r - 21709 * g + 32768 * b + (128 << 16) + 32768) >> 16;
    cr = (32768 * r - 27439 * g - 5329 * b + (128 << 16) + 32768) >> 16;
}
} // namespace

size_t y4mFrameBytes(int32_t width, int32_t height, int32_t chroma) {
    size_t luma = (size_t)width * (size_t)height;
    if (chroma == 444) return luma * 3;
    return luma + 2 * (size_t)((width + 1) / 2) * (size_t)((height + 1) / 2);
}

void rgbToYcbcr(const uint8_t* rgb, int32_t width, int32_t height, int32_t chroma,
                uint8_t* planes) {
    const size_t luma = (size_t)width * (size_t)height;
    uint8_t* yPlane = planes;
    if (chroma == 444) {
        uint8_t* cbPlane = planes + luma;
        uint8_t* crPlane = planes + 2 * luma;
        for (size_t i = 0; i < luma; ++i) {
            int32_t y, cb, cr;
            ycbcrOf(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], y, cb, cr);
            yPlane[i] = clampByte(y);
            cbPlane[i] = clampByte(cb);
            crPlane[i] = clampByte(cr);
        }
        return;
    }
    const int32_t cw = (width + 1) / 2, ch = (height + 1) / 2;
    uint8_t* cbPlane = planes + luma;
    uint8_t* crPlane = cbPlane + (size_t)cw * (size_t)ch;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = rgb + 3 * ((size_t)y * width + x);
            int32_t l, cb, cr;
            ycbcrOf(p[0], p[1], p[2], l, cb, cr);
            yPlane[(size_t)y * width + x] = clampByte(l);
        }
    for (int32_t cy = 0; cy < ch; ++cy)
        for (int32_t cx = 0; cx < cw; ++cx) {
            int32_t sumCb = 0, sumCr = 0, count = 0;
            for (int32_t dy = 0; dy < 2; ++dy)
                for (int32_t dx = 0; dx < 2; ++dx) {
                    int32_t x = 2 * cx + dx, y = 2 * cy + dy;
                    if (x >= width || y >= height) continue;
                    const uint8_t* p = rgb + 3 * ((size_t)y * width + x);
                    int32_t l, cb, cr;
                    ycbcrOf(p[0], p[1], p[2], l, cb, cr);
                    sumCb += clampByte(cb);
                    sumCr += clampByte(cr);
                    ++count;
                }
            cbPlane[(size_t)cy * cw + cx] = (uint8_t)((sumCb + count / 2) / count);
            crPlane[(size_t)cy * cw + cx] = (uint8_t)((sumCr + count / 2) / count);
        }
}

bool startY4m(Y4mWriter& writer, FILE* stream, bool ownsStream, int32_t width, int32_t height,
              int32_t fps, int32_t chroma) {
    writer.stream = nullptr;
    if (!stream || width <= 0 || height <= 0 || fps <= 0 || (chroma != 420 && chroma != 444)) {
        // Nothing can be written to a stream without a valid header.
        if (stream && ownsStream) fclose(stream);
        errno = EINVAL;
        return false;
    }
    writer.stream = stream;
    writer.ownsStream = ownsStream;
    writer.width = width;
    writer.height = height;
    writer.chroma = chroma;
    writer.planes.resize(y4mFrameBytes(width, height, chroma));
    // XCOLORRANGE=FULL: the samples use the whole 0-255 range, as JPEG does.
    int n = fprintf(stream, "YUV4MPEG2 W%d H%d F%d:1 Ip A1:1 %s XCOLORRANGE=FULL\n", (int)width,
                    (int)height, (int)fps, chroma == 444 ? "C444" : "C420jpeg");
    return n > 0;
}

bool openY4m(Y4mWriter& writer, const char* path, int32_t width, int32_t height, int32_t fps,
             int32_t chroma) {
    if (strcmp(path, "-") == 0) return startY4m(writer, stdout, false, width, height, fps, chroma);
    if (chroma != 420 && chroma != 444) { // refused before the file is made
        errno = EINVAL;
        return false;
    }
    FILE* stream = fopen(path, "wb");
    if (!stream) return false;
    return startY4m(writer, stream, true, width, height, fps, chroma);
}

bool writeY4mFrame(Y4mWriter& writer, const uint8_t* rgb) {
    if (!writer.stream) {
        errno = EBADF;
        return false;
    }
    rgbToYcbcr(rgb, writer.width, writer.height, writer.chroma, writer.planes.data());
    return fwrite("FRAME\n", 1, 6, writer.stream) == 6 &&
           fwrite(writer.planes.data(), 1, writer.planes.size(), writer.stream) ==
               writer.planes.size();
}

bool closeY4m(Y4mWriter& writer) {
    if (!writer.stream) return true;
    bool ok = fflush(writer.stream) == 0;
    if (writer.ownsStream && fclose(writer.stream) != 0) ok = false;
    writer.stream = nullptr;
    return ok;
}
