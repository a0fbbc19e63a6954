// The capture tool run on the baked show, checked as a person watching would: every section
// shows something and differs from the one before, the title fades in and out, the end
// picture sits in the lower band, the run ends by itself; captures repeat byte for byte and
// the music lines up with the frames.
#include "assets/jpeg_images.h"
#include "platform/files.h"
#include "platform/module_render.h"
#include "writers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string toolPath = LW_CAPTURE_TOOL;
const std::string showDir = LW_SHOW_DIR;

// Frames a second for the whole-show check. The fades step once per drawn frame, so at very
// low rates the show itself stays dark: at 4 frames a second the title reaches only 0.18 by
// second 15 and the scene trail of the opening never rises above 0. At 30 the opening looks
// as it does on screen, still at a fraction of the real rate's cost.
constexpr int32_t wholeShowFps = 30;

// Thumbnails: every frame is box-filtered to this size before it is judged.
constexpr int thumbW = 160, thumbH = 120;

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string captureCommand(const std::string& args) {
    return quoted(toolPath) + " --show " + quoted(showDir) + " --quiet " + args;
}

int exitStatusOf(int systemResult) {
    return WIFEXITED(systemResult) ? WEXITSTATUS(systemResult) : -1;
}

std::string scratchDir() {
    const char* base = getenv("TMPDIR");
    std::string dir =
        std::string(base && *base ? base : "/tmp") + "/lw-show-capture-" + std::to_string(getpid());
    mkdir(dir.c_str(), 0777);
    return dir;
}

std::string readText(const std::string& path) {
    std::vector<uint8_t> b = readBytes(path);
    return std::string(b.begin(), b.end());
}

// A number after "key": in the tool's report.
double reportNumber(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return NAN;
    return atof(json.c_str() + at + key.size() + 3);
}

// Reads a C444 YUV4MPEG2 stream frame by frame from a command's output.
struct Y4mStream {
    FILE* f = nullptr;
    int width = 0, height = 0;
    std::string header;
    std::vector<uint8_t> planes;

    bool open(const std::string& command) {
        f = popen(command.c_str(), "r");
        if (!f) return false;
        int c;
        while ((c = fgetc(f)) != EOF && c != '\n')
            header += (char)c;
        if (sscanf(header.c_str(), "YUV4MPEG2 W%d H%d", &width, &height) != 2) return false;
        if (header.find(" C444") == std::string::npos) return false;
        planes.resize(3 * (size_t)width * height);
        return true;
    }
    bool next() {
        char tag[6];
        if (fread(tag, 1, 6, f) != 6 || memcmp(tag, "FRAME\n", 6) != 0) return false;
        return fread(planes.data(), 1, planes.size(), f) == planes.size();
    }
    // The frame's RGB at (x, y), from full-range YCbCr.
    void rgbAt(int x, int y, float rgb[3]) const {
        const size_t luma = (size_t)width * height, at = (size_t)y * width + x;
        const float Y = planes[at], cb = planes[luma + at], cr = planes[2 * luma + at];
        rgb[0] = Y + 1.402f * (cr - 128);
        rgb[1] = Y - 0.344136f * (cb - 128) - 0.714136f * (cr - 128);
        rgb[2] = Y + 1.772f * (cb - 128);
    }
    int close() {
        const int status = pclose(f);
        f = nullptr;
        return exitStatusOf(status);
    }
};

// RGB in 0..255, thumbW × thumbH × 3, rows top first.
using Thumb = std::vector<float>;

Thumb thumbOf(const Y4mStream& s) {
    Thumb t(thumbW * thumbH * 3, 0.0f);
    std::vector<float> count(thumbW * thumbH, 0.0f);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const int tx = x * thumbW / s.width, ty = y * thumbH / s.height;
            float rgb[3];
            s.rgbAt(x, y, rgb);
            for (int c = 0; c < 3; ++c)
                t[3 * (ty * thumbW + tx) + c] += rgb[c];
            count[ty * thumbW + tx] += 1;
        }
    for (int i = 0; i < thumbW * thumbH; ++i)
        for (int c = 0; c < 3; ++c)
            t[3 * i + c] /= count[i];
    return t;
}

