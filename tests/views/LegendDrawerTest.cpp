#include "views/LegendDrawer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RecordingDrawer.h"
#include "views/ViewTestSupport.h"

namespace ostrel {
namespace {

constexpr double kTol = 1e-9;

// Under the recording drawer's metrics a character of a 14-unit font is 8.4 units wide
// (texts rounded to whole units) and a line is 14 high.

std::vector<TDrawCall> TextOuts(const TRecordingDrawer& drawer) {
    return drawer.CallsOf("TextOut");
}

TEST(LegendDrawer, EntriesHaveSwatchIdAndNameOneBelowTheOther) {
    TTestPatterns patterns;
    patterns.Add(3, "/data/alpha.pat");
    patterns.Add(12, "C:/b/beta.txt");
    TRecordingDrawer drawer;
    TBasicLegendDrawer legend;
    legend.Drawer = &drawer;
    legend.Patterns.CopyFrom(patterns.List);
    legend.Origin = {100, 50};
    legend.Draw();

    const auto swatches = drawer.CallsOf("Rectangle");
    ASSERT_EQ(swatches.size(), 2u);
    // 15 x 8, 5 units left of the text, centred on the first line (50 + 14 / 2).
    EXPECT_NEAR(swatches[0].Args[0], 80, kTol);
    EXPECT_NEAR(swatches[0].Args[1], 53, kTol);
    EXPECT_NEAR(swatches[0].Args[2], 95, kTol);
    EXPECT_NEAR(swatches[0].Args[3], 61, kTol);
    EXPECT_EQ(swatches[0].Color, 0xFF0000u);
    EXPECT_EQ(swatches[0].Style, bsSolid);
    EXPECT_EQ(swatches[1].Color, 0x0000FFu);
    EXPECT_NEAR(swatches[1].Args[1], 71, kTol);  // next entry at 50 + 14 + 4
    EXPECT_EQ(drawer.PenColor, clGray);

    const auto texts = TextOuts(drawer);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].Text, "(3) ");
    EXPECT_EQ(texts[0].Color, clBlue);
    EXPECT_NEAR(texts[0].Args[0], 100, kTol);
    EXPECT_NEAR(texts[0].Args[1], 50, kTol);
    EXPECT_EQ(texts[1].Text, "alpha");
    EXPECT_EQ(texts[1].Color, clGreen);
    EXPECT_NEAR(texts[1].Args[0], 134, kTol);  // after the 34 units of "(3) "
    EXPECT_NEAR(texts[1].Args[1], 50, kTol);
    EXPECT_EQ(texts[2].Text, "(12) ");
    EXPECT_NEAR(texts[2].Args[1], 68, kTol);
    EXPECT_EQ(texts[3].Text, "beta");
    EXPECT_NEAR(texts[3].Args[0], 142, kTol);

    for (const TDrawCall& font : drawer.CallsOf("SetFont")) {
        EXPECT_EQ(font.Name, "Arial");
        EXPECT_EQ(font.Style, fsBold);
        EXPECT_NEAR(font.Args[0], 14, kTol);
    }
    // The swatch brush does not leak into the text background: over the curves every text
    // goes on solid white.
    EXPECT_EQ(drawer.BrushColor, 0xFFFFFFu);
    TColor brushColor = 0x123456;
    int brushStyle = -1;
    for (const TDrawCall& call : drawer.Calls) {
        if (call.Op == "SetBrush") {
            brushColor = call.Color;
            brushStyle = call.Style;
        } else if (call.Op == "TextOut") {
            EXPECT_EQ(brushColor, clWhite) << call.Text;
            EXPECT_EQ(brushStyle, bsSolid) << call.Text;
        }
    }
}

TEST(LegendDrawer, NamesShowExtensionsOnlyWhenAsked) {
    TTestPatterns patterns;
    patterns.Add(1, "/data/alpha.pat");
    for (bool showExtensions : {false, true}) {
        TRecordingDrawer drawer;
        TBasicLegendDrawer legend;
        legend.ShowExtensions = showExtensions;
        legend.Drawer = &drawer;
        legend.Patterns.CopyFrom(patterns.List);
        legend.Draw();
        ASSERT_EQ(drawer.Texts().size(), 2u);
        EXPECT_EQ(drawer.Texts()[1], showExtensions ? "alpha.pat" : "alpha");
    }
}

TEST(LegendDrawer, AlignmentHangsTheTextBlockFromTheOrigin) {
    TTestPatterns patterns;
    patterns.Add(7, "/x/ant");  // "(7) ant": 7 characters, 59 units
    std::vector<double> lefts;
    for (std::uint8_t align : {laLeft, laRight, laCenter}) {
        TRecordingDrawer drawer;
        TBasicLegendDrawer legend;
        legend.Drawer = &drawer;
        legend.Patterns.CopyFrom(patterns.List);
        legend.Origin = {400.5, 10};
        legend.Align = align;
        legend.Draw();
        lefts.push_back(drawer.CallsOf("TextOut").at(0).Args[0]);
    }
    EXPECT_NEAR(lefts[0], 400.5, kTol);
    EXPECT_NEAR(lefts[1], 341.5, kTol);
    EXPECT_NEAR(lefts[2], 371, kTol);
}

