#include "views/PatternPoints.h"

#include "model/NumberText.h"

namespace ostrel {

std::string PointsCellText(const TPatternDataList& patterns, bool useAzimuth, int row, int column) {
    if (row < 0 || row >= kPointsRowCount || column < 0 || column >= PointsColumnCount(patterns)) {
        return std::string();
    }
    if (column == 0) return row == 0 ? std::string() : std::to_string(row - 181);
    const TPatternData& pattern = patterns.Items(column - 1);
    if (row == 0) return DisplayName(pattern, false);
    const int point = row - 1;
    const TRealPointList& cut = useAzimuth ? pattern.AzimuthCut : pattern.VerticalCut;
    if (point >= pattern.AzimuthCut.Count() || point >= cut.Count()) return std::string();
    return FormatGeneral(cut.PointAt(point).Y);
}

}  // namespace ostrel
