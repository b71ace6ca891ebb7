// What the 3D view can show of a pattern, and the names the window gives those choices.
#include <optional>
#include <string>
#include <vector>

#include "model/NumberText.h"
#include "views/SurfaceView.h"

namespace ostrel {

std::vector<TSurfaceSource> SurfaceSources(const TPatternData& pattern) {
    std::vector<TSurfaceSource> sources;
    if (pattern.Sphere) sources.push_back({true, kDefaultSurfaceMethod});
    for (int method = 0; method < kSurfaceMethodCount; ++method) {
        sources.push_back({false, static_cast<TSurfaceMethod>(method)});
    }
    return sources;
}

std::string SurfaceSourceText(const TPatternData& pattern, TSurfaceSource source) {
    if (!pattern.Sphere) return SurfaceMethodName(source.Method);
    if (source.Measured) return "Measured";
    const TSphereFigures& figures = pattern.Sphere->Figures();
    const bool cutSum = source.Method == TSurfaceMethod::CutSum;
    const std::optional<double>& rms = cutSum ? figures.RmsCutSum : figures.RmsWeightedBilinear;
    const std::optional<double>& max = cutSum ? figures.MaxCutSum : figures.MaxWeightedBilinear;
    std::string text = SurfaceMethodName(source.Method);
    if (rms && max) {
        text += ": RMS " + FormatFixed(1, *rms) + " dB, max " + FormatFixed(1, *max) + " dB";
    }
    return text;
}

const char* SphereComponentName(TSphereComponent component) {
    switch (component) {
        case TSphereComponent::Co:
            return "Co-polar";
        case TSphereComponent::Cross:
            return "Cross-polar";
        case TSphereComponent::Total:
            break;
    }
    return "Total";
}

}  // namespace ostrel
