#include "capture_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
bool parseNumber(const char* text, double& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    value = strtod(text, &end);
    return *end == '\0' && std::isfinite(value);
}

bool parseInteger(const char* text, int32_t low, int32_t high, int32_t& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (*end != '\0' || v < low || v > high) return false;
    value = (int32_t)v;
    return true;
}
} // namespace

const char* captureUsage() {
    return "usage: lanternwhirl-capture [options]\n"
           "Plays the show offline in a hidden GL context with a simulated clock and writes\n"
           "its frames and music. Run it in the show folder (the one holding data/ and gfx/).\n"
           "\n"
           "  --show DIR        the show folder (default: the working directory)\n"
           "  --size WxH        640x480 (default) or 800x600\n"
           "  --fps N           frames per second of show time (default 60; 1 to 1000)\n"
           "  --from S          write frames from second S on (default 0)\n"
           "  --to S            stop before second S (default: when the show ends by itself)\n"
           "  --jump            start the clock at --from without drawing the frames before it.\n"
           "                    Faster, but the show then starts from its opening state: fades,\n"
           "                    pulses and ball motion advance once per drawn frame, and a\n"
           "                    section begins only on a frame inside its first second, so the\n"
           "                    capture may not look like the show at that time. Without it\n"
           "                    (the default) every frame from second 0 is drawn and only the\n"
           "                    written ones are read back, so it looks exactly like the show.\n"
           "  --png DIR         one PNG per frame: DIR/frame-000000.png, ...\n"
           "  --at T1,T2,...    write only the frames at these seconds (frame round(T x fps)\n"
           "                    of each, named by that number) and stop after the last; every\n"
           "                    frame before is still drawn. Not with --from, --to, --jump,\n"
           "                    --y4m or --wav\n"
           "  --y4m FILE        a YUV4MPEG2 stream ('-' for standard output)\n"
           "  --chroma 420|444  Y4M chroma layout: C420jpeg (default) or C444, full range\n"
           "  --wav FILE        the music at 44100 Hz, 16-bit stereo, starting at the first\n"
           "                    written frame and lasting exactly as long as the frames\n"
           "  --report FILE     JSON timing report: start-up, per-section frame times,\n"
           "                    resident memory\n"
           "  --hashes FILE     one line per written frame: its number and a 64-bit hash of\n"
           "                    its RGB bytes ('-' for standard output)\n"
           "  --no-cull         draw every layer, also those whose alpha cannot change a\n"
           "                    pixel (the demo leaves them out); the frames are the same\n"
           "  --quiet           no progress line on standard error\n"
           "  --help            this text\n"
           "\n"
           "Frame n is drawn at elapsed time n / fps; the animation frame advances once per\n"
           "frame as in the demo's main loop. The run ends after the frame on which the show\n"
           "asks to quit, or at --to; a show that has not ended by 600 s is an error.\n";
}

