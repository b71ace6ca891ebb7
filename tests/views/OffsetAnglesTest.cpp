#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/Errors.h"
#include "views/OffsetAngles.h"
#include "views/ViewTestSupport.h"

namespace ostrel {
namespace {

TEST(OffsetAngles, TextsBecomeWholeDegreesWithinTheLimits) {
    struct TCase {
        const char* Text;
        int Angle;
        bool Whole;
    };
    const TCase cases[] = {
        {"45", 45, true},
        {"-30", -30, true},
        {" 7\t", 7, true},
        {"+12", 12, true},
        {"0", 0, true},
        {"180", 180, true},
        {"-180", -180, true},
        {"200", 180, true},
        {"-200", -180, true},
        {"181", 180, true},
        {"99999999999999999999", 180, true},
        {"12.5", 0, false},
        {"", 0, false},
        {"-", 0, false},
        {"1e2", 0, false},
        {"abc", 0, false},
        {"4 5", 0, false},
        {"--5", 0, false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AngleFromText(c.Text), c.Angle) << "'" << c.Text << "'";
        EXPECT_EQ(IsWholeNumberText(c.Text), c.Whole) << "'" << c.Text << "'";
    }

    // While typing, only a number beyond a limit is replaced, by that limit.
    const std::map<std::string, std::string> typed = {
        {"200", "180"}, {"-2000", "-180"}, {"+181", "180"}, {"18", "18"},
        {"-", "-"},     {"12.5", "12.5"},  {"180", "180"},  {"", ""},
    };
    for (const auto& [text, expected] : typed) {
        std::string edited = text;
        EXPECT_EQ(CutBackAngleText(edited), expected != text) << "'" << text << "'";
        EXPECT_EQ(edited, expected);
    }
}

TEST(OffsetAngles, GridRowsCollectIntoPairsThatBecomeTheOffsets) {
    TTestPatterns patterns;
    TPatternData& first = patterns.Add(4, "/data/site/panel_1900.final.vwa");
    TPatternData& second = patterns.Add(9, "omni.msi");
    second.HRotationOffset = 15;
    second.VRotationOffset = -30;
    EXPECT_EQ(RotateCellText(first, rcId), "4");
    EXPECT_EQ(RotateCellText(first, rcFileName), "panel_1900.final");
    EXPECT_EQ(RotateCellText(second, rcHorzOffset), "15");
    EXPECT_EQ(RotateCellText(second, rcVertOffset), "-30");
    EXPECT_STREQ(RotateColumnInfo(rcFileName).Header, "File Name");
    EXPECT_EQ(RotateColumnInfo(rcFileName).Width, 200);
    EXPECT_THROW(RotateColumnInfo(rcColumnCount), EListError);

    const std::string cells[2][rcColumnCount] = {{"4", "panel_1900.final", "45", "12.5"},
                                                 {"9", "omni", "-200", ""}};
    TRealPointList angles;
    angles.Add(99, 99);
    CollectAngles(
        2, [&cells](int row, int column) { return cells[row][column]; }, angles);
    ASSERT_EQ(angles.Count(), 2);
    EXPECT_EQ(angles.GetPoint(0).X, 45);
    EXPECT_EQ(angles.GetPoint(0).Y, 0);
    EXPECT_EQ(angles.GetPoint(1).X, -180);
    EXPECT_EQ(angles.GetPoint(1).Y, 0);

    ApplyOffsets(patterns.List, angles);
    EXPECT_EQ(first.HRotationOffset, 45);
    EXPECT_EQ(first.VRotationOffset, 0);
    EXPECT_EQ(second.HRotationOffset, -180);
    EXPECT_EQ(second.VRotationOffset, 0);

    // Fewer pairs than patterns: the index error, and no pattern half changed.
    TRealPointList one;
    one.Add(10, 20);
    EXPECT_THROW(ApplyOffsets(patterns.List, one), EListError);
    EXPECT_EQ(first.HRotationOffset, 45);
}

TEST(OffsetAngles, LongNamesBreakBetweenCharactersAndOnlyTheirRowGrows) {
    // Seven pixels per character (a UTF-8 sequence is one character); lines 13 px high.
    auto width = [](const std::string& text) {
        int characters = 0;
        for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return 7 * characters;
    };
    const int available = 196;  // the 200-pixel column less 2 pixels each side

    const TWrappedText fits = WrapBetweenCharacters(std::string(28, 'a'), available, 13, width);
    EXPECT_FALSE(fits.Wrapped);
    EXPECT_EQ(fits.Lines, std::vector<std::string>{std::string(28, 'a')});
    EXPECT_EQ(WrappedRowHeight(fits, kRotateRowHeight), 22);

    const std::string name = "VLM-PX1917 DualSlant 1900MHz ElectricalTilt2 Measured";  // 53
    const TWrappedText wrapped = WrapBetweenCharacters(name, available, 13, width);
    EXPECT_TRUE(wrapped.Wrapped);
    ASSERT_EQ(wrapped.Lines.size(), 2u);
    EXPECT_EQ(wrapped.Lines[0], name.substr(0, 28)) << "broken inside a word, not at a blank";
    EXPECT_EQ(wrapped.Lines[1], name.substr(28));
    EXPECT_EQ(WrappedRowHeight(wrapped, kRotateRowHeight), 26);
    const TWrappedText three = WrapBetweenCharacters(name + name, available, 13, width);
    EXPECT_EQ(three.Lines.size(), 4u);
    EXPECT_EQ(WrappedRowHeight(three, kRotateRowHeight), 52);

    // Two lines of a very small font stay within the default height: the row keeps it.
    EXPECT_EQ(WrappedRowHeight(WrapBetweenCharacters(name, available, 8, width), 22), 22);

    const std::string accented = "\xC3\xA9t\xC3\xA9";  // "été"
    const TWrappedText narrow = WrapBetweenCharacters(accented, 3, 13, width);
    EXPECT_EQ(narrow.Lines, (std::vector<std::string>{"\xC3\xA9", "t", "\xC3\xA9"}))
        << "one character per line when none fits, never a split sequence";
}

}  // namespace
}  // namespace ostrel
