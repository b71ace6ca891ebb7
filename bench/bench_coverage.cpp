// Ground coverage of one antenna: the 401 x 401 grid (radius 5 km, step 25 m) with its
// profile and key distances, for a file of two cuts (weighted bilinear estimate) and for a
// measured sphere; wall time, since the grid is filled on every core.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchReport.h"
#include "formats/PatternLoaders.h"
#include "views/Coverage.h"

namespace {

using namespace ostrel;

constexpr double kTargetMs = 60;

void CoverageBench(benchmark::State& state, const TPatternData* pattern) {
    TCoverageSite site;
    site.MechTiltDeg = 4;
    for (auto _ : state) {
        const TCoverage coverage = ComputeCoverage(*pattern, site);
        benchmark::DoNotOptimize(coverage.GridLevelDbm.data());
    }
}

}  // namespace

int main(int argc, char** argv) {
    TLoadedFile twoCuts = LoadPatternFile(OSTREL_SAMPLES_DIR "/sector65_dbd.txt");
    TLoadedFile sphere = LoadPatternFile(OSTREL_SAMPLES_DIR "/panel65_cw_5deg.json");
    if (twoCuts.Patterns.empty() || sphere.Patterns.empty()) {
        std::fprintf(stderr, "bench_coverage: the sample files do not load\n");
        return 1;
    }
    benchmark::RegisterBenchmark("Coverage/two_cuts_wbi", CoverageBench,
                                 twoCuts.Patterns.front().get())
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Coverage/measured_sphere", CoverageBench,
                                 sphere.Patterns.front().get())
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    // Wall time: the grid is filled on every core.
    for (const char* name :
         {"Coverage/two_cuts_wbi/real_time", "Coverage/measured_sphere/real_time"}) {
        const auto* times = reporter.Find(name);
        if (times == nullptr) continue;
        const double ms = times->RealNs / 1e6;
        std::printf("%-36s %8.2f ms   target <= %g ms: %s\n", name, ms, kTargetMs,
                    ms <= kTargetMs ? "met" : "NOT met");
    }
    return reporter.Failed ? 1 : 0;
}
