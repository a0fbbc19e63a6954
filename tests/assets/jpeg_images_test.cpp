// JPEG decoding and upload; the pictures are made here with libjpeg's compressor.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "assets/jpeg_images.h"
#include "gl_recorder.h"
#include "scratch_dir.h"
#include "writers.h"

namespace {
struct Decoded {
    uint8_t* pixels;
    int32_t width = -1, height = -1;
    explicit Decoded(const char* path) { pixels = loadJpeg(path, width, height); }
    ~Decoded() { delete[] pixels; }
};
} // namespace

TEST(JpegDecode, GreySamplesAreExpandedToThreeEqualChannels) {
    ScratchDir dir;
    ASSERT_TRUE(writeJpegFile("g.jpg", 2, 1, 1, Bytes{10, 200}, 100));
    Decoded d("g.jpg");
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.width, 2);
    EXPECT_EQ(d.height, 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(d.pixels[i], i < 3 ? 10 : 200, 3) << i;
    EXPECT_EQ(d.pixels[3], d.pixels[4]);
    EXPECT_EQ(d.pixels[3], d.pixels[5]);
}

TEST(JpegDecode, CmykOutputGivesADeterministicBlackPicture) {
    ScratchDir dir;
    ASSERT_TRUE(writeJpegFile("k.jpg", 8, 8, 4, Bytes(8 * 8 * 4, 90)));
    Decoded d("k.jpg");
    ASSERT_NE(d.pixels, nullptr);
    ASSERT_EQ(d.width, 8);
    EXPECT_EQ(Bytes(d.pixels, d.pixels + 8 * 8 * 3), Bytes(8 * 8 * 3, 0));
}

TEST(JpegDecode, BrokenFilesGiveNullAndZeroSizeOrTheWholePicture) {
    ScratchDir dir;
    Bytes good = jpegBytes(16, 8, 3, Bytes(16 * 8 * 3, 77));
    ASSERT_TRUE(writeBytes("junk.jpg", Bytes{'n', 'o', 't'}));
    for (const char* path : {"missing.jpg", "junk.jpg"}) {
        Decoded d(path);
        EXPECT_EQ(d.pixels, nullptr);
        EXPECT_EQ(d.width + d.height, 0);
    }
    for (size_t n = 0; n < good.size(); n += 5) {
        ASSERT_TRUE(writeBytes("t.jpg", cutBytes(good, n)));
        testing::internal::CaptureStderr(); // libjpeg's warnings
        Decoded d("t.jpg");
        testing::internal::GetCapturedStderr();
        // A cut in the scan data still decodes (libjpeg pads it); a cut before it fails.
        EXPECT_EQ(d.width, d.pixels ? 16 : 0) << "cut at " << n;
    }
}

TEST(JpegUpload, CallsAreMadeInOrderEvenForAMissingFile) {
    ScratchDir dir;
    ASSERT_TRUE(writeJpegFile("p.jpg", 5, 3, 3, Bytes(5 * 3 * 3, 128)));
    glrec::reset();
    EXPECT_EQ(uploadJpegTexture("p.jpg", texPulsar), 1);
    EXPECT_EQ(uploadJpegTexture("missing.jpg", texEnv), 1);
    const std::vector<GlCall> expected = {
        {"glBindTexture", {GL_TEXTURE_2D, 131}},
        {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, 3, 5, 3, 0, GL_RGB, GL_UNSIGNED_BYTE, 1}},
    };
    ASSERT_EQ(glrec::calls().size(), 14u) << glrec::dump();
    EXPECT_EQ(std::vector<GlCall>(glrec::calls().begin(), glrec::calls().begin() + 7), expected);
    EXPECT_EQ(glrec::calls()[7], (GlCall{"glBindTexture", {GL_TEXTURE_2D, 120}}));
    EXPECT_EQ(
        glrec::calls()[13],
        (GlCall{"glTexImage2D", {GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, 0}}));
}
