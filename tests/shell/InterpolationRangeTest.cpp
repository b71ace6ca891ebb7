#include "shell/InterpolationRange.h"

#include <gtest/gtest.h>

#include <memory>

namespace ostrel {
namespace {

// A pattern named after its file; a negative value is one the file does not state.
std::unique_ptr<TPatternData> Pattern(const char* name, double frequency, double tilt) {
    auto pattern = std::make_unique<TPatternData>();
    NamePattern(*pattern, std::string("/data/") + name + ".msi", {});
    if (frequency >= 0) pattern->Frequency.SetValue(frequency);
    if (tilt >= 0) pattern->ElectricalTilt.SetValue(tilt);
    return pattern;
}

TEST(InterpolationRange, ValuesBetweenTheTwoPatternsOnlyAndEachRefusalSaysWhy) {
    // B below A: the range still runs from the lower value up.
    const auto a = Pattern("p2170", 2170, 8);
    const auto b = Pattern("p1710", 1710, 2);
    const TInterpolationRange byFrequency =
        InterpolationRangeOf(*a, *b, TInterpolationAxis::Frequency);
    EXPECT_EQ(byFrequency.Problem, "");
    EXPECT_EQ(RangeText(byFrequency), "1710 … 2170 MHz");
    const TInterpolationRange byTilt =
        InterpolationRangeOf(*a, *b, TInterpolationAxis::ElectricalTilt);
    EXPECT_EQ(RangeText(byTilt), "2 … 8°");

    struct TCase {
        const TInterpolationRange* Range;
        const char* Text;
        double Value;         // when accepted
        const char* Problem;  // part of the reason, when refused
    };
    const TCase cases[] = {
        {&byFrequency, "1930", 1930, nullptr},
        {&byFrequency, " 1710 ", 1710, nullptr},  // the ends belong to the range
        {&byFrequency, "2170", 2170, nullptr},
        {&byFrequency, "1930.5", 1930.5, nullptr},
        {&byFrequency, "2170.01", 0, "2170.01 MHz is outside 1710 … 2170 MHz"},
        {&byFrequency, "-1800", 0, "outside"},
        {&byFrequency, "1930,5", 0, "\"1930,5\" is not a number"},
        {&byFrequency, "inf", 0, "is not a number"},
        {&byFrequency, "  ", 0, "Enter the frequency"},
        {&byTilt, "9", 0, "9° is outside 2 … 8°"},
        {&byTilt, "4", 4, nullptr},
    };
    for (const TCase& c : cases) {
        const TInterpolationValue checked = CheckInterpolationValue(*c.Range, c.Text);
        if (c.Problem == nullptr) {
            ASSERT_TRUE(checked.Value) << c.Text << ": " << checked.Problem;
            EXPECT_DOUBLE_EQ(*checked.Value, c.Value) << c.Text;
        } else {
            EXPECT_FALSE(checked.Value) << c.Text;
            EXPECT_NE(checked.Problem.find(c.Problem), std::string::npos)
                << c.Text << ": " << checked.Problem;
        }
    }

    // No range at all: a pattern without the value, or both at the same one.
    const auto noTilt = Pattern("untilted", 1930, -1);
    const auto same = Pattern("same", 2170, 8);
    EXPECT_EQ(InterpolationRangeOf(*a, *noTilt, TInterpolationAxis::ElectricalTilt).Problem,
              "untilted has no electrical tilt to interpolate by.");
    const TInterpolationRange equal =
        InterpolationRangeOf(*a, *same, TInterpolationAxis::Frequency);
    EXPECT_EQ(equal.Problem, "Both patterns are at 2170 MHz: there is nothing between them.");
    EXPECT_EQ(CheckInterpolationValue(equal, "2170").Problem, equal.Problem);
}

}  // namespace
}  // namespace ostrel
