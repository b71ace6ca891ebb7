#pragma once

// Console output as usual, plus the fastest real and CPU time per iteration of every run,
// kept by name so that a benchmark program can print its figures next to their targets.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ostrel {

class TRecordingReporter : public benchmark::ConsoleReporter {
public:
    struct TTimes {
        double RealNs = 0;
        double CpuNs = 0;
    };

    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.error_occurred) Failed = true;
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                // With --benchmark_repetitions the fastest repetition is kept: on a shared
                // machine the slower ones measure the neighbours.
                const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                const TTimes times{run.GetAdjustedRealTime() * toNs,
                                   run.GetAdjustedCPUTime() * toNs};
                const std::string name = run.run_name.str();
                auto found = Times.find(name);
                if (found == Times.end()) {
                    Times[name] = times;
                } else {
                    found->second.RealNs = std::min(found->second.RealNs, times.RealNs);
                    found->second.CpuNs = std::min(found->second.CpuNs, times.CpuNs);
                }
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }

    // The fastest CPU time of a run, or nothing when it did not run.
    const TTimes* Find(const std::string& name) const {
        const auto found = Times.find(name);
        return found == Times.end() ? nullptr : &found->second;
    }

    // "label: 12.3 ms CPU (wall 13.0)   target <= 8   before: 16.6" with the figures in `unit`
    // (nanoseconds per unit given), or "not measured".
    void PrintAgainstTarget(const char* label, const std::string& name, const char* unit,
                            double unitNs, double target, double before) const {
        const TTimes* times = Find(name);
        if (times == nullptr) {
            std::printf("%-34s not measured\n", label);
            return;
        }
        const double cpu = times->CpuNs / unitNs;
        std::printf("%-34s %8.2f %s CPU (wall %.2f)   target <= %g %s: %s   before: %g %s\n", label,
                    cpu, unit, times->RealNs / unitNs, target, unit,
                    cpu <= target ? "met" : "NOT met", before, unit);
    }

    // As PrintAgainstTarget, for a run that reports a measured span as its time (manual
    // time): that span against the target.
    void PrintSpanAgainstTarget(const char* label, const std::string& name, const char* unit,
                                double unitNs, double target, double before) const {
        const TTimes* times = Find(name);
        if (times == nullptr) {
            std::printf("%-34s not measured\n", label);
            return;
        }
        const double span = times->RealNs / unitNs;
        std::printf("%-34s %8.2f %s   target <= %g %s: %s   before: %g %s\n", label, span, unit,
                    target, unit, span <= target ? "met" : "NOT met", before, unit);
    }

    std::map<std::string, TTimes> Times;
    bool Failed = false;
};

}  // namespace ostrel
