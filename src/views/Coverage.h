#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/PatternSurface.h"

namespace ostrel {

class TPatternData;

// Where the signal of one antenna lands on flat ground: no terrain, clutter or earth
// curvature. The plan view has the antenna at (0, 0), its boresight along +y and x to the
// right; bearings are clockwise from boresight.

// The path-loss models, in the order the window lists them.
enum class TPathModel : std::uint8_t {
    Free,
    HataUrban,
    HataSuburban,
    HataOpen,
    Cost231,
    Cost231Metro
};
inline constexpr int kPathModelCount = 6;

// The command-line name of a model ("free", "hata-urban", ..., "cost231-metro").
const char* PathModelName(TPathModel model);
// The model a name stands for; none for an unknown name.
std::optional<TPathModel> PathModelFromName(std::string_view name);
// The model used when none is chosen: COST-231 above 1500 MHz, Okumura-Hata urban from 150
// to 1500 MHz, free space below 150 MHz.
TPathModel DefaultPathModel(double frequencyMhz);

// One model at one frequency and pair of heights, for the loss at many distances.
class TPathLoss {
public:
    TPathLoss(TPathModel model, double frequencyMhz, double baseHeightM, double mobileHeightM);
    // The loss in dB over a horizontal distance in km (see PathLossDb).
    double operator()(double distanceKm) const;

private:
    TPathModel FModel;
    double FHeightDifferenceKm;
    double FFreeSpaceConstant;  // 20 log f + 32.44
    double FHataConstant;       // everything but the distance term
    double FHataSlope;          // 44.9 - 6.55 log hb
};

// The loss in dB over a horizontal distance `distanceKm`, antenna height `baseHeightM`,
// receiver height `mobileHeightM`; never below the free-space loss of the straight line
// (taken as at least 1 m). The Hata models read a distance under 1 m as 1 m.
double PathLossDb(TPathModel model, double frequencyMhz, double distanceKm, double baseHeightM,
                  double mobileHeightM);
// "" inside the model's published ranges of frequency and heights, else what lies outside
// ("outside the model's range: ...").
std::string PathModelRangeNote(TPathModel model, double frequencyMhz, double baseHeightM,
                               double mobileHeightM);

// Which levels a coverage reads: the measured sphere, or an estimate from the two cuts.
enum class TCoverageLevels : std::uint8_t { Measured, CutSum, WeightedBilinear };
// The command-line name of a choice: "measured", "cutsum" or "wbi".
const char* CoverageLevelsName(TCoverageLevels levels);

// The site and what to compute. Defaults are a typical macro cell.
struct TCoverageSite {
    double HeightM = 30;                    // antenna above ground
    double RxHeightM = 1.5;                 // receiver above ground
    double MechTiltDeg = 0;                 // positive down
    double PowerDbm = 43;                   // into the antenna
    std::optional<double> FrequencyMhz;     // none: the pattern's, else 1800
    std::optional<TPathModel> Model;        // none: DefaultPathModel of the frequency
    std::optional<TCoverageLevels> Levels;  // none: Measured for a sphere, else WeightedBilinear
    double RadiusKm = 5;
    double StepM = 25;
};

// The site's first problem ("--height: the antenna must be above the receiver"), naming the
// command-line option of the field; "" when the site can be computed. Besides the obvious
// (finite values, receiver not below ground, antenna above the receiver, frequency, radius
// and step above 0, a measured sphere to read) a radius is at most 100 km and a grid at most
// 4001 points a side, so that no field typed in can exhaust memory; the antenna is at most
// 100 km up and 1 mm above the receiver at least, and the power within 1000 dBm either way,
// so that every level is a finite number.
std::string CoverageSiteProblem(const TPatternData& pattern, const TCoverageSite& site);

// The same problem as a window shows it, naming the field instead of the option
// ("Height: the antenna must be above the receiver ...").
std::string CoverageFieldProblem(const std::string& problem);

// A ground distance along boresight: metres, the horizon (the angle does not reach the
// ground) or none (no such angle on the cut). An angle that points more than 90 degrees
// below the antenna's horizon lands behind the mast: negative metres.
struct TGroundDistance {
    enum class TKind : std::uint8_t { Metres, Horizon, None };
    TKind Kind = TKind::None;
    double Metres = 0;
};
// "816.1", "horizon" or "none".
std::string GroundDistanceText(const TGroundDistance& distance);

struct TCoverage {
    TPathModel Model = TPathModel::Free;
    double FrequencyMhz = 0;
    TCoverageLevels Levels = TCoverageLevels::WeightedBilinear;
    std::string RangeNote;  // PathModelRangeNote of the model used
    // The pattern's gain in dBi; a pattern that states none counts as 0 dBi (its levels are
    // then relative to the peak, not absolute), and GainStated is false so that views can
    // say so.
    double GainDbi = 0;
    bool GainStated = false;
    // Where the antenna points: its boresight's bearing in the plan view (the pattern's
    // horizontal offset, clockwise from +y) and its total down-tilt (mechanical tilt plus the
    // pattern's vertical offset), in degrees.
    double BoresightBearingDeg = 0;
    double DownTiltDeg = 0;
    TGroundDistance BeamHit;
    TGroundDistance Inner3Db;
    TGroundDistance Outer3Db;
    TGroundDistance FirstNull;
    // Received level in dBm along boresight every 10 m from 10 m to the radius.
    std::vector<double> ProfileDistanceM;
    std::vector<double> ProfileLevelDbm;
    // The grid: points at multiples of the step from -radius to radius on both axes, rows from
    // y = +radius down, columns from x = -radius; received level in dBm.
    int GridSide = 0;
    double StepM = 0;
    std::vector<float> GridLevelDbm;  // GridSide * GridSide, row after row
    double GridX(int column) const;
    double GridY(int row) const;
    double GridLevel(int row, int column) const;  // throws EListError outside the grid
};

// The frequency a site computes with: its own, else the pattern's, else 1800 MHz.
double CoverageFrequencyMhz(const TPatternData& pattern, const TCoverageSite& site);

// Computes the coverage of `pattern` at `site` on all cores. Throws EInvalidOp with
// CoverageSiteProblem's text for a site that cannot be computed. The pattern's offset angles
// turn and tilt the antenna as they turn its curves and its 3D surface. With an estimate,
// points in the antenna's vertical plane (the boresight line, behind the mast and the mast's
// foot) read the vertical cut itself: the cut-sum estimate differs from it behind the
// antenna.
TCoverage ComputeCoverage(const TPatternData& pattern, const TCoverageSite& site);

}  // namespace ostrel
