// Uploads read back from a real GL texture in a hidden context: what each TGA depth and a
// JPEG picture actually put into OpenGL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "assets/jpeg_images.h"
#include "assets/texture_pool.h"
#include "platform/offscreen_gl.h"
#include "scratch_dir.h"
#include "writers.h"

// The GL driver behind the hidden context keeps allocations until the process ends; under
// LeakSanitizer they would fail this binary. The loaders' own memory is checked elsewhere.
extern "C" const char* __lsan_default_options() {
    return "detect_leaks=0";
}

namespace {
class TextureUpload : public testing::Test {
  protected:
    void SetUp() override {
        if (!openOffscreenGl(16, 16)) GTEST_SKIP() << "no GL context here";
    }
    void TearDown() override { closeOffscreenGl(); }

    Bytes texels(GLuint name, int width, int height) {
        Bytes out(size_t(width) * height * 3, 0xEE);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    Bytes loadAndRead(const TgaRecord& tga, int slot) {
        EXPECT_TRUE(writeTgaFile("t.tga", tga));
        EXPECT_EQ(loadTga(pool, "t.tga", pool.slots[slot], slot), 0);
        return texels(GLuint(slot), tga.width, tga.height);
    }

    ScratchDir dir;
    TexturePool pool;
};
} // namespace

TEST_F(TextureUpload, AllDepthsReachGlInTheFilesByteOrder) {
    initPool(pool, 4194304);
    // One pixel stored as blue 0, green 0, red 255 by each depth.
    TgaRecord t24{1, 1, 24, 2, 0, 0, Bytes{0, 0, 255}};
    TgaRecord t32{1, 1, 32, 2, 0, 0, Bytes{0, 0, 255, 128}};
    TgaRecord t16{1, 1, 16, 2, 0, 0, Bytes{0x00, 0x7C}}; // red 31, green 0, blue 0
    const Bytes expected{0, 0, 255};
    EXPECT_EQ(loadAndRead(t24, 1), expected);
    EXPECT_EQ(loadAndRead(t32, 2), expected);
    EXPECT_EQ(loadAndRead(t16, 3), expected);
    // Mixed fives widen by repeating their top bits: 0b10000 -> 0b10000100.
    TgaRecord mixed{1, 1, 16, 2, 0, 0, Bytes{0x10, 0x42}}; // r 16, g 16, b 16
    EXPECT_EQ(loadAndRead(mixed, 4), (Bytes{132, 132, 132}));
}

TEST_F(TextureUpload, JpegTopRowIsTheFirstTextureRow) {
    Bytes px;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) {
            Bytes c = y < 8 ? Bytes{240, 16, 16} : Bytes{16, 16, 240};
            px.insert(px.end(), c.begin(), c.end());
        }
    ASSERT_TRUE(writeJpegFile("p.jpg", 8, 16, 3, px, 100));
    EXPECT_EQ(uploadJpegTexture("p.jpg", texPulsar), 1);
    Bytes got = texels(texPulsar, 8, 16);
    EXPECT_GT(got[0], 200);
    EXPECT_LT(got[2], 60);
    EXPECT_GT(got[15 * 8 * 3 + 2], 200);
}
