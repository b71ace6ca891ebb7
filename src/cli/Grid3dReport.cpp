#include "cli/Grid3dReport.h"

#include <ostream>

#include "model/NumberText.h"
#include "model/PatternSurface.h"

namespace ostrel {

int Grid3dStep(const std::string& stepText) {
    int step = 0;
    try {
        step = TextToInt(stepText);
    } catch (const std::exception&) {
        return 0;
    }
    return IsSurfaceStep(step) ? step : 0;
}

std::optional<TGridMethod> GridMethodNamed(const std::string& name) {
    if (name == "measured") return TGridMethod::Measured;
    if (name == "cutsum") return TGridMethod::CutSum;
    if (name == "wbi") return TGridMethod::WeightedBilinear;
    return std::nullopt;
}

std::string WriteGrid3d(int step, const std::vector<std::unique_ptr<TPatternData>>& patterns,
                        TGridMethod method, std::ostream& out) {
    if (method == TGridMethod::Measured) {
        for (const auto& pattern : patterns) {
            if (!pattern->Sphere) {
                return pattern->FileName +
                       " holds two cuts, no measured sphere; use --method cutsum or wbi";
            }
        }
    }
    std::string line;
    for (size_t i = 0; i < patterns.size(); ++i) {
        if (patterns.size() > 1)
            out << (i > 0 ? "\nfile: " : "file: ") << patterns[i]->FileName << '\n';
        const TPatternData& pattern = *patterns[i];
        TPatternSurface grid;
        if (method == TGridMethod::Measured || (method == TGridMethod::Default && pattern.Sphere)) {
            grid.BuildMeasured(*pattern.Sphere, step, TSphereComponent::Total);
        } else {
            grid.Build(pattern, step,
                       method == TGridMethod::CutSum ? TSurfaceMethod::CutSum
                                                     : TSurfaceMethod::WeightedBilinear);
        }
        out << "azimuth vertical level\n";
        for (int column = 0; column < grid.Columns(); ++column) {
            const std::string azimuth = FormatGeneral(grid.AzimuthDeg(column)) + ' ';
            for (int row = 0; row < grid.Rows(); ++row) {
                std::string level = FormatFixed(3, grid.Level(row, column));
                // A level that rounds to nothing is 0, whatever side it came from.
                if (level == "-0.000") level.erase(0, 1);
                line = azimuth;
                line += FormatGeneral(grid.VerticalDeg(row));
                line += ' ';
                line += level;
                line += '\n';
                out << line;
            }
        }
    }
    return {};
}

}  // namespace ostrel
