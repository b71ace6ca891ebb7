#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/ViewModes.h"

namespace ostrel {

class TPatternData;
class TRealPointList;

// The -3 dB crossings of a cut's main lobe, in cut angles (-180..180 degrees; either may lie
// beyond +-180 by wrapping, the caller normalises when drawing).
struct TBeamCrossings {
    double LowerDeg = 0;
    double UpperDeg = 0;
};

// What every cut has: its peak and main-lobe widths.
struct TCutFigures {
    bool Computed = false;  // false for a record without full cuts
    double PeakLevel = 0;   // dB
    double PeakAngle = 0;   // degrees: the squint of a horizontal cut, the tilt of a vertical one
    std::optional<double> Width3Db;
    std::optional<double> Width10Db;
    std::optional<TBeamCrossings> Crossings3Db;
};

// What the horizontal cut (azimuth or horizontal, as shown) says about the antenna.
struct THorzFigures : TCutFigures {
    // Peak minus the highest level within +-30 degrees of the back direction, and minus the
    // level exactly at the back direction.
    std::optional<double> FrontToBack30;
    std::optional<double> FrontToBack180;
    // The highest level outside the main lobe (between its first nulls) and outside the back
    // lobe (within 30 degrees of the back direction), minus the peak (negative).
    std::optional<double> PeakSideLobe;
};

// What the vertical cut says (angles positive below the horizon).
struct TVertFigures : TCutFigures {
    // Peak minus the first side lobe above the main lobe (towards negative angles).
    std::optional<double> UpperSideLobeSuppression;
    // The first null below the main lobe (towards positive angles) minus the peak.
    std::optional<double> FirstNullFill;
};

struct TPatternFigures {
    THorzFigures Horz;
    TVertFigures Vert;
};

// Figures of a 361-point horizontal cut (-180..180, 1 degree apart; the walks wrap around).
THorzFigures ComputeHorzFigures(const TRealPointList& cut);
// Figures of a 361-point vertical cut (walks of at most 180 degrees each way; nulls and side
// lobes only between -90 and +90 degrees).
TVertFigures ComputeVertFigures(const TRealPointList& cut);
// The whole-degree points of a cut's main lobe down to `dropDb` below its peak: from the peak
// (chosen as the figures choose it) each way up to the last point before the level first
// drops strictly below peak - dropDb, walking as the figures walk (a horizontal cut wraps
// around, a vertical one goes at most 180 degrees each way). Nothing when a side never drops
// that far, or for a record without full cuts.
struct TLobeExtent {
    int PeakIndex = 0;   // index of the peak in the cut (0 = -180 degrees)
    int LowerSteps = 0;  // points of the lobe below the peak's index (wrapping)
    int UpperSteps = 0;  // points of the lobe above it
};
std::optional<TLobeExtent> MainLobeExtent(const TRealPointList& cut, bool verticalCut,
                                          double dropDb);
// Both, from the pattern's horizontal cut (or its azimuth cut) and its vertical cut.
TPatternFigures ComputePatternFigures(const TPatternData& pattern, bool useAzimuth);

// Where the pattern's header disagrees with its data: "h_width 65 vs 72.3", "v_width ...",
// "fb ...", "tilt ..." joined by "; "; empty when it agrees or states nothing to check.
std::string HeaderCheckText(const TPatternData& pattern, const TPatternFigures& figures);

// One figure the way tables and reports show it: with `decimals` decimals ("%.1f" unless
// told), empty when absent.
std::string FigureText(const std::optional<double>& value, int decimals = 1);

// The figures by name, in the order reports and tables list them: those of the cuts, then
// those of a measured sphere.
struct TFigureColumn {
    const char* Key;      // ostrel-inspect and CSV name, e.g. "h_width_3db"
    const char* Caption;  // table and panel caption with its unit, UTF-8
    // A figure of the cuts; null for a figure of the measured sphere, which PatternValue
    // reads (empty for a pattern without a sphere).
    std::optional<double> (*Value)(const TPatternFigures& figures);
    std::optional<double> (*PatternValue)(const TPatternData& pattern) = nullptr;
    int Decimals = 1;
};
const std::vector<TFigureColumn>& FigureColumns();
// A column's figure for a pattern, with the figures of its horizontal or azimuth cut.
std::optional<double> FigureValue(const TFigureColumn& column, const TPatternData& pattern,
                                  THCut hCut);
// The same as tables and reports show it.
std::string FigureValueText(const TFigureColumn& column, const TPatternData& pattern, THCut hCut);

}  // namespace ostrel
