// The material texture pool and its TGA reader.
//
// Only width, height and depth are taken from the TGA header; the image type, ID and colour
// map are not looked at, so pixel rows always start at byte 18. Depths 24 and 32 upload
// straight from the buffer (32 as RGBA, whose fourth byte the RGB texture drops); depth 16 is
// widened to three bytes a pixel for the upload. In every depth the bytes reach OpenGL in
// the order the file stores them, so the usual blue, green, red order arrives with red and
// blue exchanged, the same for all three depths.
#include "assets/texture_pool.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "assets/read_le.h"
#include "common/ascii_case.h"
#include "platform/files.h"

namespace {
constexpr size_t pathBufferSize = 1024;
constexpr char pathPrefix[] = "gfx\\";

// A 16-bit pixel (one bit of alpha, then five bits each of red, green and blue, low byte
// first) becomes three bytes in the same channel order as a 24-bit file stores them: blue,
// green, red. Five bits widen to eight by repeating their top bits.
void widen16(const uint8_t* in, uint8_t* out, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i) {
        unsigned v = unsigned(in[2 * i]) | unsigned(in[2 * i + 1]) << 8;
        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        out[3 * i] = uint8_t(b << 3 | b >> 2);
        out[3 * i + 1] = uint8_t(g << 3 | g >> 2);
        out[3 * i + 2] = uint8_t(r << 3 | r >> 2);
    }
}

void upload(const TextureSlot& slot, int32_t glName) {
    glBindTexture(GL_TEXTURE_2D, GLuint(glName));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (slot.depth == 16) {
        size_t pixels = size_t(slot.width) * size_t(slot.height);
        uint8_t* rgb = new (std::nothrow) uint8_t[pixels * 3 + 1];
        if (rgb) widen16(slot.pixels, rgb, pixels);
        // Without room for the widened copy the texture is made 0 × 0: never a read
        // past the two-byte buffer.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, rgb ? slot.width : 0, rgb ? slot.height : 0, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, rgb);
        delete[] rgb;
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, slot.width, slot.height, 0,
                     slot.depth == 32 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, slot.pixels);
    }
}
} // namespace

TexturePool::TexturePool() : block(nullptr), budget(0), remaining(0), loadedCount(0) {
    for (auto& s : slots)
        s = TextureSlot{nullptr, 0, 0, nullptr, 0, 0, 0};
}

TexturePool::~TexturePool() {
    delete[] block;
    releaseTextures(*this);
}

void releaseTextures(TexturePool& pool) {
    for (auto& s : pool.slots) {
        delete[] s.name;
        delete[] s.pixels;
        s = TextureSlot{nullptr, 0, 0, nullptr, 0, 0, 0};
    }
    pool.loadedCount = 0;
    pool.remaining = pool.block ? pool.budget : 0;
}

void initPool(TexturePool& pool, int32_t budget) {
    if (budget < 1) return;
    pool.budget = budget;
    pool.block = new (std::nothrow) uint8_t[size_t(budget)];
    if (!pool.block) return;
    pool.remaining = budget;
}

// A file part too long for the buffer is cut to fit: the name then simply names no file.
const char* texturePath(const char* storedName) {
    static char buffer[pathBufferSize];
    const char* slash = strrchr(storedName, '\\');
    const char* filePart = slash ? slash + 1 : storedName;
    snprintf(buffer, sizeof buffer, "%s%s", pathPrefix, filePart);
    return buffer;
}

TextureSlot* findTexture(TexturePool& pool, const char* storedName) {
    const char* path = texturePath(storedName);
    for (int32_t i = 0; i < pool.loadedCount && i < textureSlotCount; ++i) {
        TextureSlot& s = pool.slots[i];
        if (s.used && s.name && equalIgnoringAsciiCase(s.name, path)) return &s;
    }
    TextureSlot* slot = nullptr;
    for (auto& s : pool.slots) {
        if (!s.used) {
            slot = &s;
            break;
        }
    }
    if (!slot) {
        printf("  shit... max texture number reached!\n");
        return nullptr;
    }
    int32_t index = int32_t(slot - pool.slots);
    if (loadTga(pool, path, *slot, index) != 0) {
        printf(" (!)-- Texture '%s' not found.\n", path);
        return nullptr;
    }
    slot->used = 1;
    slot->glName = index;
    ++pool.loadedCount;
    return slot;
}

int32_t loadTga(TexturePool& pool, const char* path, TextureSlot& slot, int32_t glName) {
    FileCloser file{openFile(path, "rb")};
    if (!file.f) return perror("loadtga"), 1;
    return readTga(pool, file.f, path, slot, glName);
}

int32_t readTga(TexturePool& pool, FILE* f, const char* name, TextureSlot& slot, int32_t glName) {
    size_t nameLength = strlen(name);
    slot.name = new (std::nothrow) char[nameLength + 1];
    if (!slot.name) return perror("new @ loadtga"), 1;
    memcpy(slot.name, name, nameLength + 1);
    auto fail = [&slot](int32_t result) {
        delete[] slot.name;
        slot.name = nullptr;
        delete[] slot.pixels;
        slot.pixels = nullptr;
        slot.width = slot.height = slot.depth = 0;
        return result;
    };

    // A header cut short by the end of the file counts as zeros.
    uint8_t header[18] = {};
    if (fread(header, 1, sizeof header, f) < sizeof header && ferror(f))
        return perror("loadtga"), fail(1);
    int32_t width = header[12] | header[13] << 8;
    int32_t height = header[14] | header[15] << 8;
    int32_t depth = header[16];
    size_t rowBytes = size_t(width) * size_t(depth / 8);
    size_t bufferBytes = rowBytes * size_t(height);
    bool empty = width == 0 || height == 0;

    // Only 16, 24 and 32 bits have rows the upload can take whole; an empty image of any
    // depth needs none.
    if (!empty && depth != 16 && depth != 24 && depth != 32)
        return reportBadValue("tga depth", EINVAL), fail(1);

    // The budget is checked before the pixel buffer is obtained, so a header announcing a
    // huge image costs no memory. The charge is width × height × 4 bytes whatever the depth:
    // the budget counts what the texture costs once uploaded, not the file.
    int64_t charge = int64_t(width) * int64_t(height) * 4;
    if (int64_t(pool.remaining) - charge < 0) return perror("pool empty!"), fail(2);

    if (bytesLeft(f) < int64_t(bufferBytes)) return reportCutShort(f, "tga cut short"), fail(2);

    slot.pixels = new (std::nothrow) uint8_t[bufferBytes ? bufferBytes : 1];
    if (!slot.pixels) {
        perror("tga2");
        return fail(3);
    }
    // The file's rows go into the buffer last row first.
    for (int32_t row = 0; row < height && rowBytes > 0; ++row) {
        if (!readExact(f, slot.pixels + size_t(height - 1 - row) * rowBytes, rowBytes))
            return reportCutShort(f, "tga cut short"), fail(2);
    }

    slot.width = width;
    slot.height = height;
    slot.depth = depth;
    pool.remaining -= int32_t(charge);
    upload(slot, glName);
    return 0;
}
