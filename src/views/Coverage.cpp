#include "views/Coverage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <numbers>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PatternData.h"

namespace ostrel {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180;
constexpr double kDegPerRad = 180 / std::numbers::pi;
constexpr double kFallbackFrequencyMhz = 1800;
constexpr double kProfileStepM = 10;
// Bounds that keep a grid and a profile within memory and time.
constexpr double kLargestRadiusKm = 100;
constexpr int kLargestGridSide = 4001;
// Bounds that keep every length, square and level finite, in doubles and in the grid's
// floats: an antenna 1e200 m up or a receiver 1e-300 m below it has no coverage to show.
constexpr double kLargestHeightM = 100000;
constexpr double kSmallestClearanceM = 0.001;
constexpr double kLargestPowerDbm = 1000;
constexpr int kCutPoints = 361;
// A count of steps that lands exactly on the radius must not lose its last point to the
// rounding of the division.
constexpr double kCountSlack = 1e-9;

std::string FiniteProblem(const char* option, const char* what, double value) {
    if (std::isfinite(value)) return {};
    return std::string(option) + ": the " + what + " must be a finite number";
}

}  // namespace

double CoverageFrequencyMhz(const TPatternData& pattern, const TCoverageSite& site) {
    if (site.FrequencyMhz) return *site.FrequencyMhz;
    // A file that states a frequency of 0 states none.
    if (!pattern.Frequency.GetIsNull() && pattern.Frequency.Value > 0)
        return pattern.Frequency.Value;
    return kFallbackFrequencyMhz;
}

namespace {

// Whole steps within a length, as a double: a tiny step makes more than an int holds, and
// the site check must see that count before anything is cast.
double StepsWithin(double lengthM, double stepM) {
    return std::floor(lengthM / stepM * (1 + kCountSlack));
}

// An angle taken into -180..180, exactly, however large: a tilt is a turn of the antenna,
// and a tilt of 1e300 degrees must still name one direction for every part of the result.
double TurnAngle(double angleDeg) {
    return std::remainder(angleDeg, 360);
}

// The vertical cut's front half (-90..90 degrees) as the key distances read it.
class TFrontHalf {
public:
    explicit TFrontHalf(const TRealPointList& cut) {
        if (cut.Count() != kCutPoints) throw EListError::IndexOutOfBounds(cut.Count());
        for (int angle = -90; angle <= 90; ++angle)
            FLevels[static_cast<size_t>(angle + 90)] = cut.PointAt(angle + 180).Y;
        const double highest = *std::max_element(FLevels.begin(), FLevels.end());
        // Among equal levels the one nearest 0 degrees wins, then the smaller angle.
        for (int distance = 0; distance <= 90; ++distance) {
            if (At(-distance) == highest || At(distance) == highest) {
                FPeakAngle = At(-distance) == highest ? -distance : distance;
                break;
            }
        }
        FThreshold = highest - 3;
    }

    int PeakAngle() const { return FPeakAngle; }

    // The -3 dB crossing from the peak along `dir` (+1 down, -1 up): where the level first
    // drops below peak - 3 dB, linear between that 1 degree point and the one before it.
    std::optional<double> Crossing(int dir) const {
        const std::optional<int> below = FirstBelow(dir);
        if (!below) return std::nullopt;
        const double level = At(*below);
        const double before = At(*below - dir);
        return *below - dir + dir * (before - FThreshold) / (before - level);
    }

    // The first local minimum below the main lobe: from the first point below the
    // -3 dB level downwards, the 1 degree point after which the cut rises.
    std::optional<int> FirstNull() const {
        const std::optional<int> below = FirstBelow(+1);
        if (!below) return std::nullopt;
        for (int angle = *below + 1; angle <= 90; ++angle) {
            if (At(angle) > At(angle - 1)) return angle - 1;
        }
        return std::nullopt;
    }

private:
    double At(int angle) const { return FLevels[static_cast<size_t>(angle + 90)]; }

    std::optional<int> FirstBelow(int dir) const {
        for (int angle = FPeakAngle + dir; angle >= -90 && angle <= 90; angle += dir) {
            if (At(angle) < FThreshold) return angle;
        }
        return std::nullopt;
    }

