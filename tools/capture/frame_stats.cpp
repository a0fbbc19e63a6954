#include "frame_stats.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>

const ShowSection showSections[showSectionCount] = {
    {"0 title fade-in, scene 3 trail", 0, 0, 14},
    {"1 scene 3 and scene 1", 1, 15, 24},
    {"2 glowing metaballs, scene 1 cross-fade", 2, 25, 34},
    {"3 glowing metaballs, scene 2", 3, 35, 43},
    {"4 picture, scenes 1 and 2", 4, 44, 63},
    {"4 with warp on texPulsar", 4, 64, 77},
    {"4 with warp on texEnv", 4, 78, 87},
    {"5 lit metaballs, end band, warp", 5, 88, 99},
    {"5 lit metaballs, end band", 5, 100, 106},
};

int32_t sectionOfSeconds(float seconds) {
    if (!(seconds >= 0)) return 0;
    double s = std::floor((double)seconds);
    for (int32_t i = 0; i < showSectionCount; ++i)
        if (s <= showSections[i].lastSecond) return i;
    return showSectionCount - 1;
}

double medianOf(std::vector<double>& values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentileOf(std::vector<double>& values, double percent) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    double rank = std::ceil(percent / 100.0 * (double)values.size());
    size_t index = rank < 1 ? 0 : (size_t)rank - 1;
    return values[std::min(index, values.size() - 1)];
}

int64_t residentKiB() {
    FILE* f = fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long long size = 0, resident = 0;
    int got = fscanf(f, "%lld %lld", &size, &resident);
    fclose(f);
    if (got != 2) return -1;
    return (int64_t)resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double processCpuMs() {
    struct timespec t;
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0) return 0;
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1e6;
}

int64_t peakResidentKiB() {
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    // The kernel folds the current size into its high-water mark only now and then, so
    // ru_maxrss (KiB on Linux) can trail what statm shows at this very moment.
    return std::max((int64_t)usage.ru_maxrss, residentKiB());
}

bool writeReport(FILE* f, CaptureReport& r) {
    fprintf(f, "{\n");
    fprintf(f, "  \"size\": \"%dx%d\",\n  \"fps\": %d,\n  \"from\": %.6g,\n", (int)r.width,
            (int)r.height, (int)r.fps, r.from);
    if (r.to >= 0)
        fprintf(f, "  \"to\": %.6g,\n", r.to);
    else
        fprintf(f, "  \"to\": null,\n");
    fprintf(f, "  \"jump\": %s,\n", r.jump ? "true" : "false");
    fprintf(f, "  \"startUpMs\": %.3f,\n  \"startUpCpuMs\": %.3f,\n", r.startUpMs, r.startUpCpuMs);
    fprintf(f, "  \"framesDrawn\": %lld,\n  \"framesWritten\": %lld,\n", (long long)r.framesDrawn,
            (long long)r.framesWritten);
    fprintf(f, "  \"lastSeconds\": %.6f,\n  \"endedBy\": \"%s\",\n", (double)r.lastSeconds,
            r.endedByShow ? "show" : "to");
    fprintf(f,
            "  \"rssShowStartKiB\": %lld,\n  \"rssAfterFirstFrameKiB\": %lld,\n"
            "  \"rssShowEndKiB\": %lld,\n",
            (long long)r.rssShowStartKiB, (long long)r.rssAfterFirstFrameKiB,
            (long long)r.rssShowEndKiB);
    fprintf(f, "  \"peakRssKiB\": %lld,\n", (long long)r.peakRssKiB);
    fprintf(f, "  \"sections\": [\n");
    for (int32_t i = 0; i < showSectionCount; ++i) {
        const ShowSection& s = showSections[i];
        SectionFigures& fig = r.sections[i];
        size_t frames = fig.frameMs.size();
        double median = medianOf(fig.frameMs);
        double p95 = percentileOf(fig.frameMs, 95);
        double cpuMedian = medianOf(fig.frameCpuMs);
        double cpuP95 = percentileOf(fig.frameCpuMs, 95);
        fprintf(f,
                "    {\"name\": \"%s\", \"phase\": %d, \"firstSecond\": %d, \"lastSecond\": %d, "
                "\"frames\": %zu, \"medianMs\": %.3f, \"p95Ms\": %.3f, \"cpuMedianMs\": %.3f, "
                "\"cpuP95Ms\": %.3f, \"rssFirstKiB\": %lld, \"rssLastKiB\": %lld}%s\n",
                s.name, (int)s.phase, (int)s.firstSecond, (int)s.lastSecond, frames, median, p95,
                cpuMedian, cpuP95, (long long)fig.rssFirstKiB, (long long)fig.rssLastKiB,
                i + 1 < showSectionCount ? "," : "");
    }
    fprintf(f, "  ]\n}\n");
    return !ferror(f);
}
