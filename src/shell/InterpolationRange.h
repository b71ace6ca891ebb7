#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/DerivedPatterns.h"
#include "model/PatternData.h"

namespace ostrel {

// What the Interpolate dialog may ask for between two patterns along one axis: the two
// patterns' values, lowest first, or why no value can be asked for (a pattern without the
// value, both at the same one).
struct TInterpolationRange {
    TInterpolationAxis Axis = TInterpolationAxis::Frequency;
    double LowValue = 0;
    double HighValue = 0;
    // "" when the range holds.
    std::string Problem;
};

TInterpolationRange InterpolationRangeOf(const TPatternData& a, const TPatternData& b,
                                         TInterpolationAxis axis);

// "MHz" for frequency, "°" for electrical tilt.
const char* AxisUnit(TInterpolationAxis axis);
// "1710 … 2170 MHz".
std::string RangeText(const TInterpolationRange& range);

// The value a text gives within the range (ends included), or why it is refused.
struct TInterpolationValue {
    std::optional<double> Value;
    std::string Problem;
};
TInterpolationValue CheckInterpolationValue(const TInterpolationRange& range,
                                            std::string_view text);

}  // namespace ostrel
