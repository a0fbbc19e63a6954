// GL entry points for the fuzz builds. The texture upload checks every byte it is told to read,
// so a loader that hands GL a buffer shorter than the size it claims is caught by ASan.
#include <GL/gl.h>

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LW_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LW_ASAN 1
#endif
#ifdef LW_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {
volatile unsigned uploadChecksum;

size_t componentsOf(GLenum format) {
    switch (format) {
    case GL_RGBA:
    case GL_BGRA:
        return 4;
    case GL_RGB:
    case GL_BGR:
        return 3;
    case GL_LUMINANCE_ALPHA:
        return 2;
    default:
        return 1;
    }
}
} // namespace

extern "C" {
void glBindTexture(GLenum, GLuint) {}
void glPixelStorei(GLenum, GLint) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum format,
                  GLenum type, const GLvoid* pixels) {
    if (!pixels || width <= 0 || height <= 0 || type != GL_UNSIGNED_BYTE) return;
    size_t n = size_t(width) * size_t(height) * componentsOf(format);
#ifdef LW_ASAN
    // ASan looks at the region a word at a time; reading the first byte it finds outside the
    // buffer gives its usual report, with the stack of this upload.
    if (const void* bad = __asan_region_is_poisoned(const_cast<void*>(pixels), n))
        uploadChecksum = *static_cast<const volatile unsigned char*>(bad);
#else
    const unsigned char* p = static_cast<const unsigned char*>(pixels);
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += p[i];
    uploadChecksum = sum;
#endif
}
}