    std::array<double, 181> FLevels{};
    int FPeakAngle = 0;
    double FThreshold = 0;
};

TGroundDistance GroundDistance(std::optional<double> angleDeg, double tiltDeg,
                               double heightDifferenceM) {
    if (!angleDeg) return {};
    // Below the horizon means between straight ahead and straight behind (0 and 180
    // degrees down, both excluded); a tilt past 90 degrees turns the antenna over, and
    // 200 degrees down points 20 degrees above the horizon behind the mast.
    const double below = TurnAngle(*angleDeg + tiltDeg);
    if (!(below > 0 && below < 180)) return {TGroundDistance::TKind::Horizon, 0};
    return {TGroundDistance::TKind::Metres, heightDifferenceM / std::tan(below * kRadPerDeg)};
}

// The received level at ground points, given in the antenna's turned plan frame: `along`
// its boresight and `across` to its right.
class TLevelField {
public:
    TLevelField(const TPatternData& pattern, const TCoverage& coverage, const TCoverageSite& site)
        : FPattern(pattern),
          FEstimate(pattern, coverage.Levels == TCoverageLevels::CutSum
                                 ? TSurfaceMethod::CutSum
                                 : TSurfaceMethod::WeightedBilinear),
          FMeasured(coverage.Levels == TCoverageLevels::Measured),
          FLoss(coverage.Model, coverage.FrequencyMhz, site.HeightM, site.RxHeightM),
          FHeightDifferenceM(site.HeightM - site.RxHeightM),
          FCosTilt(std::cos(TurnAngle(coverage.DownTiltDeg) * kRadPerDeg)),
          FSinTilt(std::sin(TurnAngle(coverage.DownTiltDeg) * kRadPerDeg)),
          FOffsetDbm(site.PowerDbm + coverage.GainDbi) {}

    double operator()(double alongM, double acrossM) const {
        // Plain square roots: lengths in metres cannot overflow, and std::hypot's care
        // for that is slow.
        const double distanceM = std::sqrt(alongM * alongM + acrossM * acrossM);
        const double length =
            std::sqrt(distanceM * distanceM + FHeightDifferenceM * FHeightDifferenceM);
        const double forward = alongM / length;
        const double right = acrossM / length;
        const double up = -FHeightDifferenceM / length;
        // The same direction on the antenna's axes, tilted down by the total tilt.
        const double forwardT = forward * FCosTilt - up * FSinTilt;
        const double upT = forward * FSinTilt + up * FCosTilt;
        return FOffsetDbm + PatternLevel(forwardT, right, upT) - FLoss(distanceM / 1000);
    }

private:
    double PatternLevel(double forward, double right, double up) const {
        if (FMeasured)
            return FPattern.Sphere->Level(TSphereComponent::Total, Azimuth(forward, right),
                                          Vertical(up));
        // In the antenna's vertical plane the cut itself is the level, whatever an estimate
        // would make of it behind the antenna or straight below.
        if (right == 0)
            return CutLevelAt(FPattern.VerticalCut, std::atan2(-up, forward) * kDegPerRad);
        return FEstimate(Azimuth(forward, right), Vertical(up));
    }

    static double Azimuth(double forward, double right) {
        return std::atan2(right, forward) * kDegPerRad;
    }
    static double Vertical(double up) { return std::asin(std::clamp(-up, -1.0, 1.0)) * kDegPerRad; }

    const TPatternData& FPattern;
    TSurfaceEstimate FEstimate;
    bool FMeasured;
    TPathLoss FLoss;
    double FHeightDifferenceM;
    double FCosTilt;
    double FSinTilt;
    double FOffsetDbm;
};

// Runs fill(first, last) over row ranges on every core; rethrows a worker's exception.
template <class TFill>
void FillRows(int rows, const TFill& fill) {
    const int workers =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::max(rows, 1));
    std::vector<std::exception_ptr> failures(static_cast<size_t>(workers));
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(workers));
    for (int worker = 0; worker < workers; ++worker) {
        const int first = rows * worker / workers;
        const int last = rows * (worker + 1) / workers;
        auto work = [&fill, &failures, worker, first, last] {
            try {
                fill(first, last);
            } catch (...) {
                failures[static_cast<size_t>(worker)] = std::current_exception();
            }
        };
        // A system out of threads must not end the program (a joinable thread left behind
        // by a throw would): this thread does those rows itself.
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            work();
        }
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace

