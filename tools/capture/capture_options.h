// Command-line options of the capture tool and the simulated clock it drives the show with.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A show that never asks to quit is stopped here rather than captured for ever.
constexpr double longestCaptureSeconds = 600.0;

struct CaptureOptions {
    int32_t width = 640;
    int32_t height = 480;
    int32_t fps = 60;
    double from = 0.0; // seconds of show time where output starts
    double to = -1.0;  // seconds of show time where the run stops; negative: at the show's end
    // False (the default): every frame from second 0 is drawn, and only those from `from` on
    // are written, so a capture from 60 s looks exactly like the show at 60 s. True: the clock
    // starts at `from` and the frames before it are never drawn (faster, but the per-frame
    // fades, pulses and ball motion then start from their initial values).
    bool jump = false;
    int32_t chroma = 420; // 420 (C420jpeg) or 444 (C444) for --y4m
    bool quiet = false;   // no progress line
    // Draw every layer, also those whose alpha leaves the frame as it is (the demo skips
    // them); for proving that the skip changes no frame.
    bool noCull = false;
    bool help = false;
    std::string showDir; // empty: the working directory
    std::string pngDir;
    std::string y4mPath; // "-" for standard output
    std::string wavPath;
    std::string reportPath;
    std::string hashesPath; // "-" for standard output
    // --at: only the frames at these times are written, frame round(T × fps) of each, in
    // increasing order without repeats; the run stops after the last. Empty: every frame.
    std::vector<int64_t> atFrames;
};

// Fills options from argv[1..argc-1]. Returns an empty text on success, otherwise what is
// wrong with the command line (options is then partly filled).
std::string parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options);

// The text printed by --help.
const char* captureUsage();

// A 64-bit hash of a frame's bytes: any two frames that differ in one aligned 8-byte word
// hash differently, and other differences collide only by chance.
uint64_t frameHash(const uint8_t* bytes, size_t size);

// elapsedSeconds of the frame n frames after start: start + n / fps, stored as a float as the
// main loop stores its clock.
float frameSeconds(double start, int64_t n, int32_t fps);

// The first frame n (counted from second 0) whose time n / fps is at or after seconds.
int64_t firstFrameAtOrAfter(double seconds, int32_t fps);

// Whether frame n (counted from second 0) is one the options write.
bool writesFrame(const CaptureOptions& options, int64_t n);

// The main loop's frame advance: one step, and back to firstFrame at endFrame or beyond
// (signed comparison), so a range with endFrame <= firstFrame stays at firstFrame.
int32_t advanceFrame(int32_t frame, int32_t firstFrame, int32_t endFrame);
