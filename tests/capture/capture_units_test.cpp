// The capture tool's own pieces: command line and simulated clock, show sections and
// figures, and the three output formats, read back with independent decoders.
#include "capture_options.h"
#include "frame_stats.h"
#include "frame_writers.h"
#include "wav_file.h"
#include "writers.h"

#include "resources/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cerrno>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

std::string parse(std::vector<const char*> args, CaptureOptions& options) {
    args.insert(args.begin(), "lanternwhirl-capture");
    return parseCaptureOptions((int)args.size(), args.data(), options);
}

std::string tempPath(const char* name) {
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/lw-capture-" + std::to_string(getpid()) +
           "-" + name;
}

// Decodes an 8-bit RGB PNG with libpng; empty on any error.
std::vector<uint8_t> decodePng(const std::string& path, int& width, int& height) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
    width = (int)image.width;
    height = (int)image.height;
    return pixels;
}

std::vector<uint8_t> noise(size_t bytes, uint32_t seed) {
    std::vector<uint8_t> v(bytes);
    for (auto& b : v) {
        seed = seed * 1664525u + 1013904223u;
        b = (uint8_t)(seed >> 24);
    }
    return v;
}

} // namespace

TEST(CaptureOptions, MalformedCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<const char*>> bad = {
        {"--size", "1024x768"},
        {"--size"},
        {"--fps", "0"},
        {"--fps", "1001"},
        {"--fps", "30fps"},
        {"--fps", ""},
        {"--from", "-1"},
        {"--from", "nan"},
        {"--to", "inf"},
        {"--from", "10", "--to", "10"},
        {"--from", "10", "--to", "5"},
        {"--png"},
        {"--png", ""},
        {"--chroma", "422"},
        {"--frames"},
        {"extra"},
        {"--hashes"},
        {"--y4m", "-", "--hashes", "-"},
        {"--at", ""},
        {"--at", "1,,2"},
        {"--at", "600"},
        {"--at", "1", "--wav", "m.wav"},
        {"--at", "1", "--from", "0.5"},
    };
    for (const auto& args : bad) {
        CaptureOptions o;
        std::string joined;
        for (const char* a : args)
            joined += std::string(a) + " ";
        EXPECT_NE(parse(args, o), "") << joined;
    }
}

TEST(FrameHash, EveryByteOfTheFrameCountsAndEqualFramesAgree) {
    // 27 bytes: three whole words and a tail, as a frame's size need not divide by eight.
    const std::vector<uint8_t> frame = noise(27, 5);
    const uint64_t whole = frameHash(frame.data(), frame.size());
    EXPECT_EQ(frameHash(frame.data(), frame.size()), whole);
    for (size_t i = 0; i < frame.size(); ++i) {
        std::vector<uint8_t> changed = frame;
        changed[i] ^= 1;
        EXPECT_NE(frameHash(changed.data(), changed.size()), whole) << "byte " << i;
    }
    EXPECT_NE(frameHash(frame.data(), frame.size() - 1), whole);
}

TEST(CaptureClock, FramesOnWholeSecondsFallInThatSecondAtAnyRate) {
    // The director picks its section from the truncated second, so frame n must never be
    // rounded up into the next second by the float clock.
    for (int32_t fps : {1, 3, 4, 7, 24, 25, 30, 50, 59, 60, 120, 144, 240, 1000}) {
        for (int64_t n = 0; n <= 110LL * fps; ++n) {
            const float t = frameSeconds(0.0, n, fps);
            ASSERT_EQ((int64_t)t, n / fps) << "fps " << fps << " frame " << n;
        }
    }
    EXPECT_FLOAT_EQ(frameSeconds(60.0, 30, 60), 60.5f);
}

TEST(CaptureClock, AtWritesOnlyTheNearestFrameOfEachTimeOnce) {
    CaptureOptions o;
    ASSERT_EQ(parse({"--fps", "30", "--at", "2.5,1,1.01,0"}, o), "");
    EXPECT_EQ(o.atFrames, (std::vector<int64_t>{0, 30, 75}));
    for (int64_t n : {0, 30, 75})
        EXPECT_TRUE(writesFrame(o, n));
    for (int64_t n : {1, 29, 31, 76})
        EXPECT_FALSE(writesFrame(o, n));
}

