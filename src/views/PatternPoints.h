#pragma once

#include <string>

#include "model/PatternData.h"

namespace ostrel {

// The texts of the pattern points grids: row 0 holds the pattern names, column 0 the angles
// -180..180, and cell (column c, row r) the level of point r - 1 of pattern c - 1's cut.

// The header row and one row per degree.
constexpr int kPointsRowCount = 362;

// The patterns plus the angle column.
inline int PointsColumnCount(const TPatternDataList& patterns) {
    return patterns.Count() + 1;
}

// The text of a grid cell; the azimuth cut when useAzimuth, else the vertical cut. A pattern
// fills as many rows as its azimuth cut has points; cells beyond, or outside the grid, are
// empty.
std::string PointsCellText(const TPatternDataList& patterns, bool useAzimuth, int row, int column);

}  // namespace ostrel
