#include "shell/InterpolationRange.h"

#include <algorithm>

#include "model/NumberText.h"

namespace ostrel {

namespace {

const char* AxisName(TInterpolationAxis axis) {
    return axis == TInterpolationAxis::Frequency ? "frequency" : "electrical tilt";
}

const TDoubleObject& AxisValue(const TPatternData& pattern, TInterpolationAxis axis) {
    return axis == TInterpolationAxis::Frequency ? pattern.Frequency : pattern.ElectricalTilt;
}

std::string ValueText(double value, TInterpolationAxis axis) {
    const std::string unit = AxisUnit(axis);
    return FormatGeneral(value) + (unit == "°" ? unit : " " + unit);
}

}  // namespace

const char* AxisUnit(TInterpolationAxis axis) {
    return axis == TInterpolationAxis::Frequency ? "MHz" : "°";
}

TInterpolationRange InterpolationRangeOf(const TPatternData& a, const TPatternData& b,
                                         TInterpolationAxis axis) {
    TInterpolationRange range;
    range.Axis = axis;
    for (const TPatternData* pattern : {&a, &b}) {
        if (AxisValue(*pattern, axis).IsNull) {
            range.Problem =
                DisplayName(*pattern, false) + " has no " + AxisName(axis) + " to interpolate by.";
            return range;
        }
    }
    const double valueA = AxisValue(a, axis).Value;
    const double valueB = AxisValue(b, axis).Value;
    range.LowValue = std::min(valueA, valueB);
    range.HighValue = std::max(valueA, valueB);
    if (valueA == valueB) {
        range.Problem =
            "Both patterns are at " + ValueText(valueA, axis) + ": there is nothing between them.";
    }
    return range;
}

std::string RangeText(const TInterpolationRange& range) {
    return FormatGeneral(range.LowValue) + " … " + ValueText(range.HighValue, range.Axis);
}

TInterpolationValue CheckInterpolationValue(const TInterpolationRange& range,
                                            std::string_view text) {
    if (!range.Problem.empty()) return {{}, range.Problem};
    const std::optional<double> value = ParseNumber(text);
    if (!value) {
        if (text.find_first_not_of(" \t") == std::string_view::npos) {
            return {{}, std::string("Enter the ") + AxisName(range.Axis) + " of the new pattern."};
        }
        return {{}, "\"" + std::string(text) + "\" is not a number."};
    }
    if (*value < range.LowValue || *value > range.HighValue) {
        return {{},
                ValueText(*value, range.Axis) + " is outside " + RangeText(range) +
                    ": only values between the two patterns can be interpolated."};
    }
    return {value, {}};
}

}  // namespace ostrel
