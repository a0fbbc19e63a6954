// Timing and memory figures of a capture run: frame times per section of the show, start-up
// time and resident memory, written as a JSON report.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

// The sections of the show by whole second: phases 0 to 5, with phase 4 split where the warp
// overlay runs (texPulsar from 64 s, texEnv from 78 s) and phase 5 where it stops (100 s).
struct ShowSection {
    const char* name;
    int32_t phase;
    int32_t firstSecond, lastSecond;
};
constexpr int32_t showSectionCount = 9;
extern const ShowSection showSections[showSectionCount];

// The section a frame drawn at elapsed time seconds belongs to; seconds past the last
// section's end still count to it.
int32_t sectionOfSeconds(float seconds);

// Median (mean of the two middle values for an even count) and nearest-rank percentile of
// values, which are sorted in place. 0 for no values.
double medianOf(std::vector<double>& values);
double percentileOf(std::vector<double>& values, double percent);

// Resident memory in KiB: now (from /proc/self/statm) and the peak (getrusage).
int64_t residentKiB();
// CPU time of the process, all threads, in milliseconds.
double processCpuMs();
int64_t peakResidentKiB();

struct SectionFigures {
    std::vector<double> frameMs; // reserved up front: no allocation while the show runs
    // CPU time of the whole process (every renderer thread) per frame: unlike the wall
    // time it hardly moves when other work shares the machine.
    std::vector<double> frameCpuMs;
    int64_t rssFirstKiB = -1; // resident memory after the section's first frame
    int64_t rssLastKiB = -1;  // and after its last
};

struct CaptureReport {
    int32_t width = 0, height = 0, fps = 0;
    double from = 0, to = -1;
    bool jump = false;
    double startUpMs = 0, startUpCpuMs = 0;
    int64_t framesDrawn = 0, framesWritten = 0;
    float lastSeconds = 0;    // elapsed time of the last frame drawn
    bool endedByShow = false; // the show asked to quit (rather than --to)
    // Before the first frame, after it (the GL driver builds its first shaders there), at
    // the end, and the peak of the whole process.
    int64_t rssShowStartKiB = 0, rssAfterFirstFrameKiB = 0, rssShowEndKiB = 0, peakRssKiB = 0;
    SectionFigures sections[showSectionCount];
};

// The report as JSON, one section per line.
bool writeReport(FILE* stream, CaptureReport& report);
