// One metaball frame, field plus surface, for the plain reference sweep and the real one, in
// both geometries and at several points of the show's motion.
#include <benchmark/benchmark.h>

#include <chrono>

#include "metaballs/metaballs.h"
#include "motion.h"
#include "oracle.h"

namespace {
Geometry geometryOf(const benchmark::State& state) {
    return state.range(0) ? Geometry::Cube : Geometry::Squashed;
}

void labelRun(benchmark::State& state) {
    state.SetLabel(std::string(state.range(0) ? "cube" : "squashed") + " frame " +
                   std::to_string(state.range(1)));
    state.counters["vertices"] = double(metaVertCount / 3);
}

void OracleFrame(benchmark::State& state) {
    seekMotion(state.range(1));
    const Geometry geometry = geometryOf(state);
    for (auto _ : state) {
        oracleComputeField();
        oraclePolygonizeBalls(geometry);
        benchmark::DoNotOptimize(metaVertCount);
        benchmark::ClobberMemory();
    }
    labelRun(state);
}

void ProductionFrame(benchmark::State& state) {
    seekMotion(state.range(1));
    const Geometry geometry = geometryOf(state);
    for (auto _ : state) {
        computeField();
        polygonizeBalls(geometry);
        benchmark::DoNotOptimize(metaVertCount);
        benchmark::ClobberMemory();
    }
    labelRun(state);
}

// Both sweeps in turns within one run, so that whatever else the machine is doing weighs on
// both alike: "ratio" is the plain sweep's time per frame over the real one's.
void PairedFrames(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    constexpr int productionRuns = 10; // per plain frame, to keep the two shares comparable
    seekMotion(state.range(1));
    const Geometry geometry = geometryOf(state);
    Clock::duration oracle{}, production{};
    for (auto _ : state) {
        const auto start = Clock::now();
        oracleComputeField();
        oraclePolygonizeBalls(geometry);
        benchmark::ClobberMemory();
        const auto middle = Clock::now();
        for (int i = 0; i < productionRuns; ++i) {
            computeField();
            polygonizeBalls(geometry);
            benchmark::ClobberMemory();
        }
        const auto end = Clock::now();
        oracle += middle - start;
        production += end - middle;
    }
    labelRun(state);
    const double frames = double(state.iterations());
    const double oracleUs = std::chrono::duration<double, std::micro>(oracle).count() / frames;
    const double productionUs =
        std::chrono::duration<double, std::micro>(production).count() / frames / productionRuns;
    state.counters["oracle_us"] = oracleUs;
    state.counters["production_us"] = productionUs;
    state.counters["ratio"] = oracleUs / productionUs;
}

void motionPoints(benchmark::internal::Benchmark* b) {
    for (int64_t geometry : {0, 1})
        for (int64_t frame : {0, 250, 1000, 4000, 9000})
            b->Args({geometry, frame});
}
} // namespace

BENCHMARK(OracleFrame)->Apply(motionPoints)->Unit(benchmark::kMicrosecond);
BENCHMARK(ProductionFrame)->Apply(motionPoints)->Unit(benchmark::kMicrosecond);
BENCHMARK(PairedFrames)->Apply(motionPoints)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
