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

TEST(WindowPlacement, RestoredOnlyWhereItFitsAScreen) {
    const std::vector<TRect> screens = {{0, 0, 1920, 1050}, {1920, 0, 3200, 1024}};
    struct TCase {
        int Left, Top, Width, Height;
        bool Fits;
    } const cases[] = {
        {100, 100, 800, 600, true},       {0, 0, 1920, 1050, true},
        {1920, 0, 1280, 1024, true},      {-10, 100, 800, 600, false},
        {1500, 100, 800, 600, false},     {100, 100, 2000, 600, false},
        {3000, 900, 800, 600, false},     {100, 100, 0, 600, false},
        {2147483000, 0, 1000, 10, false},
    };
    for (const TCase& c : cases) {
        TWindowPlacement placement;
        placement.Left = c.Left;
        placement.Top = c.Top;
        placement.Width = c.Width;
        placement.Height = c.Height;
        EXPECT_EQ(PlacementFitsScreens(placement, screens), c.Fits)
            << c.Left << "," << c.Top << " " << c.Width << "x" << c.Height;
    }
    EXPECT_FALSE(PlacementFitsScreens({}, {}));
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