// A picture of the show folder box-filtered onto rows [top, top + rows) of a thumbnail (the
// rest stays 0), as the overlays stretch a picture over the screen or a band of it.
Thumb pictureThumb(const char* demoPath, int top, int rows) {
    int32_t w = 0, h = 0;
    std::unique_ptr<uint8_t[]> pixels(loadJpeg(hostPath(demoPath).c_str(), w, h));
    Thumb t(thumbW * thumbH * 3, 0.0f);
    if (!pixels || w <= 0 || h <= 0) return Thumb();
    std::vector<float> count(thumbW * thumbH, 0.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int tx = x * thumbW / w, ty = top + y * rows / h;
            for (int c = 0; c < 3; ++c)
                t[3 * (ty * thumbW + tx) + c] += pixels[3 * ((size_t)y * w + x) + c];
            count[ty * thumbW + tx] += 1;
        }
    for (int i = 0; i < thumbW * thumbH; ++i)
        if (count[i] > 0)
            for (int c = 0; c < 3; ++c)
                t[3 * i + c] /= count[i];
    return t;
}

// Over the rows [top, top + rows) of a and the rows [pTop, pTop + rows) of the picture p.
struct Fit {
    double gain;        // least-squares scale of p found in a
    double correlation; // Pearson correlation of the two
};

Fit fitPicture(const Thumb& a, int top, const Thumb& p, int pTop, int rows) {
    double sa = 0, sp = 0, n = 0;
    for (int y = 0; y < rows; ++y)
        for (int i = 0; i < thumbW * 3; ++i) {
            sa += a[(size_t)(top + y) * thumbW * 3 + i];
            sp += p[(size_t)(pTop + y) * thumbW * 3 + i];
            n += 1;
        }
    const double ma = sa / n, mp = sp / n;
    double cov = 0, va = 0, vp = 0;
    for (int y = 0; y < rows; ++y)
        for (int i = 0; i < thumbW * 3; ++i) {
            const double da = a[(size_t)(top + y) * thumbW * 3 + i] - ma;
            const double dp = p[(size_t)(pTop + y) * thumbW * 3 + i] - mp;
            cov += da * dp;
            va += da * da;
            vp += dp * dp;
        }
    Fit fit;
    fit.gain = vp > 0 ? cov / vp : 0;
    fit.correlation = va > 0 && vp > 0 ? cov / std::sqrt(va * vp) : 0;
    return fit;
}

double meanAbsDifference(const Thumb& a, const Thumb& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::fabs(a[i] - b[i]);
    return sum / (double)a.size();
}

struct SectionSpan {
    const char* name;
    int firstSecond, lastSecond;
};
const SectionSpan sections[] = {
    {"phase 0", 0, 14},
    {"phase 1", 15, 24},
    {"phase 2", 25, 34},
    {"phase 3", 35, 43},
    {"phase 4", 44, 63},
    {"phase 4, pulsar warp", 64, 77},
    {"phase 4, env warp", 78, 87},
    {"phase 5 with warp", 88, 99},
    {"phase 5", 100, 106},
};
constexpr int sectionCount = sizeof sections / sizeof sections[0];

int sectionOf(int second) {
    for (int i = 0; i < sectionCount; ++i)
        if (second <= sections[i].lastSecond) return i;
    return sectionCount - 1;
}

class BakedShow : public ::testing::Test {
  protected:
    void SetUp() override {
        struct stat st;
        // A missing bake is a failure, not a reason to skip: the check would prove nothing.
        ASSERT_EQ(stat((showDir + "/data").c_str(), &st), 0)
            << "the baked show is missing: " << showDir << "/data (build lanternwhirl-show)";
        ASSERT_EQ(access(toolPath.c_str(), X_OK), 0) << toolPath;
        ASSERT_EQ(chdir(showDir.c_str()), 0);
    }
};

} // namespace

