#include "cli/Grid3dReport.h"

#include <ostream>

#include "formats/PatternLoaders.h"
#include "model/NumberText.h"
#include "views/PatternSurface.h"

namespace ostrel {

int WriteGrid3d(const std::string& stepText, const std::string& path, std::ostream& out,
                std::ostream& err) {
    int step = 0;
    try {
        step = TextToInt(stepText);
    } catch (const std::exception&) {
        step = 0;
    }
    if (!IsSurfaceStep(step)) {
        err << "ostrel-inspect: --grid3d needs a whole step that divides 90, not '" << stepText
            << "'\n";
        return 2;
    }
    std::string error;
    const auto pattern = LoadPatternData(path, &error);
    if (!pattern) {
        err << path << ": " << error << '\n';
        return 1;
    }
    TPatternSurface grid;
    grid.Build(*pattern, step, smCutSum);
    out << "azimuth vertical level\n";
    std::string line;
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
    out.flush();
    return 0;
}

}  // namespace ostrel
