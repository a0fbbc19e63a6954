// The eight pictures of the show, decoded with libjpeg's decompressor.
//
// libjpeg's error exit would end the process; ours formats the message and jumps back to the
// recovery point of the decode, which cleans up and returns null. A file that cannot be
// opened gives null too, and no message: none would be shown anywhere. Pictures wider or
// taller than jpegMaxSide are refused as if their buffer could not be had. Output that is
// neither one component (grey) nor three (RGB), such as CMYK, has no RGB meaning here: its
// rows stay black (the buffer starts zeroed), so the texture is at least the same on every run.
#include "assets/jpeg_images.h"

#include <GL/gl.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "assets/read_le.h"
#include "platform/files.h"

const JpegImage jpegImageTable[8] = {
    {"data\\lanternwhirl.jpg", texLanternwhirl},
    {"data\\obrelline.jpg", texObrelline},
    {"data\\tessivane.jpg", texTessivane},
    {"data\\end.jpg", texEnd},
    {"data\\marrowquill.jpg", texMarrowquill},
    {"data\\fennicove.jpg", texFennicove},
    {"data\\env.jpg", texEnv},
    {"data\\pulsar.jpg", texPulsar},
};

namespace {
struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf recovery;
    char message[JMSG_LENGTH_MAX]; // formatted, shown nowhere
};

void jpegErrorExit(j_common_ptr info) {
    JpegError* err = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, err->message);
    longjmp(err->recovery, 1);
}

// Everything the recovery point must release lives here, outside the frame that setjmp
// saves, so no local is clobbered by the jump.
struct Decode {
    jpeg_decompress_struct info;
    JpegError err;
    FILE* file = nullptr;
    uint8_t* buffer = nullptr;
    bool created = false;
};

uint8_t* decode(Decode& d, int32_t& width, int32_t& height, uint32_t maxSide) {
    d.info.err = jpeg_std_error(&d.err.mgr);
    d.err.mgr.error_exit = jpegErrorExit;
    if (setjmp(d.err.recovery)) {
        if (d.created) jpeg_destroy_decompress(&d.info);
        delete[] d.buffer;
        return nullptr;
    }
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_stdio_src(&d.info, d.file);
    jpeg_read_header(&d.info, TRUE);
    // Refused from the header, before jpeg_start_decompress: for a progressive or multi-scan
    // file that call already reads every scan into buffers of the picture's size.
    if (d.info.image_width > maxSide || d.info.image_height > maxSide) {
        jpeg_destroy_decompress(&d.info);
        return nullptr;
    }
    jpeg_start_decompress(&d.info);

    const int components = d.info.output_components;
    size_t rowBytes = size_t(d.info.output_width) * 3;
    d.buffer = new (std::nothrow) uint8_t[rowBytes * d.info.output_height];
    if (!d.buffer) {
        jpeg_destroy_decompress(&d.info);
        return nullptr;
    }
    width = int32_t(d.info.output_width);
    height = int32_t(d.info.output_height);

    // Rows of other component counts are never written; start them black.
    if (components != 1 && components != 3) memset(d.buffer, 0, rowBytes * height);
    JSAMPARRAY row =
        (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                    d.info.output_width * JDIMENSION(components), 1);
    while (d.info.output_scanline < d.info.output_height) {
        jpeg_read_scanlines(&d.info, row, 1);
        size_t r = d.info.output_scanline - 1;
        uint8_t* out = d.buffer + r * rowBytes;
        if (components == 3) {
            memcpy(out, row[0], rowBytes);
        } else if (components == 1) {
            for (JDIMENSION x = 0; x < d.info.output_width; ++x)
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = row[0][x];
        }
    }
    jpeg_finish_decompress(&d.info);
    jpeg_destroy_decompress(&d.info);
    return d.buffer;
}

int32_t upload(uint8_t* pixels, int32_t width, int32_t height, uint32_t glName) {
    glBindTexture(GL_TEXTURE_2D, glName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    // No part reads the pixels after the upload.
    delete[] pixels;
    return 1;
}
} // namespace

uint8_t* loadJpeg(const char* path, int32_t& width, int32_t& height) {
    FileCloser file{openFile(path, "rb")};
    return readJpeg(file.f, width, height);
}

uint8_t* readJpeg(FILE* stream, int32_t& width, int32_t& height, uint32_t maxSide) {
    width = 0;
    height = 0;
    if (!stream) return nullptr;
    Decode d;
    d.file = stream;
    return decode(d, width, height, maxSide);
}

int32_t uploadJpegTexture(const char* path, uint32_t glName) {
    FileCloser file{openFile(path, "rb")};
    return uploadJpegTexture(file.f, glName);
}

int32_t uploadJpegTexture(FILE* stream, uint32_t glName, uint32_t maxSide) {
    int32_t width, height;
    uint8_t* pixels = readJpeg(stream, width, height, maxSide);
    return upload(pixels, width, height, glName);
}
