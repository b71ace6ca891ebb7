#include "model/PatternFigures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PatternData.h"

namespace ostrel {

namespace {

constexpr int kDirections = 360;
// The back lobe: within 30 degrees of the back direction, in steps from the peak.
constexpr int kBackFirst = 150;
constexpr int kBackLast = 210;

// The 360 distinct directions of a cut (-180 and 180 are one), walked from the peak.
class TCutRing {
public:
    // False when the cut is not a full 361-point cut (a record filled by hand).
    bool Load(const TRealPointList& cut) {
        const std::vector<TRealPoint>& points = cut.Points();
        if (points.size() < kDirections) return false;
        double highest = points[0].Y;
        for (size_t i = 0; i < kDirections; ++i) {
            FLevels[i] = points[i].Y;
            highest = std::max(highest, FLevels[i]);
        }
        FindPeak(highest);
        return true;
    }

    double PeakLevel() const { return FPeakLevel; }
    int PeakAngle() const { return FPeakIndex - 180; }
    int PeakIndex() const { return FPeakIndex; }

    // The level `steps` degrees from the peak (negative steps: towards smaller angles);
    // every walk stays within one turn each way.
    double At(int steps) const {
        if (steps < -kDirections || steps >= kDirections) throw EListError::IndexOutOfBounds(steps);
        return FFromPeak[static_cast<size_t>(steps + kDirections)];
    }

    // Degrees from the peak (along `dir`, +1 or -1) to where the level first drops strictly
    // below peak - dropDb, interpolated linearly between that point and the one before it.
    std::optional<double> Crossing(int dir, double dropDb, int maxSteps) const {
        const std::optional<int> below = StepsBelow(dir, dropDb, maxSteps);
        if (!below) return std::nullopt;
        const double threshold = FPeakLevel - dropDb;
        const double level = At(dir * *below);
        const double before = At(dir * (*below - 1));
        return *below - 1 + (before - threshold) / (before - level);
    }

    // Steps from the peak along `dir` to the first null: once the level is below peak - 3 dB,
    // the last point before it first rises strictly. Ripple and shoulders within the main
    // lobe are no nulls. `allowed(k)` says whether step k is still within the walk.
    template <class TAllowed>
    std::optional<int> FirstNull(int dir, TAllowed allowed) const {
        const std::optional<int> below = FirstBelow(dir, 3, allowed);
        if (!below) return std::nullopt;
        return WalkFrom(*below, dir, allowed,
                        [](double level, double before) { return level > before; });
    }

    // Steps from the peak to the first side lobe beyond the null at `nullSteps`: the last
    // point before the level first falls strictly.
    template <class TAllowed>
    std::optional<int> FirstSideLobe(int nullSteps, int dir, TAllowed allowed) const {
        return WalkFrom(nullSteps, dir, allowed,
                        [](double level, double before) { return level < before; });
    }

    // Steps from the peak along `dir` to the first point strictly below peak - dropDb, within
    // `maxSteps`.
    std::optional<int> StepsBelow(int dir, double dropDb, int maxSteps) const {
        return FirstBelow(dir, dropDb, [maxSteps](int k) { return k <= maxSteps; });
    }

private:
    // Steps from the peak along `dir` to the first point strictly below peak - dropDb.
    template <class TAllowed>
    std::optional<int> FirstBelow(int dir, double dropDb, TAllowed allowed) const {
        const double threshold = FPeakLevel - dropDb;
        for (int k = 1; allowed(k); ++k) {
            if (At(dir * k) < threshold) return k;
        }
        return std::nullopt;
    }

    // Among equal levels the one nearest 0 degrees wins, then the smaller angle: search
    // outwards from 0 degrees, the negative side first.
    void FindPeak(double highest) {
        FPeakLevel = highest;
        FPeakIndex = 0;  // -180 degrees, the last one reached
        for (int distance = 0; distance < 180; ++distance) {
            if (FLevels[static_cast<size_t>(180 - distance)] == highest) {
                FPeakIndex = 180 - distance;
                break;
            }
            if (FLevels[static_cast<size_t>(180 + distance)] == highest) {
                FPeakIndex = 180 + distance;
                break;
            }
        }
        // Two turns laid out from one turn before the peak, so that walks need no modulo.
        const auto peak = FLevels.begin() + FPeakIndex;
        auto out = std::copy(peak, FLevels.end(), FFromPeak.begin());
        out = std::copy(FLevels.begin(), FLevels.end(), out);
        std::copy(FLevels.begin(), peak, out);
    }

