#include "resources/png_file.h"

#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace {
// Where libpng's bytes go, and why it stopped: the errno of a failed write or libpng's message.
struct PngSink {
    FILE* file = nullptr;
    std::vector<uint8_t>* bytes = nullptr;
    int error = 0;
    char message[160] = "";
};

void putBytes(png_structp png, png_bytep data, size_t size) {
    PngSink& sink = *static_cast<PngSink*>(png_get_io_ptr(png));
    if (sink.file) {
        errno = 0;
        if (fwrite(data, 1, size, sink.file) != size) sink.error = errno ? errno : EIO;
    } else {
        try {
            sink.bytes->insert(sink.bytes->end(), data, data + size);
        } catch (const std::bad_alloc&) {
            sink.error = ENOMEM;
        }
    }
    if (sink.error) png_error(png, "write failed");
}

void flushNothing(png_structp) {}

void stopOnError(png_structp png, png_const_charp message) {
    PngSink& sink = *static_cast<PngSink*>(png_get_error_ptr(png));
    snprintf(sink.message, sizeof sink.message, "%s", message);
    png_longjmp(png, 1);
}

// libpng refuses larger pictures; checked first, so that no file is made for them.
bool encodable(const uint8_t* pixels, int32_t width, int32_t height, int32_t channels) {
    return pixels && width > 0 && height > 0 && width <= PNG_USER_WIDTH_MAX &&
           height <= PNG_USER_HEIGHT_MAX && (channels == 3 || channels == 4);
}

// No C++ object may live in this frame: libpng leaves it by longjmp on any error.
bool encode(PngSink& sink, const uint8_t* pixels, int32_t width, int32_t height, int32_t channels) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, stopOnError, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        sink.error = ENOMEM;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, putBytes, flushNothing);
    png_set_IHDR(png, info, uint32_t(width), uint32_t(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Up (the difference to the row above) with run-length matches only: on the show's frames
    // faster than Sub at zlib's fastest level, and smaller. Picking a filter per row took 70 %
    // longer, zlib's default level four times as long.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    const size_t stride = size_t(width) * size_t(channels);
    for (int32_t y = 0; y < height; ++y)
        png_write_row(png, pixels + stride * size_t(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

std::vector<uint8_t> encodePng(const uint8_t* pixels, int32_t width, int32_t height,
                               int32_t channels) {
    std::vector<uint8_t> bytes;
    PngSink sink;
    sink.bytes = &bytes;
    if (!encodable(pixels, width, height, channels) ||
        !encode(sink, pixels, width, height, channels))
        bytes.clear();
    return bytes;
}

bool writePngFile(const char* path, const uint8_t* pixels, int32_t width, int32_t height,
                  int32_t channels) {
    PngSink sink;
    bool ok = false;
    if (!encodable(pixels, width, height, channels)) {
        sink.error = EINVAL;
    } else if (!(sink.file = fopen(path, "wb"))) {
        sink.error = errno;
    } else {
        // Only a regular file is removed after a failure, never a device or a pipe.
        struct stat st;
        const bool regular = fstat(fileno(sink.file), &st) == 0 && S_ISREG(st.st_mode);
        ok = encode(sink, pixels, width, height, channels);
        if (fclose(sink.file) != 0 && ok) {
            sink.error = errno;
            ok = false;
        }
        if (!ok && regular) remove(path);
    }
    if (!ok) {
        fprintf(stderr, "%s: %s\n", path, sink.error ? strerror(sink.error) : sink.message);
        errno = sink.error ? sink.error : EINVAL;
    }
    return ok;
}
