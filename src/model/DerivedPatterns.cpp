#include "model/DerivedPatterns.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/Errors.h"
#include "model/NumberText.h"
#include "model/PatternFigures.h"

namespace ostrel {

namespace {

constexpr int kCutPoints = 361;
constexpr int kDirections = 360;

std::string Quoted(const TPatternData& pattern) {
    return "'" + DisplayName(pattern, false) + "'";
}

// Every operation walks the three cuts point by point; a record filled by hand or cut short
// would read past its end.
void CheckFullCuts(const TPatternData& pattern, const char* operation) {
    for (const TRealPointList* cut :
         {&pattern.AzimuthCut, &pattern.VerticalCut, &pattern.HorizontalCut}) {
        if (cut->Count() != kCutPoints) {
            throw EInvalidOp(std::string(operation) + ": pattern " + Quoted(pattern) +
                             " has no full cuts");
        }
    }
}

double RequiredGain(const TPatternData& pattern, const char* operation) {
    if (pattern.Gain.GetIsNull()) {
        throw EInvalidOp(std::string(operation) + ": pattern " + Quoted(pattern) + " has no gain");
    }
    return pattern.Gain.Value;
}

// A figure the patterns all state alike, else none.
void SetCommon(TDoubleObject& dest, const std::vector<const TPatternData*>& patterns,
               const TDoubleObject TPatternData::*field) {
    const TDoubleObject& first = patterns.front()->*field;
    for (const TPatternData* pattern : patterns) {
        const TDoubleObject& value = pattern->*field;
        if (value.GetIsNull() || value.Value != first.Value) return;
    }
    dest.SetValue(first.Value);
}

std::string CommonText(const std::vector<const TPatternData*>& patterns,
                       const std::string TPatternData::*field) {
    const std::string& first = patterns.front()->*field;
    for (const TPatternData* pattern : patterns) {
        if (pattern->*field != first) return std::string();
    }
    return first;
}

// A new derived record: what the sources share is kept, the header's widths and F/B stay
// unknown (the figures of the cuts say what they are), no file and no sphere stand behind it.
std::unique_ptr<TPatternData> NewDerived(const std::vector<const TPatternData*>& sources,
                                         std::string name) {
    auto result = std::make_unique<TPatternData>();
    result->FileName = std::move(name);
    result->Derived = true;
    SetCommon(result->Frequency, sources, &TPatternData::Frequency);
    SetCommon(result->ElectricalTilt, sources, &TPatternData::ElectricalTilt);
    result->AzimuthPolarization = CommonText(sources, &TPatternData::AzimuthPolarization);
    result->VerticalPolarization = CommonText(sources, &TPatternData::VerticalPolarization);
    result->Make = CommonText(sources, &TPatternData::Make);
    result->Model = CommonText(sources, &TPatternData::Model);
    return result;
}

void SetLevels(TRealPointList& cut, const std::vector<double>& levels) {
    std::vector<TRealPoint> points(levels.size());
    for (size_t k = 0; k < levels.size(); ++k) {
        points[k] = {static_cast<double>(k) - 180, levels[k]};
    }
    cut.Assign(std::move(points));
}

void FinishCuts(TPatternData& result) {
    result.HorizontalCut.Clear();
    BuildHorizontalCut(result.AzimuthCut, result.VerticalCut, result.HorizontalCut);
    result.CutsChanged();
}

const TDoubleObject& AxisValue(const TPatternData& pattern, TInterpolationAxis axis) {
    return axis == TInterpolationAxis::Frequency ? pattern.Frequency : pattern.ElectricalTilt;
}

std::string AxisValueText(TInterpolationAxis axis, double value) {
    return axis == TInterpolationAxis::Frequency ? FormatGeneral(value) + " MHz"
                                                 : FormatGeneral(value) + "\u00b0 tilt";
}

const char* AxisName(TInterpolationAxis axis) {
    return axis == TInterpolationAxis::Frequency ? "frequency" : "electrical tilt";
}

// A magnitude for the tie rule, in units of 1e-9 dB: d is a difference of two sums, and
// two angles whose levels differ by the same amount in a file's decimals rarely give the
// same bits (|(15.7 - 15.3) - (17.2 - 19.9)| and |(15.7 - 1.8) - (17.2 - 0.2)| differ by
// 3e-15), so equal means equal to far below any file's resolution.
double TieMagnitude(double d) {
    return std::round(std::fabs(d) * 1e9);
}

// The d of largest magnitude wins; among equal magnitudes the angle nearest 0 degrees, then
// the smaller angle.
bool BeatsMaximum(double d, double angleDeg, double bestD, double bestAngleDeg) {
    if (TieMagnitude(d) != TieMagnitude(bestD)) return TieMagnitude(d) > TieMagnitude(bestD);
    if (std::fabs(angleDeg) != std::fabs(bestAngleDeg))
        return std::fabs(angleDeg) < std::fabs(bestAngleDeg);
    return angleDeg < bestAngleDeg;
}

double Rms(double sumOfSquares, int count) {
    return std::sqrt(sumOfSquares / count);
}

TCutComparison CompareCut(const TRealPointList& reference, double referenceGain,
                          const TRealPointList& other, double otherGain, bool verticalCut) {
    TCutComparison result;
    result.DifferenceDb.resize(kCutPoints);
    double sumOfSquares = 0;
    for (int k = 0; k < kCutPoints; ++k) {
        const double d =
            (otherGain + other.PointAt(k).Y) - (referenceGain + reference.PointAt(k).Y);
        const double angleDeg = k - 180;
        result.DifferenceDb[static_cast<size_t>(k)] = d;
        if (k == 0 ||
            BeatsMaximum(d, angleDeg, result.MaxDifferenceDb, result.MaxDifferenceAngleDeg)) {
            result.MaxDifferenceDb = d;
            result.MaxDifferenceAngleDeg = angleDeg;
        }
        if (k < kDirections) sumOfSquares += d * d;
    }
    result.RmsDb = Rms(sumOfSquares, kDirections);

    // The reference's main lobe down to -10 dB; the whole cut when a side never gets there.
    const std::optional<TLobeExtent> lobe = MainLobeExtent(reference, verticalCut, 10);
    if (!lobe) {
        result.RmsMainLobeDb = result.RmsDb;
        return result;
    }
    double lobeSum = 0;
    for (int step = -lobe->LowerSteps; step <= lobe->UpperSteps; ++step) {
        const int index = ((lobe->PeakIndex + step) % kDirections + kDirections) % kDirections;
        const double d = result.DifferenceDb[static_cast<size_t>(index)];
        lobeSum += d * d;
    }
    result.RmsMainLobeDb = Rms(lobeSum, lobe->LowerSteps + lobe->UpperSteps + 1);
    return result;
}

}  // namespace

std::unique_ptr<TPatternData> EnvelopePattern(const std::vector<const TPatternData*>& patterns) {
    if (patterns.size() < 2) throw EInvalidOp("Envelope: it needs two or more patterns");
    if (std::find(patterns.begin(), patterns.end(), nullptr) != patterns.end()) {
        throw EInvalidOp("Envelope: a pattern is missing");
    }
    for (const TPatternData* pattern : patterns) {
        CheckFullCuts(*pattern, "Envelope");
        RequiredGain(*pattern, "Envelope");
    }

    // E per angle in dBi over the patterns, for the azimuth and the vertical cut.
    std::vector<double> azimuth(kCutPoints, -HUGE_VAL);
    std::vector<double> vertical(kCutPoints, -HUGE_VAL);
    for (const TPatternData* pattern : patterns) {
        const double gain = pattern->Gain.Value;
        for (int k = 0; k < kCutPoints; ++k) {
            const size_t i = static_cast<size_t>(k);
            azimuth[i] = std::max(azimuth[i], gain + pattern->AzimuthCut.PointAt(k).Y);
            vertical[i] = std::max(vertical[i], gain + pattern->VerticalCut.PointAt(k).Y);
        }
    }
    const double gain = std::max(*std::max_element(azimuth.begin(), azimuth.end()),
                                 *std::max_element(vertical.begin(), vertical.end()));
    if (!std::isfinite(gain)) throw EInvalidOp("Envelope: the gains and levels are not finite");
    for (double& level : azimuth) level -= gain;
    for (double& level : vertical) level -= gain;

    auto result = NewDerived(patterns, "Envelope of " + std::to_string(patterns.size()));
    result->ElectricalTilt = TDoubleObject();
    result->Gain.SetValue(gain);
    SetLevels(result->AzimuthCut, azimuth);
    SetLevels(result->VerticalCut, vertical);
    FinishCuts(*result);
    return result;
}

std::unique_ptr<TPatternData> InterpolatePattern(const TPatternData& a, const TPatternData& b,
                                                 TInterpolationAxis axis, double value) {
    const char* operation = "Interpolation";
    CheckFullCuts(a, operation);
    CheckFullCuts(b, operation);
    for (const TPatternData* pattern : {&a, &b}) {
        if (AxisValue(*pattern, axis).GetIsNull()) {
            throw EInvalidOp(std::string(operation) + ": pattern " + Quoted(*pattern) + " has no " +
                             AxisName(axis));
        }
    }
    if (!std::isfinite(value)) throw EInvalidOp(std::string(operation) + ": no value given");
    const double xA = AxisValue(a, axis).Value;
    const double xB = AxisValue(b, axis).Value;
    if (xA == xB) {
        throw EInvalidOp(std::string(operation) + ": both patterns have the " + AxisName(axis) +
                         " " + AxisValueText(axis, xA));
    }
    if (value < std::min(xA, xB) || value > std::max(xA, xB)) {
        throw EInvalidOp(std::string(operation) + ": " + AxisValueText(axis, value) +
                         " lies outside " + AxisValueText(axis, std::min(xA, xB)) + " to " +
                         AxisValueText(axis, std::max(xA, xB)));
    }
    const double t = (value - xA) / (xB - xA);
    auto mix = [t](double levelA, double levelB) { return (1 - t) * levelA + t * levelB; };

    auto result = NewDerived({&a, &b}, DisplayName(a, false) + " \u2194 " + DisplayName(b, false) +
                                           " at " + AxisValueText(axis, value));
    for (TRealPointList TPatternData::*cut :
         {&TPatternData::AzimuthCut, &TPatternData::VerticalCut}) {
        std::vector<double> levels(kCutPoints);
        for (int k = 0; k < kCutPoints; ++k) {
            levels[static_cast<size_t>(k)] = mix((a.*cut).PointAt(k).Y, (b.*cut).PointAt(k).Y);
        }
        SetLevels((*result).*cut, levels);
    }
    // The horizontal cut follows linearly too: it is the azimuth cut shifted by the two cuts'
    // levels at 0 degrees, all three mixed with the same weights.
    FinishCuts(*result);
    // A gain only when both state one: a level relative to an unknown gain mixes with nothing.
    if (!a.Gain.GetIsNull() && !b.Gain.GetIsNull()) {
        result->Gain.SetValue(mix(a.Gain.Value, b.Gain.Value));
    }
    (axis == TInterpolationAxis::Frequency ? result->Frequency : result->ElectricalTilt)
        .SetValue(value);
    return result;
}

TPatternComparison ComparePatterns(const TPatternData& a, const TPatternData& b, bool relative) {
    const char* operation = "Comparison";
    CheckFullCuts(a, operation);
    CheckFullCuts(b, operation);
    const double gainA = relative ? 0 : RequiredGain(a, operation);
    const double gainB = relative ? 0 : RequiredGain(b, operation);
    TPatternComparison result;
    result.Relative = relative;
    result.Azimuth = CompareCut(a.AzimuthCut, gainA, b.AzimuthCut, gainB, false);
    result.Vertical = CompareCut(a.VerticalCut, gainA, b.VerticalCut, gainB, true);
    result.Horizontal = CompareCut(a.HorizontalCut, gainA, b.HorizontalCut, gainB, false);
    return result;
}

}  // namespace ostrel