const char* CoverageLevelsName(TCoverageLevels levels) {
    switch (levels) {
        case TCoverageLevels::Measured:
            return "measured";
        case TCoverageLevels::CutSum:
            return "cutsum";
        case TCoverageLevels::WeightedBilinear:
            break;
    }
    return "wbi";
}

std::string CoverageSiteProblem(const TPatternData& pattern, const TCoverageSite& site) {
    for (const std::string& problem :
         {FiniteProblem("--height", "antenna height", site.HeightM),
          FiniteProblem("--rx-height", "receiver height", site.RxHeightM),
          FiniteProblem("--mech-tilt", "mechanical tilt", site.MechTiltDeg),
          FiniteProblem("--power", "power", site.PowerDbm),
          FiniteProblem("--radius", "radius", site.RadiusKm),
          FiniteProblem("--step", "grid step", site.StepM),
          FiniteProblem("--frequency", "frequency", site.FrequencyMhz.value_or(0))}) {
        if (!problem.empty()) return problem;
    }
    if (site.RxHeightM < 0) return "--rx-height: the receiver cannot be below the ground";
    if (site.HeightM > kLargestHeightM)
        return "--height: at most " + FormatGeneral(kLargestHeightM) + " m";
    if (!(site.HeightM - site.RxHeightM >= kSmallestClearanceM))
        return "--height: the antenna must be above the receiver, by 1 mm at least (" +
               FormatGeneral(site.HeightM) + " m, receiver " + FormatGeneral(site.RxHeightM) +
               " m)";
    if (std::fabs(site.PowerDbm) > kLargestPowerDbm)
        return "--power: at most " + FormatGeneral(kLargestPowerDbm) + " dBm either way";
    if (site.FrequencyMhz && *site.FrequencyMhz <= 0)
        return "--frequency: the frequency must be above 0 MHz";
    if (site.RadiusKm <= 0) return "--radius: the radius must be above 0 km";
    if (site.RadiusKm > kLargestRadiusKm)
        return "--radius: at most " + FormatGeneral(kLargestRadiusKm) + " km";
    if (site.StepM <= 0) return "--step: the grid step must be above 0 m";
    if (2 * StepsWithin(site.RadiusKm * 1000, site.StepM) + 1 > kLargestGridSide)
        return "--step: a step of " + FormatGeneral(site.StepM) + " m makes more than " +
               FormatGeneral(kLargestGridSide) + " points across " +
               FormatGeneral(2 * site.RadiusKm) + " km";
    if (site.Levels == TCoverageLevels::Measured && !pattern.Sphere)
        return "--method: the file holds two cuts, no measured sphere; use cutsum or wbi";
    return {};
}

std::string CoverageFieldProblem(const std::string& problem) {
    static const std::pair<std::string_view, std::string_view> kFields[] = {
        {"--height", "Height"},
        {"--rx-height", "Receiver height"},
        {"--mech-tilt", "Mechanical tilt"},
        {"--power", "Power"},
        {"--radius", "Radius"},
        {"--step", "Step"},
        {"--method", "Levels"},
        {"--frequency", "Frequency"}};
    for (const auto& [option, field] : kFields) {
        if (problem.starts_with(std::string(option) + ": "))
            return std::string(field) + problem.substr(option.size());
    }
    return problem;
}

std::string GroundDistanceText(const TGroundDistance& distance) {
    switch (distance.Kind) {
        case TGroundDistance::TKind::Metres: {
            std::string text = FormatFixed(1, distance.Metres);
            if (text == "-0.0") text.erase(0, 1);
            return text;
        }
        case TGroundDistance::TKind::Horizon:
            return "horizon";
        case TGroundDistance::TKind::None:
            break;
    }
    return "none";
}

double TCoverage::GridX(int column) const {
    return (column - GridSide / 2) * StepM;
}

