// lanternwhirl-capture: plays the show offline in a hidden GL context with a simulated clock
// and writes its frames (PNG, YUV4MPEG2), its music (WAV) and a timing report.
#include "capture_options.h"
#include "frame_stats.h"
#include "frame_writers.h"
#include "read_frame.h"
#include "wav_file.h"

#include "resources/png_file.h"
#include "platform/module_render.h"
#include "platform/offscreen_gl.h"
#include "common/gl_in_force.h"
#include "common/run_state.h"
#include "anim/show_objects.h"
#include "shell/startup.h"
#include "shell/viewport.h"
#include "timeline/director.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t audioRate = 44100;
// Where the progress line counts to when no --to is given: the show ends in second 106.
constexpr double showEndSeconds = 106.0;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Relative output paths name places seen from where the tool was started, not from the show
// folder it moves into.
std::string fromStartDirectory(const std::string& path, const std::string& startDirectory) {
    if (path.empty() || path == "-" || path[0] == '/') return path;
    return startDirectory + "/" + path;
}

struct Progress {
    bool enabled = false;
    bool terminal = false;
    Clock::time_point started, lastShown;
    double targetSeconds = 0;
};

void showProgress(Progress& p, float seconds, int64_t frames, bool last) {
    if (!p.enabled) return;
    const Clock::time_point now = Clock::now();
    const double sinceStart = std::chrono::duration<double>(now - p.started).count();
    const double sinceShown = std::chrono::duration<double>(now - p.lastShown).count();
    // Short captures stay silent; long ones report twice a second on a terminal, every five
    // seconds into a log.
    if (!last && (sinceStart < 1.0 || sinceShown < (p.terminal ? 0.5 : 5.0))) return;
    if (last && sinceStart < 1.0) return;
    p.lastShown = now;
    fprintf(stderr, "%scapture: %6.2f s of %.0f s, %lld frames, %.1f frames/s%s",
            p.terminal ? "\r" : "", (double)seconds, p.targetSeconds, (long long)frames,
            sinceStart > 0 ? (double)frames / sinceStart : 0.0, p.terminal && !last ? "" : "\n");
}

