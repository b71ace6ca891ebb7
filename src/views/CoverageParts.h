#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

#include "model/NumberText.h"
#include "views/Coverage.h"

// What the coverage pictures (map, contours, profile, page) share: their font and how they
// read a computed coverage's grid and profile.
namespace ostrel::coverage_parts {

inline constexpr const char* kFont = "Arial";

// Rounds down or up to whole tens.
inline double FloorTen(double value) {
    return std::floor(value / 10) * 10;
}
inline double CeilTen(double value) {
    return std::ceil(value / 10) * 10;
}

// The plan position of grid column `index` (or row, counted upward), centred on the mast.
inline double GridOffsetM(const TCoverage& coverage, int index) {
    return (index - (coverage.GridSide - 1) / 2.0) * coverage.StepM;
}

// A grid level; a point of no level (not finite) reads as lower than any.
inline double LevelAt(const TCoverage& coverage, int row, int column) {
    const double level =
        coverage.GridLevelDbm[static_cast<size_t>(row) * static_cast<size_t>(coverage.GridSide) +
                              static_cast<size_t>(column)];
    return std::isfinite(level) ? level : -std::numeric_limits<double>::infinity();
}

inline bool HasGrid(const TCoverage& coverage) {
    return coverage.GridSide > 1 && coverage.StepM > 0 &&
           coverage.GridLevelDbm.size() ==
               static_cast<size_t>(coverage.GridSide) * static_cast<size_t>(coverage.GridSide);
}

// How far the profile reaches along boresight.
inline double ProfileReachM(const TCoverage& coverage) {
    if (!coverage.ProfileDistanceM.empty()) return coverage.ProfileDistanceM.back();
    return (coverage.GridSide - 1) / 2.0 * coverage.StepM;
}

inline std::string LevelText(double levelDbm) {
    return FormatGeneral(std::round(levelDbm));
}

}  // namespace ostrel::coverage_parts