TEST_F(BakedShow, WholeShowLooksRightSectionBySectionAndEndsByItself) {
    const std::string dir = scratchDir();
    const std::string report = dir + "/whole.json";
    Y4mStream stream;
    ASSERT_TRUE(stream.open(captureCommand("--fps " + std::to_string(wholeShowFps) +
                                           " --chroma 444 --y4m - --report " + quoted(report))))
        << stream.header;
    ASSERT_EQ(stream.width, 640);
    ASSERT_EQ(stream.height, 480);

    const Thumb title = pictureThumb("data\\lanternwhirl.jpg", 0, thumbH);
    const int bandTop = thumbH * 2 / 5, bandRows = thumbH - bandTop; // the lower 60 %
    const Thumb endBand = pictureThumb("data\\end.jpg", bandTop, bandRows);
    ASSERT_FALSE(title.empty());
    ASSERT_FALSE(endBand.empty());

    std::vector<Thumb> sectionSum(sectionCount, Thumb(thumbW * thumbH * 3, 0.0f));
    std::vector<int> sectionFrames(sectionCount, 0);
    std::vector<double> titleGain;         // per frame
    std::vector<double> bandLow, bandHigh; // phase 5 frames: end picture low or high
    std::vector<double> bandLowBefore;     // phase 4 frames
    int frames = 0;
    std::vector<std::string> darkFrames;
    while (stream.next()) {
        const double seconds = (double)frames / wholeShowFps;
        const int second = (int)seconds;
        const Thumb t = thumbOf(stream);
        // Dark: nothing a viewer could make out, no thumbnail pixel above 6 of 255.
        float brightest = 0;
        for (float v : t)
            brightest = std::max(brightest, v);
        if (seconds >= 1.0 && brightest <= 6.0f) darkFrames.push_back(std::to_string(seconds));
        const int s = sectionOf(second);
        for (size_t i = 0; i < t.size(); ++i)
            sectionSum[s][i] += t[i];
        ++sectionFrames[s];
        titleGain.push_back(fitPicture(t, 0, title, 0, thumbH).gain);
        if (second >= 88) {
            bandLow.push_back(fitPicture(t, bandTop, endBand, bandTop, bandRows).correlation);
            // The same picture as if it hung from the top edge instead.
            bandHigh.push_back(fitPicture(t, 0, endBand, bandTop, bandRows).correlation);
        } else if (second >= 50 && second < 88) {
            bandLowBefore.push_back(fitPicture(t, bandTop, endBand, bandTop, bandRows).correlation);
        }
        ++frames;
    }
    ASSERT_EQ(stream.close(), 0);

    // The run ends by itself: the first frame of second 106 is the last one drawn.
    EXPECT_EQ(frames, 106 * wholeShowFps + 1);
    const std::string json = readText(report);
    EXPECT_NE(json.find("\"endedBy\": \"show\""), std::string::npos) << json;
    EXPECT_EQ(reportNumber(json, "framesDrawn"), 106.0 * wholeShowFps + 1);

    EXPECT_TRUE(darkFrames.empty()) << darkFrames.size() << " dark frames after the first second, "
                                    << "the first at " << darkFrames.front() << " s";

    // Each section against the one before. Not the last pair: the second warp pulse rises
    // and falls by 0.006 a frame, so at this rate it has sunk below 0 (invisible) seconds
    // before phase 5 begins, and 100-106 s shows what 88-99 s shows.
    for (int s = 1; s < sectionCount; ++s) {
        ASSERT_GT(sectionFrames[s], 0) << sections[s].name;
        if (s == sectionCount - 1) continue;
        Thumb a = sectionSum[s - 1], b = sectionSum[s];
        for (float& v : a)
            v /= (float)sectionFrames[s - 1];
        for (float& v : b)
            v /= (float)sectionFrames[s];
        const double difference = meanAbsDifference(a, b);
        printf("%-22s differs from the section before by %.1f of 255\n", sections[s].name,
               difference);
        EXPECT_GT(difference, 3.0) << sections[s].name << " looks like " << sections[s - 1].name;
    }

    // The title: its picture is found in the frame with a gain of 0.7 × its alpha.
    auto meanGain = [&](double from, double to) {
        double sum = 0;
        int n = 0;
        for (int i = (int)std::ceil(from * wholeShowFps);
             i < (int)(to * wholeShowFps) && i < frames; ++i, ++n)
            sum += titleGain[i];
        return n ? sum / n : NAN;
    };
    const double opening = meanGain(0.0, 1.0), lateIntro = meanGain(12.0, 15.0);
    const double phases1to3 = meanGain(15.0, 44.0), afterFade = meanGain(48.0, 64.0);
    printf("title gain: second 0 %.3f, 12-14 %.3f, 15-43 %.3f, 48-63 %.3f\n", opening, lateIntro,
           phases1to3, afterFade);
    EXPECT_GT(lateIntro, opening + 0.25) << "the title does not fade in during phase 0";
    EXPECT_GT(phases1to3, 0.3) << "the title does not stay through phases 1 to 3";
    EXPECT_LT(afterFade, 0.25 * lateIntro) << "the title does not fade out in phase 4";
    EXPECT_LT(meanGain(44.0, 44.5), meanGain(43.0, 44.0) + 0.05);

    // The end picture: in the lower 60 % of the frame during phase 5, absent before it.
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v)
            s += x;
        return v.empty() ? NAN : s / (double)v.size();
    };
    printf("end picture correlation: lower band %.3f, hung from the top %.3f, before phase 5 "
           "%.3f\n",
           mean(bandLow), mean(bandHigh), mean(bandLowBefore));
    EXPECT_GT(mean(bandLow), 0.5) << "no end picture in the lower band in phase 5";
    EXPECT_GT(mean(bandLow), mean(bandHigh) + 0.2) << "the end picture is not in the lower band";
    EXPECT_LT(mean(bandLowBefore), mean(bandLow) - 0.3) << "the end picture shows before phase 5";
}