int fail(const char* what) {
    perror(what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    const std::string problem = parseCaptureOptions(argc, argv, options);
    if (!problem.empty()) {
        fprintf(stderr, "lanternwhirl-capture: %s (see --help)\n", problem.c_str());
        return 2;
    }
    if (options.help) {
        fputs(captureUsage(), stdout);
        return 0;
    }

    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return fail("getcwd");
    const std::string pngDir = fromStartDirectory(options.pngDir, cwd);
    const std::string y4mPath = fromStartDirectory(options.y4mPath, cwd);
    const std::string wavPath = fromStartDirectory(options.wavPath, cwd);
    const std::string reportPath = fromStartDirectory(options.reportPath, cwd);
    const std::string hashesPath = fromStartDirectory(options.hashesPath, cwd);
    const int32_t width = options.width, height = options.height, fps = options.fps;

    // The loaders print notices on standard output; when the stream goes there, give it the
    // real standard output and send everything else printed there to standard error.
    Y4mWriter y4m;
    if (y4mPath == "-") {
        const int streamFd = dup(STDOUT_FILENO);
        FILE* stream = streamFd >= 0 ? fdopen(streamFd, "wb") : nullptr;
        if (!stream || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return fail("standard output");
        if (!startY4m(y4m, stream, true, width, height, fps, options.chroma))
            return fail("standard output");
    } else if (!y4mPath.empty() &&
               !openY4m(y4m, y4mPath.c_str(), width, height, fps, options.chroma)) {
        return fail(y4mPath.c_str());
    }
    // Hashes on standard output get it to themselves, as a stream there does (the options
    // refuse both at once).
    FILE* hashes = nullptr;
    if (hashesPath == "-") {
        const int hashesFd = dup(STDOUT_FILENO);
        hashes = hashesFd >= 0 ? fdopen(hashesFd, "w") : nullptr;
        if (!hashes || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return fail("standard output");
    } else if (!hashesPath.empty() && !(hashes = fopen(hashesPath.c_str(), "w"))) {
        return fail(hashesPath.c_str());
    }
    if (!pngDir.empty() && mkdir(pngDir.c_str(), 0777) != 0 && errno != EEXIST)
        return fail(pngDir.c_str());
    if (!options.showDir.empty() && chdir(options.showDir.c_str()) != 0)
        return fail(options.showDir.c_str());

    screenWidth = width;
    screenHeight = height;
    fullscreen = false;
    noSound = true;
    skipInvisibleLayers = !options.noCull;
    windowActive = true;
    quitRequested = false;

    CaptureReport report;
    report.width = width;
    report.height = height;
    report.fps = fps;
    report.from = options.from;
    report.to = options.to;
    report.jump = options.jump;

    if (!openOffscreenGl(width, height)) return 1;
    // The video library turns interrupt and terminate into quit events, which nobody polls
    // here; a capture must stop on Ctrl+C and kill like any other tool.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    const Clock::time_point startUpBegins = Clock::now();
    const double startUpCpuBegins = processCpuMs();
    resizeViewport(width, height);
    if (!runStartUp()) {
        fprintf(stderr, "lanternwhirl-capture: Initialization Failed.\n");
        closeOffscreenGl();
        return 1;
    }
    glFinish();
    report.startUpMs = millisecondsSince(startUpBegins);
    report.startUpCpuMs = processCpuMs() - startUpCpuBegins;

    // Everything the frame loop needs is allocated here, before the show starts.
    const size_t frameBytes = (size_t)width * (size_t)height * 3;
    std::vector<uint8_t> bottomUp(frameBytes), rgb(frameBytes);
    std::string pngPath(pngDir.size() + 32, '\0');
    for (int32_t i = 0; i < showSectionCount; ++i) {
        const ShowSection& s = showSections[i];
        const size_t frames = (size_t)(s.lastSecond - s.firstSecond + 2) * fps;
        report.sections[i].frameMs.reserve(frames);
        report.sections[i].frameCpuMs.reserve(frames);
    }

    // The clock: frame n of the run is drawn at clockStart + n / fps. Without --jump the run
    // starts at second 0 and the frames before --from are drawn but not read back.
    const double clockStart = options.jump ? options.from : 0.0;
    const int64_t firstWritten = options.jump ? 0 : firstFrameAtOrAfter(options.from, fps);
    const double outputStart = clockStart + (double)firstWritten / fps;
    const bool writesFrames = !pngDir.empty() || y4m.stream || hashes;

    Progress progress;
    progress.enabled = !options.quiet;
    progress.terminal = isatty(STDERR_FILENO);
    progress.started = progress.lastShown = Clock::now();
    progress.targetSeconds = options.to >= 0 ? options.to : showEndSeconds;

    currentFrame = scene1.firstFrame;
    report.rssShowStartKiB = residentKiB();
    int32_t section = -1;
    bool writeFailed = false;
    for (int64_t n = 0;; ++n) {
        const double exactSeconds = clockStart + (double)n / fps;
        if (options.to >= 0 && exactSeconds >= options.to) break;
        if (exactSeconds >= longestCaptureSeconds) {
            fprintf(stderr, "lanternwhirl-capture: the show did not end by itself within %.0f s\n",
                    longestCaptureSeconds);
            closeOffscreenGl();
            return 1;
        }
        elapsedSeconds = frameSeconds(clockStart, n, fps);

        const Clock::time_point frameBegins = Clock::now();
        const double cpuBegins = processCpuMs();
        const bool goOn = drawTimelineFrame();
        glFinish();
        const double frameMs = millisecondsSince(frameBegins);
        const double frameCpuMs = processCpuMs() - cpuBegins;
        // As in the main loop: a director that says stop ends the run before the frame is
        // shown.
        if (!goOn) {
            report.endedByShow = true;
            break;
        }

        const int32_t nowSection = sectionOfSeconds(elapsedSeconds);
        if (nowSection != section) {
            const int64_t rss = residentKiB();
            if (section >= 0) report.sections[section].rssLastKiB = rss;
            report.sections[nowSection].rssFirstKiB = rss;
            section = nowSection;
        }
        report.sections[nowSection].frameMs.push_back(frameMs);
        report.sections[nowSection].frameCpuMs.push_back(frameCpuMs);
        if (report.framesDrawn == 0) report.rssAfterFirstFrameKiB = residentKiB();
        ++report.framesDrawn;
        report.lastSeconds = elapsedSeconds;

        const bool written = writesFrame(options, n);
        if (written && writesFrames) {
            readFrame(width, height, bottomUp, rgb);
            const int64_t index = n - firstWritten;
            if (!pngDir.empty()) {
                snprintf(&pngPath[0], pngPath.size(), "%s/frame-%06lld.png", pngDir.c_str(),
                         (long long)index);
                if (!writePngFile(pngPath.c_str(), rgb.data(), width, height, 3))
                    writeFailed = true;
            }
            if (y4m.stream && !writeY4mFrame(y4m, rgb.data())) {
                perror(y4mPath.c_str());
                writeFailed = true;
            }
            // Flushed per frame, so a reader comparing two captures sees each frame as it
            // is drawn.
            if (hashes && (fprintf(hashes, "%lld %016llx\n", (long long)index,
                                   (unsigned long long)frameHash(rgb.data(), frameBytes)) < 0 ||
                           fflush(hashes) != 0)) {
                perror(hashesPath.c_str());
                writeFailed = true;
            }
        }
        if (written) ++report.framesWritten;
        showProgress(progress, elapsedSeconds, report.framesDrawn, false);
        if (writeFailed) break;
        if (!options.atFrames.empty() && n >= options.atFrames.back()) break;

        // The rest of the main loop's idle pass: the frame advances, then the loop ends on
        // the flag the director sets.
        currentFrame = advanceFrame(currentFrame, scene1.firstFrame, scene1.endFrame);
        if (quitRequested) {
            report.endedByShow = true;
            break;
        }
    }
    if (section >= 0) report.sections[section].rssLastKiB = residentKiB();
    report.rssShowEndKiB = residentKiB();
    report.peakRssKiB = peakResidentKiB();
    showProgress(progress, report.lastSeconds, report.framesDrawn, true);
    closeOffscreenGl();

    int status = writeFailed ? 1 : 0;
    if (y4m.stream && !closeY4m(y4m)) status = fail(y4mPath.c_str());
    if (hashes && fclose(hashes) != 0) status = fail(hashesPath.c_str());

    if (!wavPath.empty()) {
        // Sample-aligned with the written frames: from the first one's time to the end of
        // the last one's, each boundary rounded to the nearest sample.
        const int64_t firstSample = llround(outputStart * audioRate);
        const int64_t endSample =
            llround((outputStart + (double)report.framesWritten / fps) * audioRate);
        std::vector<int16_t> samples;
        if (!renderModule("data//s2.it", audioRate, firstSample, endSample - firstSample, samples))
            status = 1;
        else if (!writeWav(wavPath.c_str(), samples.data(), endSample - firstSample, audioRate))
            status = fail(wavPath.c_str());
    }

    if (!reportPath.empty()) {
        FILE* f = fopen(reportPath.c_str(), "w");
        if (!f) return fail(reportPath.c_str());
        bool ok = writeReport(f, report);
        if (fclose(f) != 0 || !ok) status = fail(reportPath.c_str());
    }
    return status;
}
