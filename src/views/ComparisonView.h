#pragma once

#include <array>
#include <string>
#include <vector>

#include "draw/Drawer.h"
#include "model/DerivedPatterns.h"

namespace ostrel {

// The vertical scale of a difference graph: -LimitDb .. +LimitDb with grid lines every
// StepDb, round numbers that hold every difference and leave the ±1 dB band room to show.
struct TDifferenceScale {
    double LimitDb = 2;
    double StepDb = 1;
};
TDifferenceScale DifferenceScale(double largestDifferenceDb);
// The largest |d| over the three cuts (values that are not numbers left out).
double LargestDifference(const TPatternComparison& comparison);

// One cut of a comparison as the view and the window show it.
struct TComparedCut {
    const char* Name;
    const TCutComparison* Cut;
    TColor Color;
};
// Azimuth, vertical, horizontal: the order of the graphs, the table and the copied columns.
std::array<TComparedCut, 3> ComparedCuts(const TPatternComparison& comparison);

// The differences as Copy puts them on the clipboard: a header line, then one line per angle
// (-180 .. 180) with the angle and each cut's d to 3 decimals; tab-separated, CR LF ends.
std::string ComparisonTableText(const TPatternComparison& comparison);
// The statistics table: its header, and per cut its name, the largest difference and its
// angle, the RMS and the main-lobe RMS (3 decimals).
std::vector<std::string> ComparisonStatisticsHeader();
std::vector<std::vector<std::string>> ComparisonStatisticsRows(
    const TPatternComparison& comparison);

// The difference graphs of a comparison: a title naming the two patterns, a legend, and one
// Cartesian graph per cut stacked top to bottom on one symmetric scale, each with the ±1 dB
// band, the zero line, the curve d(angle) and its largest difference marked.
class TComparisonView {
public:
    const TPatternComparison* Comparison = nullptr;  // not owned
    std::string ReferenceName;                       // A
    std::string OtherName;                           // B
    TRect Bounds;

    void Draw(TDrawer& drawer) const;
    // Where the graphs' plot rectangles fall, top to bottom, on that drawer's text sizes.
    std::array<TRealRect, 3> PlotRects(TDrawer& drawer) const;

    static constexpr double kTextSize = 12;
};

}  // namespace ostrel