TEST(LegendDrawer, LongNamesWrapBetweenCharactersWithinTheWidthLimit) {
    TTestPatterns patterns;
    patterns.Add(1, "/x/abcdefghijkl");
    patterns.Add(2, "/x/b");
    TRecordingDrawer drawer;
    TBasicLegendDrawer legend;
    legend.Drawer = &drawer;
    legend.Patterns.CopyFrom(patterns.List);
    legend.Origin = {0, 0};
    legend.MaxWidth = 50;
    legend.Draw();

    // Six characters are 50.4 units, drawn as 50: they still fit; seven do not.
    const auto texts = TextOuts(drawer);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1].Text, "abcdef");
    EXPECT_EQ(texts[2].Text, "ghijkl");
    EXPECT_NEAR(texts[1].Args[1], 0, kTol);
    EXPECT_NEAR(texts[2].Args[1], 14, kTol);  // one font size apart
    EXPECT_NEAR(texts[2].Args[0], 34, kTol);
    EXPECT_EQ(texts[3].Text, "(2) ");
    EXPECT_NEAR(texts[3].Args[1], 32, kTol);  // 4 below the previous entry's last line
    EXPECT_NEAR(drawer.CallsOf("Rectangle").at(1).Args[1], 32 + 7 - 4, kTol);
}

TEST(LegendDrawer, EntriesBelowTheLimitBecomeOneLineSayingHowManyMore) {
    TTestPatterns patterns;
    for (int i = 0; i < 1000; ++i) patterns.Add(i, "/lib/p" + std::to_string(i) + ".msi");
    // Entries are 18 apart (14 + 4): from y = 50, an entry and the line after it fit while
    // y + 14 + 4 + 14 <= 150, so entries at 50, 68, 86, 104 and the summary at 122.
    const struct {
        double MaxBottom;
        size_t Entries;
        std::string Last;
    } cases[] = {{150, 4, "\u2026 and 996 more"},
                 {10, 1, "\u2026 and 999 more"},  // the first entry always shows
                 {1e9, 1000, "p999"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.MaxBottom);
        TRecordingDrawer drawer;
        TBasicLegendDrawer legend;
        legend.Drawer = &drawer;
        legend.Patterns.CopyFrom(patterns.List);
        legend.Origin = {100, 50};
        legend.MaxBottom = c.MaxBottom;
        legend.Draw();
        EXPECT_EQ(drawer.CallsOf("Rectangle").size(), c.Entries);
        const auto texts = TextOuts(drawer);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back().Text, c.Last);
        if (c.Entries < 1000) {
            EXPECT_NEAR(texts.back().Args[1], 50 + 18 * static_cast<double>(c.Entries), kTol);
        }
    }
}

TEST(LegendDrawer, WithoutPatternsNothingIsDrawn) {
    TRecordingDrawer drawer;
    TBasicLegendDrawer legend;
    legend.Drawer = &drawer;
    legend.Draw();
    EXPECT_TRUE(drawer.CallsOf("Rectangle").empty());
    EXPECT_TRUE(drawer.CallsOf("TextOut").empty());
}

TEST(DrawWrappedText, BreaksIntoLinesAndReturnsTheYBelowThem) {
    TRecordingDrawer drawer;
    drawer.SetFont("Arial", 0, 0, 10);  // 6 units per character

    EXPECT_NEAR(DrawWrappedText(drawer, "abc", 5, 20, 100), 30, kTol);
    ASSERT_EQ(drawer.Texts(), (std::vector<std::string>{"abc"}));

    drawer.Calls.clear();
    EXPECT_NEAR(DrawWrappedText(drawer, "hello world", 5, 20, 30), 50, kTol);
    EXPECT_EQ(drawer.Texts(), (std::vector<std::string>{"hello", " worl", "d"}));
    const auto lines = drawer.CallsOf("TextOut");
    EXPECT_NEAR(lines[1].Args[0], 5, kTol);
    EXPECT_NEAR(lines[1].Args[1], 30, kTol);
    EXPECT_NEAR(lines[2].Args[1], 40, kTol);

    // A character wider than the limit still gets a line of its own.
    drawer.Calls.clear();
    EXPECT_NEAR(DrawWrappedText(drawer, "abc", 0, 0, 3), 30, kTol);
    EXPECT_EQ(drawer.Texts(), (std::vector<std::string>{"a", "b", "c"}));

    // A multi-byte character is never split.
    drawer.Calls.clear();
    DrawWrappedText(drawer,
                    "a\xC3\xA9"
                    "b",
                    0, 0, 8);
    EXPECT_EQ(drawer.Texts(), (std::vector<std::string>{"a", "\xC3\xA9", "b"}));
}

}  // namespace
}  // namespace ostrel
