#include "lettering.h"

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

#include <ft2build.h>
#include FT_FREETYPE_H

std::string findFont() {
    static const char* const candidates[] = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/dejavu/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/TTF/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    };
    struct stat info;
    for (const char* path : candidates)
        if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) return path;
    return std::string();
}

namespace {
// Unicode code points of a UTF-8 line; malformed bytes stand for themselves.
size_t nextCodePoint(const std::string& s, size_t i, uint32_t& cp) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t b = byte(i);
    if (b >= 0xe0 && b < 0xf0 && i + 2 < s.size()) {
        cp = ((b & 0x0fu) << 12) | ((byte(i + 1) & 0x3fu) << 6) | (byte(i + 2) & 0x3fu);
        return i + 3;
    }
    if (b >= 0xc0 && b < 0xe0 && i + 1 < s.size()) {
        cp = ((b & 0x1fu) << 6) | (byte(i + 1) & 0x3fu);
        return i + 2;
    }
    cp = b;
    return i + 1;
}
} // namespace

bool drawTextLine(Mask& mask, const std::string& fontPath, const TextStyle& style,
                  const std::string& text, float centreX, float baselineY) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "freetype: cannot start the library\n");
        return false;
    }
    FT_Face face;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
        fprintf(stderr, "freetype: cannot open %s\n", fontPath.c_str());
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.pixelHeight));
    FT_Matrix squeeze = {static_cast<FT_Fixed>(style.xScale * 65536.0f), 0, 0, 0x10000};
    FT_Set_Transform(face, &squeeze, nullptr);

    // Two passes: measure the advance of the whole line, then place the glyphs centred.
    float width = 0.0f;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        i = nextCodePoint(text, i, cp);
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0)
            width += face->glyph->advance.x / 64.0f + style.spacing;
    }
    width -= style.spacing;
    float penX = centreX - width * 0.5f;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        i = nextCodePoint(text, i, cp);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        int32_t left = static_cast<int32_t>(std::lround(penX)) + glyph->bitmap_left;
        int32_t top = static_cast<int32_t>(std::lround(baselineY)) - glyph->bitmap_top;
        for (uint32_t row = 0; row < bitmap.rows; ++row) {
            int32_t y = top + static_cast<int32_t>(row);
            if (y < 0 || y >= mask.height) continue;
            for (uint32_t col = 0; col < bitmap.width; ++col) {
                int32_t x = left + static_cast<int32_t>(col);
                if (x < 0 || x >= mask.width) continue;
                float coverage = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                float& m = mask.value[static_cast<size_t>(y) * mask.width + x];
                m = m + coverage > 1.0f ? 1.0f : m + coverage;
            }
        }
        penX += glyph->advance.x / 64.0f + style.spacing;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}