double TCoverage::GridY(int row) const {
    return (GridSide / 2 - row) * StepM;
}

double TCoverage::GridLevel(int row, int column) const {
    if (row < 0 || row >= GridSide) throw EListError::IndexOutOfBounds(row);
    if (column < 0 || column >= GridSide) throw EListError::IndexOutOfBounds(column);
    return GridLevelDbm[static_cast<size_t>(row) * static_cast<size_t>(GridSide) +
                        static_cast<size_t>(column)];
}

TCoverage ComputeCoverage(const TPatternData& pattern, const TCoverageSite& site) {
    const std::string problem = CoverageSiteProblem(pattern, site);
    if (!problem.empty()) throw EInvalidOp(problem);

    TCoverage coverage;
    coverage.FrequencyMhz = CoverageFrequencyMhz(pattern, site);
    coverage.Model = site.Model.value_or(DefaultPathModel(coverage.FrequencyMhz));
    coverage.Levels = site.Levels.value_or(pattern.Sphere ? TCoverageLevels::Measured
                                                          : TCoverageLevels::WeightedBilinear);
    coverage.RangeNote =
        PathModelRangeNote(coverage.Model, coverage.FrequencyMhz, site.HeightM, site.RxHeightM);
    coverage.GainStated = !pattern.Gain.GetIsNull();
    coverage.GainDbi = coverage.GainStated ? pattern.Gain.Value : 0;
    coverage.BoresightBearingDeg = pattern.HRotationOffset;
    coverage.DownTiltDeg = site.MechTiltDeg + pattern.VRotationOffset;

    const double heightDifferenceM = site.HeightM - site.RxHeightM;
    const TFrontHalf front(pattern.VerticalCut);
    const double tilt = coverage.DownTiltDeg;
    coverage.BeamHit = GroundDistance(front.PeakAngle(), tilt, heightDifferenceM);
    coverage.Inner3Db = GroundDistance(front.Crossing(+1), tilt, heightDifferenceM);
    coverage.Outer3Db = GroundDistance(front.Crossing(-1), tilt, heightDifferenceM);
    const std::optional<int> null = front.FirstNull();
    coverage.FirstNull =
        GroundDistance(null ? std::optional<double>(*null) : std::nullopt, tilt, heightDifferenceM);

    const TLevelField level(pattern, coverage, site);
    const double radiusM = site.RadiusKm * 1000;
    const int profilePoints = static_cast<int>(StepsWithin(radiusM, kProfileStepM));
    for (int k = 1; k <= profilePoints; ++k) {
        coverage.ProfileDistanceM.push_back(k * kProfileStepM);
        coverage.ProfileLevelDbm.push_back(level(k * kProfileStepM, 0));
    }

    const int half = static_cast<int>(StepsWithin(radiusM, site.StepM));
    coverage.GridSide = 2 * half + 1;
    coverage.StepM = site.StepM;
    const size_t side = static_cast<size_t>(coverage.GridSide);
    coverage.GridLevelDbm.assign(side * side, 0.0F);
    // A turn of the antenna by the horizontal offset, clockwise seen from above.
    const double sinTurn = std::sin(TurnAngle(pattern.HRotationOffset) * kRadPerDeg);
    const double cosTurn = std::cos(TurnAngle(pattern.HRotationOffset) * kRadPerDeg);
    FillRows(coverage.GridSide, [&](int firstRow, int lastRow) {
        for (int row = firstRow; row < lastRow; ++row) {
            const double y = coverage.GridY(row);
            float* out = &coverage.GridLevelDbm[static_cast<size_t>(row) * side];
            for (int column = 0; column < coverage.GridSide; ++column) {
                const double x = coverage.GridX(column);
                const double along = x * sinTurn + y * cosTurn;
                double across = x * cosTurn - y * sinTurn;
                // A point on the turned boresight line is in the vertical plane, whatever
                // the rounding of the turn's sine and cosine.
                if (std::fabs(across) <= 1e-9 * (std::fabs(x) + std::fabs(y))) across = 0;
                out[column] = static_cast<float>(level(along, across));
            }
        }
    });
    return coverage;
}

}  // namespace ostrel
