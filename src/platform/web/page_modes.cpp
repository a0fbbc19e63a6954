// The web page's own modes, the capture tool's counterpart in a browser, for whoever drives
// the page (its tests, its benchmark):
//   ?capture=WxH&fps=N&at=T1,T2,...  the show drawn on a simulated clock from second 0, as
//       lanternwhirl-capture --fps N --at ... draws it, keeping the listed frames as PNG;
//   ?music=S,E   the music with its hall from second S to E, as lanternwhirl-capture --wav;
//   ?bench=WxH   the whole show in real time, silent, with each frame's drawing time.
// Each publishes its result as a page global with done: true (or an error text).
#include "capture_options.h"
#include "frame_stats.h"
#include "read_frame.h"
#include "wav_file.h"

#include "platform/module_render.h"
#include "platform/offscreen_gl.h"
#include "platform/page.h"
#include "platform/web/page_dialog.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "shell/startup.h"
#include "shell/viewport.h"
#include "timeline/director.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int32_t audioRate = 44100;
// The bench gives up on a show that has not ended by then.
constexpr double benchLimitSeconds = 130.0;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if ((unsigned char)c < 0x20) continue;
        out += c;
    }
    return out + "\"";
}

void publishError(const char* name, const std::string& error) {
    fprintf(stderr, "%s: %s\n", name, error.c_str());
    pagePublish(name, "{\"done\": true, \"error\": " + quoted(error) + "}");
}

