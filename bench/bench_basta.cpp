// Loading a large BASTA 3D JSON file: a 65,160-direction sphere (theta 0..180 x phi
// -180..179, one degree apart, polar) of about 4 MB, made in memory. Measures parse +
// sphere + cuts from bytes whose buffer leaves room for the parser's padding (read in
// place) and from bytes without it (one padded copy), then the sphere's figures when first
// asked for; prints them against their targets.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "BenchReport.h"
#include "formats/BastaFile.h"
#include "model/NumberText.h"

namespace {

using namespace ostrel;

constexpr double kLoadTargetMs = 25;
constexpr double kFiguresTargetMs = 10;

// A 65-degree panel, tilted 6 degrees down, with a measurement's noise; attenuations with
// the co- and cross-polar parts and their phases, as vendors write them.
std::string LargeSphereText() {
    std::string text =
        "{\"BASTA_AA_WP_version\": \"3.0\", \"Supplier\": \"Bench\", \"Antenna_Model\": \"B65\",\n"
        "\"Antenna_Type\": \"Passive\", \"Revision_Version\": \"1\", \"Released_Date\": "
        "\"2026-12-01\",\n\"Coordinate_System\": \"SPCS_Polar\", \"Pattern_Name\": null, "
        "\"Beam_ID\": null,\n\"Pattern_Type\": \"Generic\", \"Frequency\": {\"value\": 1850, "
        "\"unit\": \"MHz\"},\n\"Frequency_Range\": null, \"EIRP\": null, "
        "\"Configured_Output_Power\": null,\n\"Gain\": {\"value\": 17.5, \"unit\": \"dBi\"}, "
        "\"Configuration\": null, \"RF_Port\": null,\n\"Array_ID\": null, \"Array_Position\": "
        "null, \"Phi_HPBW\": 65, \"Theta_HPBW\": 7,\n\"Front_to_Back\": 30, "
        "\"Phi_Electrical_Pan\": null, \"Theta_Electrical_Tilt\": 6,\n"
        "\"Nominal_Polarization\": \"P45\", \"Theta_Sampling\": null, \"Phi_Sampling\": null,\n"
        "\"Data_Set_Row_Structure\": [\"Theta\", \"Phi\", \"MagAttenuationTP\", "
        "\"MagAttenuationCo\", \"MagAttenuationCr\", \"PhaseCo\", \"PhaseCr\"],\n\"Data_Set\": [\n";
    unsigned noise = 12345;
    bool first = true;
    for (int theta = 0; theta <= 180; ++theta) {
        for (int phi = -180; phi < 180; ++phi) {
            noise = noise * 1103515245u + 12345u;
            const double jitter = static_cast<double>((noise >> 16) % 1000) / 1000.0;
            const double h = std::min(12.0 * std::pow(phi / 65.0, 2), 30.0);
            const double v = std::min(12.0 * std::pow((theta - 96) / 7.0, 2), 25.0);
            const double tp = std::min(h + v, 45.0) + jitter;
            text += first ? "[" : ",\n[";
            first = false;
            text += FormatFixed(1, theta) + ", " + FormatFixed(1, phi) + ", ";
            text += FormatFixed(4, tp) + ", " + FormatFixed(4, tp + 0.2) + ", ";
            text += FormatFixed(4, tp + 13.5) + ", " + FormatFixed(3, jitter * 360 - 180) + ", ";
            text += FormatFixed(3, 180 - jitter * 360) + "]";
        }
    }
    return text + "\n]}\n";
}

void LoadBench(benchmark::State& state, const std::string* text, bool withPadding) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string bytes;
        if (withPadding) bytes.reserve(text->size() + 64);
        bytes.assign(*text);
        if (!withPadding) bytes.shrink_to_fit();
        state.ResumeTiming();
        auto patterns = MakeBastaPatterns(bytes, "bench.json");
        benchmark::DoNotOptimize(patterns.front().get());
    }
}

// The figures of a fresh sphere each time (they are kept once computed).
void FiguresBench(benchmark::State& state, const std::string* text) {
    for (auto _ : state) {
        auto patterns = MakeBastaPatterns(*text, "bench.json");
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(patterns.front()->Sphere->Figures().DirectivityDbi);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string text = LargeSphereText();
    std::printf("BASTA file: %.2f MB, 65,160 directions\n", static_cast<double>(text.size()) / 1e6);
    benchmark::RegisterBenchmark("BastaLoad/in_place", LoadBench, &text, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BastaLoad/copied", LoadBench, &text, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BastaFigures", FiguresBench, &text)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    // CPU time for the loads; the figures' own wall time (manual timing).
    const struct {
        const char* Label;
        const char* Name;
        bool Wall;
        double Target;
    } lines[] = {
        {"Load in place (parse+sphere+cuts)", "BastaLoad/in_place", false, kLoadTargetMs},
        {"Load from a padded copy", "BastaLoad/copied", false, kLoadTargetMs},
        {"Figures when first asked", "BastaFigures/manual_time", true, kFiguresTargetMs},
    };
    for (const auto& line : lines) {
        const auto* times = reporter.Find(line.Name);
        if (times == nullptr) continue;
        const double ms = (line.Wall ? times->RealNs : times->CpuNs) / 1e6;
        std::printf("%-34s %8.2f ms   target <= %g ms: %s   before: not readable\n", line.Label, ms,
                    line.Target, ms <= line.Target ? "met" : "NOT met");
    }
    return reporter.Failed ? 1 : 0;
}
