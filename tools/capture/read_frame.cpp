#include "read_frame.h"

#include <GL/gl.h>

#include <cstring>

void readFrame(int32_t width, int32_t height, std::vector<uint8_t>& bottomUp,
               std::vector<uint8_t>& rgb) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t stride = (size_t)width * 3;
    for (int32_t y = 0; y < height; ++y)
        memcpy(rgb.data() + stride * (size_t)y, bottomUp.data() + stride * (size_t)(height - 1 - y),
               stride);
}