// Waits until the GL work so far is done. A browser's glFinish may only flush its commands to
// the process that draws them; reading a pixel back has to wait for them.
void finishDrawing() {
    uint8_t pixel[4];
    glFinish();
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

// The capture tool's own option parser checks the page's values.
std::string parseOptions(std::vector<std::string> args, CaptureOptions& options) {
    std::vector<const char*> argv = {"page"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return parseCaptureOptions(int(argv.size()), argv.data(), options);
}

// What every drawn mode shares: the settings of a silent run at the size, a context, and the
// start-up sequence.
bool startShow(const char* name, const CaptureOptions& options) {
    screenWidth = options.width;
    screenHeight = options.height;
    fullscreen = false;
    noSound = true;
    windowActive = true;
    quitRequested = false;
    if (!openOffscreenGl(options.width, options.height)) {
        publishError(name, "no WebGL context");
        return false;
    }
    resizeViewport(options.width, options.height);
    if (!runStartUp()) {
        publishError(name, "Initialization Failed.");
        return false;
    }
    currentFrame = scene1.firstFrame;
    return true;
}

void runCapture(const std::string& size) {
    std::string fps = "60", at;
    pageParameter("fps", fps);
    pageParameter("at", at);
    CaptureOptions options;
    const std::string problem = parseOptions({"--size", size, "--fps", fps, "--at", at}, options);
    if (!problem.empty()) return publishError("lanternwhirlCapture", problem);
    if (!startShow("lanternwhirlCapture", options)) return;

    const size_t frameBytes = size_t(options.width) * size_t(options.height) * 3;
    std::vector<uint8_t> bottomUp(frameBytes), rgb(frameBytes);
    std::string frames;
    size_t kept = 0;
    for (int64_t n = 0;; ++n) {
        elapsedSeconds = frameSeconds(0.0, n, options.fps);
        if (!drawTimelineFrame()) break;
        if (writesFrame(options, n)) {
            readFrame(options.width, options.height, bottomUp, rgb);
            frames += std::string(kept++ ? ", " : "") + "{\"n\": " + std::to_string(n) +
                      ", \"png\": \"" + pagePngDataUrl(rgb.data(), options.width, options.height) +
                      "\"}";
        }
        if (n >= options.atFrames.back()) break;
        currentFrame = advanceFrame(currentFrame, scene1.firstFrame, scene1.endFrame);
        if (quitRequested) break;
        // The page stays alive while it works: it presents now and then.
        if (n % 8 == 7) pageNextFrame();
    }
    closeOffscreenGl();
    if (kept < options.atFrames.size())
        return publishError("lanternwhirlCapture", "the show ended before the last frame asked");
    pagePublish("lanternwhirlCapture",
                "{\"done\": true, \"width\": " + std::to_string(options.width) + ", \"height\": " +
                    std::to_string(options.height) + ", \"fps\": " + std::to_string(options.fps) +
                    ", \"frames\": [" + frames + "]}");
}

void runMusic(const std::string& range) {
    double from = 0, to = 0;
    char end = 0;
    if (sscanf(range.c_str(), "%lf,%lf%c", &from, &to, &end) != 2 || !(from >= 0) || !(to > from) ||
        to > longestCaptureSeconds)
        return publishError("lanternwhirlMusic", "music needs S,E with 0 <= S < E <= 600");
    // Sample-aligned as the capture tool's --wav from S to E.
    const int64_t first = std::llround(from * audioRate);
    const int64_t frames = std::llround(to * audioRate) - first;
    std::vector<int16_t> samples;
    if (!renderModule("data//s2.it", audioRate, first, frames, samples))
        return publishError("lanternwhirlMusic", "the music could not be rendered");
    // Written through the capture tool's own writer into the page's memory, and read back.
    const char* path = "/tmp/lanternwhirl-music.wav";
    std::vector<uint8_t> bytes;
    FILE* f = nullptr;
    if (writeWav(path, samples.data(), frames, audioRate) && (f = fopen(path, "rb"))) {
        uint8_t chunk[65536];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(f);
        remove(path);
    }
    if (bytes.size() != 44 + size_t(frames) * 4)
        return publishError("lanternwhirlMusic", "the music could not be written");
    pagePublish("lanternwhirlMusic", "{\"done\": true, \"wav\": \"" +
                                         pageDataUrl(bytes.data(), bytes.size(), "audio/wav") +
                                         "\"}");
}

void runBench(const std::string& size) {
    CaptureOptions options;
    const std::string problem = parseOptions({"--size", size}, options);
    if (!problem.empty()) return publishError("lanternwhirlBench", problem);
    const double startUpBegins = pageMilliseconds();
    if (!startShow("lanternwhirlBench", options)) return;
    finishDrawing();
    const double startUpMs = pageMilliseconds() - startUpBegins;

    // Room for a long show at a high rate, made before the clock starts. Each section's span
    // on the page's clock lets a profiler put what it sampled against the sections.
    std::vector<double> frameMs[showSectionCount];
    double spanMs[showSectionCount][2] = {};
    for (std::vector<double>& v : frameMs)
        v.reserve(size_t(benchLimitSeconds) * 240);
    const double clockZero = pageMilliseconds();
    bool ended = false;
    while (!ended) {
        const double now = pageMilliseconds();
        if (now - clockZero > benchLimitSeconds * 1000.0) break;
        elapsedSeconds = float((now - clockZero) / 1000.0);
        const bool goOn = drawTimelineFrame();
        finishDrawing();
        const double drawn = pageMilliseconds() - now;
        const int32_t index = sectionOfSeconds(elapsedSeconds);
        std::vector<double>& section = frameMs[index];
        if (section.size() < section.capacity()) section.push_back(drawn);
        if (section.size() == 1) spanMs[index][0] = now;
        spanMs[index][1] = now + drawn;
        currentFrame = advanceFrame(currentFrame, scene1.firstFrame, scene1.endFrame);
        ended = !goOn || quitRequested;
        pageNextFrame();
    }
    closeOffscreenGl();
    if (!ended) return publishError("lanternwhirlBench", "the show did not end by itself");
    std::string sections;
    char line[256];
    for (int32_t i = 0; i < showSectionCount; ++i) {
        std::vector<double>& v = frameMs[i];
        const size_t count = v.size();
        snprintf(line, sizeof line,
                 "%s{\"name\": \"%s\", \"frames\": %zu, \"medianMs\": %.3f, \"p95Ms\": %.3f, "
                 "\"startMs\": %.1f, \"endMs\": %.1f}",
                 i ? ", " : "", showSections[i].name, count, medianOf(v), percentileOf(v, 95.0),
                 spanMs[i][0], spanMs[i][1]);
        sections += line;
    }
    snprintf(line, sizeof line,
             "{\"done\": true, \"width\": %d, \"height\": %d, \"startUpMs\": %.1f, ", options.width,
             options.height, startUpMs);
    pagePublish("lanternwhirlBench", line + std::string("\"sections\": [") + sections + "]}");
}

} // namespace

// Called by the page instead of main when its address asks for one of the modes.
extern "C" int lanternwhirlPageMode() {
    boxesTakeTheirDefault = true;
    std::string value;
    if (pageParameter("capture", value))
        runCapture(value);
    else if (pageParameter("music", value))
        runMusic(value);
    else if (pageParameter("bench", value))
        runBench(value);
    return 0;
}
