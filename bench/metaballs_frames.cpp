// One metaball frame, field plus surface, at the benchmark's points of the show's motion, timed
// without a framework so that the same source runs natively and as WebAssembly (under Node):
// one line a point with the median microseconds a frame over 15 batches, the lowest of three
// rounds.
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
    // Three rounds over all points, each point keeping its lowest median: a stretch of
    // interference from the rest of the machine then spoils one round, not the point.
    struct Point {
        Geometry geometry;
        int64_t frame;
        double microseconds;
        int32_t triangles;
    };
    std::vector<Point> points;
    for (Geometry geometry : {Geometry::Squashed, Geometry::Cube})
        for (int64_t frame : {0, 250, 1000, 4000, 9000})
            points.push_back({geometry, frame, 1e30, 0});
    for (int round = 0; round < 3; ++round) {
        for (Point& point : points) {
            seekMotion(point.frame);
            // Warm up, also long enough for a JavaScript engine to have compiled the
            // WebAssembly with its optimising tier.
            batchMicroseconds(point.geometry, 400);
            std::vector<double> batches;
            for (int batch = 0; batch < 15; ++batch)
                batches.push_back(batchMicroseconds(point.geometry, 20));
            std::sort(batches.begin(), batches.end());
            point.microseconds = std::min(point.microseconds, batches[batches.size() / 2]);
            point.triangles = metaVertCount / 3;
        }
    }
    for (const Point& point : points)
        printf("%s %lld %.1f %d\n", point.geometry == Geometry::Cube ? "cube" : "squashed",
               (long long)point.frame, point.microseconds, point.triangles);
    return 0;
}