TEST(CaptureClock, FirstWrittenFrameIsTheFirstAtOrAfterTheStart) {
    EXPECT_EQ(firstFrameAtOrAfter(0.0, 60), 0);
    EXPECT_EQ(firstFrameAtOrAfter(1.0, 60), 60);
    EXPECT_EQ(firstFrameAtOrAfter(0.01, 60), 1);
    EXPECT_EQ(firstFrameAtOrAfter(0.1, 10), 1); // 0.1 × 10 is a hair above 1 in doubles
    EXPECT_EQ(firstFrameAtOrAfter(0.7, 10), 7); // and 0.7 × 10 a hair below 7
    EXPECT_EQ(firstFrameAtOrAfter(1.0 / 3.0, 3), 1);
    EXPECT_EQ(firstFrameAtOrAfter(1.26, 4), 6);
    for (int32_t fps : {3, 7, 60}) {
        for (double s = 0; s < 5; s += 0.05) {
            const int64_t n = firstFrameAtOrAfter(s, fps);
            EXPECT_GE((double)n / fps, s);
            if (n > 0) {
                EXPECT_LT((double)(n - 1) / fps, s);
            }
        }
    }
}

TEST(CaptureClock, FrameCounterWrapsAsTheMainLoopDoes) {
    std::vector<int32_t> seen;
    int32_t f = 0;
    for (int i = 0; i < 7; ++i) {
        seen.push_back(f);
        f = advanceFrame(f, 0, 3);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(advanceFrame(5, 5, 5), 5); // an empty range stays at its first frame
    EXPECT_EQ(advanceFrame(5, 5, 2), 5);
    EXPECT_EQ(advanceFrame(-3, -3, -1), -2);
    EXPECT_EQ(advanceFrame(-2, -3, -1), -3);
    EXPECT_EQ(advanceFrame(INT32_MAX, 7, INT32_MAX), 7); // no signed overflow on the way
    EXPECT_EQ(advanceFrame(150, 0, 100), 0);             // started beyond the end
}

TEST(ShowSections, CoverTheShowSecondBySecondWithTheWarpSplits) {
    int32_t expectedFirst = 0;
    for (int32_t i = 0; i < showSectionCount; ++i) {
        EXPECT_EQ(showSections[i].firstSecond, expectedFirst) << i;
        EXPECT_GE(showSections[i].lastSecond, showSections[i].firstSecond);
        expectedFirst = showSections[i].lastSecond + 1;
    }
    EXPECT_EQ(expectedFirst, 107);
    const std::vector<std::pair<float, int32_t>> cases = {
        {0.0f, 0},   {14.99f, 0}, {15.0f, 1},  {34.99f, 2}, {35.0f, 3},  {44.0f, 4},
        {63.99f, 4}, {64.0f, 5},  {77.99f, 5}, {78.0f, 6},  {87.99f, 6}, {88.0f, 7},
        {99.99f, 7}, {100.0f, 8}, {106.5f, 8}, {250.0f, 8}, {-1.0f, 0},  {NAN, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sectionOfSeconds(c.first), c.second) << c.first;
    EXPECT_EQ(showSections[sectionOfSeconds(70)].phase, 4);
    EXPECT_EQ(showSections[sectionOfSeconds(90)].phase, 5);
}

TEST(FrameFigures, MedianAndNearestRankPercentile) {
    std::vector<double> none;
    EXPECT_EQ(medianOf(none), 0.0);
    EXPECT_EQ(percentileOf(none, 95), 0.0);
    std::vector<double> odd = {9, 1, 5};
    EXPECT_EQ(medianOf(odd), 5.0);
    std::vector<double> even = {4, 1, 3, 2};
    EXPECT_EQ(medianOf(even), 2.5);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(i);
    EXPECT_EQ(percentileOf(hundred, 95), 95.0);
    EXPECT_EQ(percentileOf(hundred, 100), 100.0);
    EXPECT_EQ(percentileOf(hundred, 0), 1.0);
    std::vector<double> twenty;
    for (int i = 1; i <= 20; ++i)
        twenty.push_back(i);
    EXPECT_EQ(percentileOf(twenty, 95), 19.0); // one slow frame in twenty is the 5 % tail
    std::vector<double> one = {3.5};
    EXPECT_EQ(percentileOf(one, 95), 3.5);
}

TEST(PngWriter, DecodesToTheSamePixelsAtAwkwardSizes) {
    const std::string path = tempPath("roundtrip.png");
    for (auto size : std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {641, 3}, {7, 131}}) {
        const std::vector<uint8_t> pixels =
            noise((size_t)size.first * size.second * 3, size.second);
        ASSERT_TRUE(writePngFile(path.c_str(), pixels.data(), size.first, size.second, 3));
        int w = 0, h = 0;
        EXPECT_EQ(decodePng(path, w, h), pixels) << size.first << "x" << size.second;
        EXPECT_EQ(w, size.first);
        EXPECT_EQ(h, size.second);
    }
    // A smooth picture (what the show mostly is) must also survive the filter's wrap: one row
    // falls from 255 to 0 and the next rises, so the differences to the row above wrap.
    std::vector<uint8_t> ramp(256 * 2 * 3);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = (uint8_t)(i < 768 ? 255 - i / 3 : (i - 768) / 3);
    ASSERT_TRUE(writePngFile(path.c_str(), ramp.data(), 256, 2, 3));
    int w = 0, h = 0;
    EXPECT_EQ(decodePng(path, w, h), ramp);
    unlink(path.c_str());
}

TEST(PngWriter, FailedWritesAreReportedAndLeaveNoFileBehind) {
    uint8_t pixel[3] = {1, 2, 3};
    errno = 0;
    EXPECT_FALSE(writePngFile("/nonexistent-dir/x.png", pixel, 1, 1, 3));
    EXPECT_NE(errno, 0);
    const std::string path = tempPath("cut.png");
    EXPECT_FALSE(writePngFile(path.c_str(), pixel, 0, 1, 3));

    // A disk that fills up mid-picture: the file size limit cuts the write short.
    const std::vector<uint8_t> picture = noise(300 * 300 * 3, 7);
    rlimit saved, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    small = {4096, saved.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writePngFile(path.c_str(), picture.data(), 300, 300, 3);
    const int error = errno;
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "a cut-off picture was left behind";
}

TEST(Y4m, FullRangeColoursOfThePrimariesAndGreys) {
    const uint8_t rgb[6 * 3] = {0, 0,   0, 255, 255, 255, 255, 0,   0,
                                0, 255, 0, 0,   0,   255, 128, 128, 128};
    uint8_t planes[6 * 3];
    rgbToYcbcr(rgb, 6, 1, 444, planes);
    const uint8_t* y = planes;
    const uint8_t* cb = planes + 6;
    const uint8_t* cr = planes + 12;
    const int expectY[6] = {0, 255, 76, 150, 29, 128};
    const int expectCb[6] = {128, 128, 85, 44, 255, 128};
    const int expectCr[6] = {128, 128, 255, 21, 107, 128};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(y[i], expectY[i]) << i;
        EXPECT_EQ(cb[i], expectCb[i]) << i;
        EXPECT_EQ(cr[i], expectCr[i]) << i;
    }
}

TEST(Y4m, ChromaIsAveragedOverEachTwoByTwoBlockIncludingRaggedEdges) {
    // 3 × 3: a red/blue checker in the top-left block, grey elsewhere.
    std::vector<uint8_t> rgb(3 * 3 * 3, 128);
    auto set = [&](int x, int yy, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rgb[3 * (yy * 3 + x)];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    set(0, 0, 255, 0, 0);
    set(1, 0, 0, 0, 255);
    set(0, 1, 0, 0, 255);
    set(1, 1, 255, 0, 0);
    set(2, 2, 255, 0, 0); // alone in its 1 × 1 corner block
    ASSERT_EQ(y4mFrameBytes(3, 3, 420), 9u + 2 * 4);
    std::vector<uint8_t> planes(y4mFrameBytes(3, 3, 420));
    rgbToYcbcr(rgb.data(), 3, 3, 420, planes.data());
    const uint8_t* cb = planes.data() + 9;
    const uint8_t* cr = cb + 4;
    EXPECT_EQ(cb[0], (85 + 255 + 255 + 85 + 2) / 4);
    EXPECT_EQ(cr[0], (255 + 107 + 107 + 255 + 2) / 4);
    EXPECT_EQ(cb[1], 128); // right column: grey
    EXPECT_EQ(cb[3], 85);  // corner: the red pixel alone
    EXPECT_EQ(cr[3], 255);
    EXPECT_EQ(planes[0], 76); // luma stays per pixel
    EXPECT_EQ(planes[1], 29);
}

TEST(Y4m, StreamHasTheHeaderAndOneMarkedFramePerPicture) {
    const std::string path = tempPath("stream.y4m");
    Y4mWriter writer;
    ASSERT_TRUE(openY4m(writer, path.c_str(), 4, 2, 30, 420));
    const std::vector<uint8_t> frame = noise(4 * 2 * 3, 7);
    ASSERT_TRUE(writeY4mFrame(writer, frame.data()));
    ASSERT_TRUE(writeY4mFrame(writer, frame.data()));
    ASSERT_TRUE(closeY4m(writer));
    const std::vector<uint8_t> bytes = readBytes(path);
    const std::string header = "YUV4MPEG2 W4 H2 F30:1 Ip A1:1 C420jpeg XCOLORRANGE=FULL\n";
    ASSERT_GE(bytes.size(), header.size());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + header.size()), header);
    const size_t frameBytes = 8 + 2 * 2;
    ASSERT_EQ(bytes.size(), header.size() + 2 * (6 + frameBytes));
    EXPECT_EQ(std::string(bytes.begin() + header.size(), bytes.begin() + header.size() + 6),
              "FRAME\n");
    EXPECT_EQ(std::string(bytes.begin() + header.size() + 6 + frameBytes,
                          bytes.begin() + header.size() + 12 + frameBytes),
              "FRAME\n");
    unlink(path.c_str());

    // A refused layout leaves no half-made file and nothing to write to.
    Y4mWriter refused;
    EXPECT_FALSE(openY4m(refused, path.c_str(), 4, 2, 30, 422));
    EXPECT_FALSE(writeY4mFrame(refused, frame.data()));
    EXPECT_TRUE(closeY4m(refused));
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST(WavWriter, HeaderDescribesSixteenBitStereoAndSamplesAreLittleEndian) {
    const std::string path = tempPath("music.wav");
    const int16_t samples[6] = {0, -1, 32767, -32768, 258, -258};
    ASSERT_TRUE(writeWav(path.c_str(), samples, 3, 44100));
    const std::vector<uint8_t> b = readBytes(path);
    ASSERT_EQ(b.size(), 44u + 12);
    auto u32 = [&](size_t at) {
        return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
               (uint32_t)b[at + 3] << 24;
    };
    auto u16 = [&](size_t at) { return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8; };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1u); // PCM
    EXPECT_EQ(u16(22), 2u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 4);
    EXPECT_EQ(u16(32), 4u);
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), 12u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ((int16_t)u16(44 + 2 * i), samples[i]) << i;
    unlink(path.c_str());

    ASSERT_TRUE(writeWav(path.c_str(), nullptr, 0, 44100)); // an empty capture, still valid
    EXPECT_EQ(readBytes(path).size(), 44u);
    unlink(path.c_str());
    EXPECT_FALSE(writeWav("/nonexistent-dir/m.wav", samples, 3, 44100));
}