std::string parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options) {
    std::vector<double> atSeconds;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        auto value = [&](const char*& out) -> bool {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (strcmp(arg, "--jump") == 0) {
            options.jump = true;
        } else if (strcmp(arg, "--quiet") == 0) {
            options.quiet = true;
        } else if (strcmp(arg, "--no-cull") == 0) {
            options.noCull = true;
        } else if (strcmp(arg, "--size") == 0) {
            if (!value(v)) return "--size needs a value";
            if (strcmp(v, "640x480") == 0) {
                options.width = 640;
                options.height = 480;
            } else if (strcmp(v, "800x600") == 0) {
                options.width = 800;
                options.height = 600;
            } else {
                return std::string("--size must be 640x480 or 800x600, not ") + v;
            }
        } else if (strcmp(arg, "--fps") == 0) {
            if (!value(v) || !parseInteger(v, 1, 1000, options.fps))
                return "--fps needs a whole number from 1 to 1000";
        } else if (strcmp(arg, "--from") == 0) {
            if (!value(v) || !parseNumber(v, options.from) || options.from < 0 ||
                options.from >= longestCaptureSeconds)
                return "--from needs a number of seconds from 0 to 600";
        } else if (strcmp(arg, "--to") == 0) {
            if (!value(v) || !parseNumber(v, options.to) || options.to < 0 ||
                options.to > longestCaptureSeconds)
                return "--to needs a number of seconds from 0 to 600";
        } else if (strcmp(arg, "--at") == 0) {
            if (!value(v) || !*v) return "--at needs a list of seconds";
            for (const char* p = v; *p;) {
                const char* comma = strchr(p, ',');
                const std::string item(p, comma ? size_t(comma - p) : strlen(p));
                double seconds = 0;
                if (!parseNumber(item.c_str(), seconds) || seconds < 0 ||
                    seconds >= longestCaptureSeconds)
                    return "--at needs seconds from 0 to 600, separated by commas";
                atSeconds.push_back(seconds);
                p = comma ? comma + 1 : p + item.size();
            }
        } else if (strcmp(arg, "--chroma") == 0) {
            if (!value(v) || (strcmp(v, "420") != 0 && strcmp(v, "444") != 0))
                return "--chroma must be 420 or 444";
            options.chroma = atoi(v);
        } else if (strcmp(arg, "--show") == 0 || strcmp(arg, "--png") == 0 ||
                   strcmp(arg, "--y4m") == 0 || strcmp(arg, "--wav") == 0 ||
                   strcmp(arg, "--report") == 0 || strcmp(arg, "--hashes") == 0) {
            if (!value(v) || !*v) return std::string(arg) + " needs a path";
            std::string& target = arg[2] == 's'   ? options.showDir
                                  : arg[2] == 'p' ? options.pngDir
                                  : arg[2] == 'y' ? options.y4mPath
                                  : arg[2] == 'w' ? options.wavPath
                                  : arg[2] == 'h' ? options.hashesPath
                                                  : options.reportPath;
            target = v;
        } else {
            return std::string("unknown option ") + arg;
        }
    }
    if (options.to >= 0 && options.to <= options.from) return "--to must lie after --from";
    if (!atSeconds.empty()) {
        if (options.from > 0 || options.to >= 0 || options.jump || !options.y4mPath.empty() ||
            !options.wavPath.empty())
            return "--at takes no --from, --to, --jump, --y4m or --wav";
        for (double seconds : atSeconds)
            options.atFrames.push_back(std::llround(seconds * options.fps));
        std::sort(options.atFrames.begin(), options.atFrames.end());
        options.atFrames.erase(std::unique(options.atFrames.begin(), options.atFrames.end()),
                               options.atFrames.end());
    }
    if (options.y4mPath == "-" && options.hashesPath == "-")
        return "--y4m and --hashes cannot both go to standard output";
    return "";
}

uint64_t frameHash(const uint8_t* bytes, size_t size) {
    // FNV-1a over 64-bit words: for a fixed word each step is a bijection of the hash, so a
    // single differing word always shows. The tail goes in byte by byte.
    uint64_t h = 0xcbf29ce484222325ull;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        memcpy(&word, bytes + i, 8);
        h = (h ^ word) * 0x100000001b3ull;
    }
    for (; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001b3ull;
    return h ^ (uint64_t)size;
}

float frameSeconds(double start, int64_t n, int32_t fps) {
    return (float)(start + (double)n / (double)fps);
}

int64_t firstFrameAtOrAfter(double seconds, int32_t fps) {
    if (seconds <= 0) return 0;
    int64_t n = (int64_t)std::ceil(seconds * fps);
    // seconds × fps may round either way; settle on the exact comparison the loop makes.
    while (n > 0 && (double)(n - 1) / fps >= seconds)
        --n;
    while ((double)n / fps < seconds)
        ++n;
    return n;
}

bool writesFrame(const CaptureOptions& options, int64_t n) {
    if (!options.atFrames.empty())
        return std::binary_search(options.atFrames.begin(), options.atFrames.end(), n);
    // With --jump the clock starts at --from, so every frame drawn is written.
    return options.jump || n >= firstFrameAtOrAfter(options.from, options.fps);
}

int32_t advanceFrame(int32_t frame, int32_t firstFrame, int32_t endFrame) {
    int64_t next = (int64_t)frame + 1;
    if (next >= endFrame) return firstFrame;
    return (int32_t)next;
}