TEST_F(BakedShow, SameSpanCapturedTwiceIsIdenticalAndMatchesTheShowAtThatTime) {
    const std::string dir = scratchDir();
    auto capture = [&](const std::string& args, const std::string& file) {
        const std::string path = dir + "/" + file;
        EXPECT_EQ(exitStatusOf(system(captureCommand(args + " --y4m " + quoted(path)).c_str())), 0)
            << args;
        return readBytes(path);
    };
    // Phase 2: moving balls and a cross-fade, both stepped once per drawn frame.
    const std::vector<uint8_t> first = capture("--fps 5 --from 30 --to 32", "a.y4m");
    const std::vector<uint8_t> second = capture("--fps 5 --from 30 --to 32", "b.y4m");
    const std::vector<uint8_t> longer = capture("--fps 5 --from 29 --to 32", "c.y4m");
    const size_t frameBytes = 6 + 640 * 480 + 2 * 320 * 240;
    ASSERT_GT(first.size(), 10 * frameBytes);
    const size_t header = first.size() - 10 * frameBytes;
    EXPECT_TRUE(first == second) << "two captures of the same span differ";
    // A capture from second 30 shows what a capture from second 29 shows at second 30.
    ASSERT_EQ(longer.size(), header + 15 * frameBytes);
    EXPECT_TRUE(
        std::equal(first.begin() + header, first.end(), longer.begin() + header + 5 * frameBytes))
        << "the frames from second 30 depend on where the capture started";
    // And the show moves: the first and last frames of the span differ.
    EXPECT_FALSE(std::equal(first.begin() + header, first.begin() + header + frameBytes,
                            first.end() - frameBytes));
    // Jumping straight to second 30 skips the fades, so it may look different, but it still
    // draws the same number of frames.
    const std::vector<uint8_t> jumped = capture("--fps 5 --from 30 --to 32 --jump", "d.y4m");
    EXPECT_EQ(jumped.size(), first.size());
}

