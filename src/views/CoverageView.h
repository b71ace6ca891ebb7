#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "draw/Drawer.h"
#include "model/PrimitiveObjects.h"
#include "views/Coverage.h"

namespace ostrel {

// The three received levels the coverage pictures draw as contours and lines, strongest
// first as the window lists them.
using TCoverageThresholds = std::array<double, 3>;
inline constexpr TCoverageThresholds kDefaultCoverageThresholds = {-70, -85, -100};

// The colour of threshold `index` (0..2) on the map, the colour bar and the profile.
TColor ThresholdColor(int index);

// A distance as a person reads it on a map: "750 m", "1.5 km", "12 km".
std::string CoverageDistanceText(double metres);
// A key distance as the window and the page list it: "816.1 m", "horizon" or "none".
std::string KeyDistanceText(const TGroundDistance& distance);
// The step of the distance rings for a map reaching `radiusM`: the largest of 1, 2, 5 times a
// power of ten that still draws at least three rings.
double RingStepM(double radiusM);

// The lines along which the grid's level crosses `levelDbm`, in plan metres (x right, y along
// boresight), by marching squares over the grid's cells with the crossings interpolated
// linearly along the cell edges; cells that cross on all four edges are split by the
// level at their centre. Neighbouring segments are joined into polylines; a line that
// closes ends at its first point. Points of no level (not finite) count as below.
std::vector<TRealPointArray> ContourLines(const TCoverage& coverage, double levelDbm);

// The name of a level source as the window and the page list it.
const char* CoverageLevelsText(TCoverageLevels levels);

// The site values as label and value rows: pattern, frequency, heights, tilt, power, model
// (and its range note), level source, radius, step, thresholds and the key distances.
std::vector<std::pair<std::string, std::string>> CoverageSiteRows(
    const std::string& patternName, const TCoverageSite& site, const TCoverage& coverage,
    const TCoverageThresholds& thresholds);

// The two coverage pictures of one computed coverage: the plan-view map (levels as an image
// in a perceptual colour scale with its colour bar in dBm, contours at the thresholds,
// distance rings, a scale bar, bearing axes and the boresight arrow, turned as the pattern's
// offset turns the antenna) and the profile along
// boresight (level against distance with the thresholds and the key distances). Draws
// through any drawer; created for one drawing.
class TCoverageView {
public:
    // Both pictures in `bounds`: side by side when the bounds are wide, else the map above
    // the profile. Note, when set, stands over them in red (the picture is out of date).
    void Draw(TDrawer& drawer, const TRealRect& bounds) const;
    // The map with its colour bar, the map square as large as `bounds` allow.
    void DrawMap(TDrawer& drawer, const TRealRect& bounds) const;
    void DrawProfile(TDrawer& drawer, const TRealRect& bounds) const;

    // The square of the map inside `bounds` (the colour bar takes the rest).
    TRealRect MapSquare(const TRealRect& bounds) const;
    // The range of the colour bar in dBm, in whole tens: from 20 dB under the weakest
    // threshold up to the level 1% of the grid exceeds (at least 10 dB over the strongest
    // threshold); levels beyond take the end colours.
    std::pair<double, double> LevelRange() const;
    // The map's colour of a level within LevelRange: darker is stronger.
    TColor LevelColor(double levelDbm) const;

    const TCoverage* Coverage = nullptr;  // not owned; nothing is drawn without one
    TCoverageThresholds Thresholds = kDefaultCoverageThresholds;
    std::string Note;
    double TextSize = 12;  // world units
};

// The printed page of a coverage: title, site values, the profile and the map, over the
// footer frame every printed page carries. Page units are 1/100 inch.
class TCoveragePage {
public:
    void Draw() const;

    TDrawer* Drawer = nullptr;       // not owned
    const TGraphic* Logo = nullptr;  // not owned
    std::string PatternName;
    TCoverageSite Site;
    const TCoverage* Coverage = nullptr;  // not owned
    TCoverageThresholds Thresholds = kDefaultCoverageThresholds;
};

}  // namespace ostrel
