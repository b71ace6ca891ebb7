#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

TEST(WindowPlacement, KeptInItsOwnSectionBesideTheOthers) {
    TTempDir folder;
    const std::string ini = folder.Write(
        "settings.ini",
        "[MainForm]\r\nFOpenPath=/data/\r\n[MRU Items]\r\nF0=/data/a.msi\r\n[Options]\r\n"
        "FAllowDuplicates=1\r\n");
    EXPECT_FALSE(TWindowPlacement::Load(ini)) << "no section yet";
    TWindowPlacement placement;
    placement.Left = 10;
    placement.Top = -20;
    placement.Width = 900;
    placement.Height = 700;
    placement.Maximized = true;
    placement.TableHeight = 250;
    placement.ColumnOrder = {1, 0, 2, 3, 4, 5, 6, 7};
    placement.ColumnWidths = {40, 310, 100, 75, 75, 75, 75, 75};
    placement.Save(ini);
    const std::string text = ReadFileBytes(ini);
    EXPECT_EQ(text.rfind("[MainForm]\r\nFOpenPath=/data/\r\n[MRU Items]\r\nF0=/data/a.msi\r\n"
                         "[Options]\r\nFAllowDuplicates=1\r\n",
                         0),
              0u)
        << "the other sections are left as they are";
    EXPECT_NE(text.find("[Window]\r\nLeft=10\r\nTop=-20\r\nWidth=900\r\nHeight=700\r\n"
                        "Maximized=1\r\nTableHeight=250\r\nColumnOrder=1,0,2,3,4,5,6,7\r\n"),
              std::string::npos)
        << text;
    const auto back = TWindowPlacement::Load(ini);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Top, -20);
    EXPECT_TRUE(back->Maximized);
    EXPECT_EQ(back->ColumnOrder, placement.ColumnOrder);
    EXPECT_EQ(back->ColumnWidths, placement.ColumnWidths);
    EXPECT_FALSE(back->HiddenColumns) << "not stated: the table's defaults";
    for (const std::vector<int>& hidden : {std::vector<int>{}, std::vector<int>{8, 12}}) {
        placement.HiddenColumns = hidden;
        placement.Save(ini);
        EXPECT_EQ(TWindowPlacement::Load(ini)->HiddenColumns, hidden);
    }

    // A damaged section: the rectangle must be whole, the column lists may be dropped.
    const std::string damaged =
        folder.Write("damaged.ini", "[Window]\r\nLeft=1\r\nTop=2\r\nWidth=wide\r\nHeight=4\r\n");
    EXPECT_FALSE(TWindowPlacement::Load(damaged));
    const std::string oddColumns =
        folder.Write("columns.ini",
                     "[Window]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n"
                     "ColumnOrder=1,,2\r\nColumnWidths=5;6\r\n");
    const auto odd = TWindowPlacement::Load(oddColumns);
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->ColumnOrder.empty());
    EXPECT_TRUE(odd->ColumnWidths.empty());
}

TEST(WindowPlacement, ClampedToTheScreenThatShowsIt) {
    const std::vector<TRect> screens = {{0, 0, 1280, 1024}, {1280, 0, 3200, 1050}};
    struct TCase {
        TRect Window, Expected;
    } const cases[] = {
        {{100, 100, 900, 700}, {100, 100, 900, 700}},           // fits: unchanged
        {{0, 0, 1306, 1159}, {0, 0, 1280, 1024}},               // larger than its screen
        {{-50, 900, 617, 1480}, {0, 444, 667, 1024}},           // moved back on
        {{1200, 100, 1900, 700}, {1280, 100, 1980, 700}},       // mostly on the second
        {{5000, 5000, 5667, 5580}, {613, 444, 1280, 1024}},     // on no screen: the first
        {{2147483000, 0, 2147483600, 10}, {680, 0, 1280, 10}},  // far out, no overflow
    };
    for (const TCase& c : cases) {
        TWindowPlacement placement;
        placement.Left = c.Window.Left;
        placement.Top = c.Window.Top;
        placement.Width = c.Window.Right - c.Window.Left;
        placement.Height = c.Window.Bottom - c.Window.Top;
        placement.TableHeight = 250;
        const TWindowPlacement clamped = PlacementOnScreens(placement, screens);
        EXPECT_EQ((TRect{clamped.Left, clamped.Top, clamped.Left + clamped.Width,
                         clamped.Top + clamped.Height}),
                  c.Expected)
            << c.Window.Left << "," << c.Window.Top;
        EXPECT_EQ(clamped.TableHeight, 250);
    }
    EXPECT_EQ(PlacementOnScreens({}, {}).Width, 0) << "no screens: nothing to clamp to";

    // A frame read while the window manager still sizes it (outer 1 x 1, or thicker than any
    // border) counts as none; it used to grow the window to 1306 x 1159.
    auto minimum = [](TWindowSize outer, TWindowSize screen) {
        return MinimumClientSize(outer, {667, 580}, {640, 580}, screen);
    };
    EXPECT_EQ(minimum({677, 610}, {1280, 1024}), (TWindowSize{630, 550}));
    EXPECT_EQ(minimum({1, 1}, {1280, 1024}), (TWindowSize{640, 580}));
    EXPECT_EQ(minimum({1334, 1160}, {1280, 1024}), (TWindowSize{640, 580}));
    EXPECT_EQ(minimum({677, 610}, {600, 400}), (TWindowSize{590, 370})) << "within the screen";
}

TEST(WindowPlacement, ColumnListsAreChecked) {
    EXPECT_TRUE(IsColumnOrder({2, 0, 1}, 3));
    EXPECT_FALSE(IsColumnOrder({0, 0, 1}, 3));
    EXPECT_FALSE(IsColumnOrder({0, 1}, 3));
    EXPECT_FALSE(IsColumnOrder({0, 1, 3}, 3));
    EXPECT_TRUE(AreColumnWidths({1, 300, 10000}, 3));
    EXPECT_FALSE(AreColumnWidths({0, 300, 100}, 3));
    EXPECT_FALSE(AreColumnWidths({10, 300, 10001}, 3));
    EXPECT_FALSE(AreColumnWidths({10, 300}, 3));
}

}  // namespace
}  // namespace ostrel