TEST_F(BakedShow, MusicIsSampleAlignedWithTheWrittenFrames) {
    const std::string dir = scratchDir();
    auto capture = [&](const std::string& args, const std::string& file) {
        const std::string path = dir + "/" + file;
        EXPECT_EQ(exitStatusOf(system(captureCommand(args + " --wav " + quoted(path)).c_str())), 0)
            << args;
        return readBytes(path);
    };
    const std::vector<uint8_t> second = capture("--fps 10 --from 30 --to 31 --jump", "a.wav");
    const std::vector<uint8_t> longer = capture("--fps 10 --from 29.5 --to 31 --jump", "b.wav");
    const std::vector<uint8_t> drawn = capture("--fps 10 --from 30 --to 31", "c.wav");
    // 10 frames at 10 a second: exactly one second of 44100 stereo 16-bit frames.
    ASSERT_EQ(second.size(), 44u + 44100 * 4);
    ASSERT_EQ(longer.size(), 44u + 66150 * 4);
    EXPECT_TRUE(std::equal(second.begin() + 44, second.end(), longer.begin() + 44 + 22050 * 4))
        << "the music of second 30 is not where the frames of second 30 are";
    EXPECT_TRUE(drawn == second) << "drawing the frames before a second changes its music";
    size_t loud = 0;
    for (size_t i = 44; i + 1 < second.size(); i += 2)
        if (std::abs((int16_t)(second[i] | second[i + 1] << 8)) > 64) ++loud;
    EXPECT_GT(loud, 44100u / 10) << "second 30 of the music is silent";
}

TEST_F(BakedShow, ModuleRenderingStartsExactlyWhereAskedAndRefusesBrokenFiles) {
    std::vector<int16_t> whole, tail;
    ASSERT_TRUE(renderModule("data//s2.it", 44100, 0, 50000, whole));
    ASSERT_TRUE(renderModule("data//s2.it", 44100, 30001, 19999, tail));
    ASSERT_EQ(whole.size(), 100000u);
    ASSERT_EQ(tail.size(), 2u * 19999);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), whole.begin() + 2 * 30001));

    const std::string dir = scratchDir();
    const std::string garbage = dir + "/garbage.it", empty = dir + "/empty.it";
    FILE* f = fopen(garbage.c_str(), "wb");
    ASSERT_TRUE(f);
    for (int i = 0; i < 4096; ++i)
        fputc((i * 37) & 0xFF, f);
    fclose(f);
    f = fopen(empty.c_str(), "wb");
    ASSERT_TRUE(f);
    fclose(f);
    // A real module's header, cut short.
    const std::vector<uint8_t> module = readBytes("data/s2.it");
    ASSERT_GT(module.size(), 200u);
    const std::string cut = dir + "/cut.it";
    f = fopen(cut.c_str(), "wb");
    ASSERT_TRUE(f);
    fwrite(module.data(), 1, 100, f);
    fclose(f);
    for (const std::string& path : {garbage, empty, cut, dir, dir + "/missing.it"}) {
        std::vector<int16_t> out(3, 1);
        EXPECT_FALSE(renderModule(path.c_str(), 44100, 0, 100, out)) << path;
        EXPECT_TRUE(out.empty()) << path;
    }
    std::vector<int16_t> out;
    EXPECT_FALSE(renderModule("data//s2.it", 0, 0, 100, out));
    EXPECT_FALSE(renderModule("data//s2.it", 44100, -1, 100, out));
}