    template <class TAllowed, class TTurns>
    std::optional<int> WalkFrom(int startSteps, int dir, TAllowed allowed, TTurns turns) const {
        for (int k = startSteps + 1; allowed(k); ++k) {
            if (turns(At(dir * k), At(dir * (k - 1)))) return k - 1;
        }
        return std::nullopt;
    }

    std::array<double, kDirections> FLevels{};
    std::array<double, 2 * kDirections> FFromPeak{};
    int FPeakIndex = 0;
    double FPeakLevel = 0;
};

std::optional<double> Width(const TCutRing& ring, double dropDb, int maxSteps,
                            std::optional<TBeamCrossings>* crossings) {
    const std::optional<double> lower = ring.Crossing(-1, dropDb, maxSteps);
    const std::optional<double> upper = ring.Crossing(+1, dropDb, maxSteps);
    if (!lower || !upper) return std::nullopt;
    if (crossings)
        *crossings = TBeamCrossings{ring.PeakAngle() - *lower, ring.PeakAngle() + *upper};
    return *lower + *upper;
}

void SetPeakAndWidths(const TCutRing& ring, int maxSteps, TCutFigures& figures) {
    figures.Computed = true;
    figures.PeakLevel = ring.PeakLevel();
    figures.PeakAngle = ring.PeakAngle();
    figures.Width3Db = Width(ring, 3, maxSteps, &figures.Crossings3Db);
    figures.Width10Db = Width(ring, 10, maxSteps, nullptr);
}

std::optional<double> PeakAngleOf(const TCutFigures& figures) {
    if (!figures.Computed) return std::nullopt;
    return figures.PeakAngle;
}

}  // namespace

THorzFigures ComputeHorzFigures(const TRealPointList& cut) {
    THorzFigures figures;
    TCutRing ring;
    // The walks wrap around; they end before coming back to the peak.
    const int maxSteps = kDirections - 1;
    if (!ring.Load(cut)) return figures;
    SetPeakAndWidths(ring, maxSteps, figures);
    const double peak = ring.PeakLevel();

    double backMax = ring.At(kBackFirst);
    for (int k = kBackFirst + 1; k <= kBackLast; ++k) backMax = std::max(backMax, ring.At(k));
    figures.FrontToBack30 = peak - backMax;
    figures.FrontToBack180 = peak - ring.At(180);

    auto allowed = [maxSteps](int k) { return k <= maxSteps; };
    const std::optional<int> upperNull = ring.FirstNull(+1, allowed);
    const std::optional<int> lowerNull = ring.FirstNull(-1, allowed);
    if (upperNull && lowerNull) {
        // Outside the main lobe (from one null to the other, both included) and outside the
        // back lobe that F/B 30 already describes; the steps up to the lower null, the long
        // way round.
        std::optional<double> highest;
        for (int k = *upperNull + 1; k < kDirections - *lowerNull; ++k) {
            if (k >= kBackFirst && k <= kBackLast) continue;
            highest = std::max(highest.value_or(ring.At(k)), ring.At(k));
        }
        if (highest) figures.PeakSideLobe = *highest - peak;
    }
    return figures;
}

TVertFigures ComputeVertFigures(const TRealPointList& cut) {
    TVertFigures figures;
    TCutRing ring;
    if (!ring.Load(cut)) return figures;
    SetPeakAndWidths(ring, 180, figures);
    const double peak = ring.PeakLevel();
    const int peakAngle = ring.PeakAngle();

    // Nulls and side lobes lie between straight up and straight down; a cut that peaks
    // beyond them (backwards) has none.
    const bool peakInside = std::abs(peakAngle) <= 90;
    auto upwards = [=](int k) { return peakInside && peakAngle - k >= -90; };
    auto downwards = [=](int k) { return peakInside && peakAngle + k <= 90; };
    if (const std::optional<int> upperNull = ring.FirstNull(-1, upwards)) {
        if (const std::optional<int> lobe = ring.FirstSideLobe(*upperNull, -1, upwards)) {
            figures.UpperSideLobeSuppression = peak - ring.At(-*lobe);
        }
    }
    if (const std::optional<int> lowerNull = ring.FirstNull(+1, downwards)) {
        figures.FirstNullFill = ring.At(*lowerNull) - peak;
    }
    return figures;
}

std::optional<TLobeExtent> MainLobeExtent(const TRealPointList& cut, bool verticalCut,
                                          double dropDb) {
    TCutRing ring;
    if (cut.Count() != kDirections + 1 || !ring.Load(cut)) return std::nullopt;
    const int maxSteps = verticalCut ? 180 : kDirections - 1;
    const std::optional<int> lower = ring.StepsBelow(-1, dropDb, maxSteps);
    const std::optional<int> upper = ring.StepsBelow(+1, dropDb, maxSteps);
    if (!lower || !upper) return std::nullopt;
    return TLobeExtent{ring.PeakIndex(), *lower - 1, *upper - 1};
}

TPatternFigures ComputePatternFigures(const TPatternData& pattern, bool useAzimuth) {
    TPatternFigures figures;
    figures.Horz = ComputeHorzFigures(useAzimuth ? pattern.AzimuthCut : pattern.HorizontalCut);
    figures.Vert = ComputeVertFigures(pattern.VerticalCut);
    return figures;
}

std::string FigureText(const std::optional<double>& value, int decimals) {
    if (!value) return std::string();
    // A level a hair below the peak is no figure below zero.
    std::string text = FormatFixed(decimals, *value);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

namespace {

// A header beam width agrees within max(2 degrees, 10 %); a stated 360 degrees (or more)
// agrees with a cut that never drops by 3 dB.
void CheckWidth(const char* name, const TDoubleObject& header,
                const std::optional<double>& computed, std::vector<std::string>& problems) {
    if (header.GetIsNull() || header.Value == 0) return;
    const double stated = header.Value;
    if (!computed) {
        if (stated < 360)
            problems.push_back(std::string(name) + ' ' + FormatGeneral(stated) + " vs none");
        return;
    }
    if (std::fabs(stated - *computed) > std::max(2.0, 0.1 * std::fabs(stated))) {
        problems.push_back(std::string(name) + ' ' + FormatGeneral(stated) + " vs " +
                           FigureText(computed));
    }
}

}  // namespace

std::string HeaderCheckText(const TPatternData& pattern, const TPatternFigures& figures) {
    std::vector<std::string> problems;
    CheckWidth("h_width", pattern.HorzWidth, figures.Horz.Width3Db, problems);
    CheckWidth("v_width", pattern.VertWidth, figures.Vert.Width3Db, problems);
    if (!pattern.FrontToBack.GetIsNull() && figures.Horz.FrontToBack30) {
        // Makers quote either figure, some with a minus sign; either one within 3 dB agrees.
        const double stated = std::fabs(pattern.FrontToBack.Value);
        if (std::fabs(stated - *figures.Horz.FrontToBack30) > 3 &&
            std::fabs(stated - *figures.Horz.FrontToBack180) > 3) {
            problems.push_back("fb " + FormatGeneral(stated) + " vs " +
                               FigureText(figures.Horz.FrontToBack30) + "/" +
                               FigureText(figures.Horz.FrontToBack180));
        }
    }
    if (!pattern.ElectricalTilt.GetIsNull() && figures.Vert.Computed) {
        const double stated = pattern.ElectricalTilt.Value;
        if (std::fabs(stated - figures.Vert.PeakAngle) > 1) {
            problems.push_back("tilt " + FormatGeneral(stated) + " vs " +
                               FigureText(PeakAngleOf(figures.Vert)));
        }
    }
    std::string text;
    for (const std::string& problem : problems) {
        if (!text.empty()) text += "; ";
        text += problem;
    }
    return text;
}

namespace {

// A figure of the pattern's measured sphere, computed when first asked for; none without one.
std::optional<double> Sphere(const TPatternData& pattern, double TSphereFigures::*figure) {
    if (!pattern.Sphere) return std::nullopt;
    return pattern.Sphere->Figures().*figure;
}

std::optional<double> Sphere(const TPatternData& pattern,
                             std::optional<double> TSphereFigures::*figure) {
    if (!pattern.Sphere) return std::nullopt;
    return pattern.Sphere->Figures().*figure;
}

// The stated gain over the sphere's directivity.
std::optional<double> Efficiency(const TPatternData& pattern) {
    if (!pattern.Sphere || pattern.Gain.IsNull) return std::nullopt;
    return pattern.Gain.Value - pattern.Sphere->Figures().DirectivityDbi;
}

}  // namespace

const std::vector<TFigureColumn>& FigureColumns() {
    using F = const TPatternFigures&;
    using P = const TPatternData&;
    static const std::vector<TFigureColumn> columns = {
        {"h_width_3db", "H 3 dB width (\u00b0)", [](F f) { return f.Horz.Width3Db; }},
        {"h_width_10db", "H 10 dB width (\u00b0)", [](F f) { return f.Horz.Width10Db; }},
        {"squint", "Squint (\u00b0)", [](F f) { return PeakAngleOf(f.Horz); }},
        {"fb_30", "F/B 30 (dB)", [](F f) { return f.Horz.FrontToBack30; }},
        {"fb_180", "F/B 180 (dB)", [](F f) { return f.Horz.FrontToBack180; }},
        {"h_peak_sidelobe", "H peak SLL (dB)", [](F f) { return f.Horz.PeakSideLobe; }},
        {"v_width_3db", "V 3 dB width (\u00b0)", [](F f) { return f.Vert.Width3Db; }},
        {"v_width_10db", "V 10 dB width (\u00b0)", [](F f) { return f.Vert.Width10Db; }},
        {"tilt", "Tilt (\u00b0)", [](F f) { return PeakAngleOf(f.Vert); }},
        {"usls", "USLS (dB)", [](F f) { return f.Vert.UpperSideLobeSuppression; }},
        {"null_fill", "Null fill (dB)", [](F f) { return f.Vert.FirstNullFill; }},
        {"peak_azimuth", "Peak azimuth (\u00b0)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::PeakAzimuthDeg); }},
        {"peak_vertical", "Peak vertical (\u00b0)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::PeakVerticalDeg); }},
        {"directivity", "Directivity (dBi)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::DirectivityDbi); }, 3},
        {"efficiency", "Efficiency (dB)", nullptr, Efficiency, 2},
        {"eas_cell", "EAS cell (%)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::EasCell); }, 2},
        {"eas_int1", "EAS interference 1 (%)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::EasInt1); }, 2},
        {"eas_int2", "EAS interference 2 (%)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::EasInt2); }, 2},
        {"eas_int3", "EAS interference 3 (%)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::EasInt3); }, 2},
        {"eas_emf", "EAS EMF (%)", nullptr, [](P p) { return Sphere(p, &TSphereFigures::EasEmf); },
         2},
        {"eas_wasted", "EAS wasted (%)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::EasWasted); }, 2},
        {"rms_cutsum", "Cut sum RMS (dB)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::RmsCutSum); }, 2},
        {"max_cutsum", "Cut sum max (dB)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::MaxCutSum); }, 2},
        {"rms_wbi", "Weighted bilinear RMS (dB)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::RmsWeightedBilinear); }, 2},
        {"max_wbi", "Weighted bilinear max (dB)", nullptr,
         [](P p) { return Sphere(p, &TSphereFigures::MaxWeightedBilinear); }, 2},
    };
    return columns;
}

std::optional<double> FigureValue(const TFigureColumn& column, const TPatternData& pattern,
                                  THCut hCut) {
    return column.Value ? column.Value(pattern.Figures(hCut)) : column.PatternValue(pattern);
}

std::string FigureValueText(const TFigureColumn& column, const TPatternData& pattern, THCut hCut) {
    return FigureText(FigureValue(column, pattern, hCut), column.Decimals);
}

}  // namespace ostrel
