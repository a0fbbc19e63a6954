// One metaball frame, field plus surface, at the benchmark's points of the show's motion, timed
// without a framework so that the same source runs natively and as WebAssembly (under Node):
// one line a point with the median microseconds a frame over 15 batches.
#include "metaballs/metaballs.h"
#include "motion.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
double batchMicroseconds(Geometry geometry, int32_t frames) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (int32_t i = 0; i < frames; ++i) {
        computeField();
        polygonizeBalls(geometry);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / frames;
}
} // namespace

int main() {
    for (Geometry geometry : {Geometry::Squashed, Geometry::Cube}) {
        for (int64_t frame : {0, 250, 1000, 4000, 9000}) {
            seekMotion(frame);
            // Warm up, also long enough for a JavaScript engine to have compiled the
            // WebAssembly with its optimising tier.
            batchMicroseconds(geometry, 400);
            std::vector<double> batches;
            for (int batch = 0; batch < 15; ++batch)
                batches.push_back(batchMicroseconds(geometry, 20));
            std::sort(batches.begin(), batches.end());
            printf("%s %lld %.1f %d\n", geometry == Geometry::Cube ? "cube" : "squashed",
                   (long long)frame, batches[batches.size() / 2], metaVertCount / 3);
        }
    }
    return 0;
}
