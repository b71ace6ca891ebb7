#include <gtest/gtest.h>

#include "views/PatternPoints.h"
#include "views/ViewTestSupport.h"

namespace ostrel {
namespace {

TEST(PatternPoints, GridTextsShowNamesAnglesAndTheLevelsOfEachCut) {
    TTestPatterns patterns;
    TPatternData& panel = patterns.Add(0, "/data/site/panel_1900.vwa");
    TPatternData& partial = patterns.Add(1, "partial.msi");
    for (int angle = -180; angle <= 180; ++angle) {
        panel.AzimuthCut.Add(angle, -angle / 4.0);
        panel.VerticalCut.Add(angle, -10 - angle / 8.0);
    }
    for (int angle = -180; angle <= -170; ++angle) {
        partial.AzimuthCut.Add(angle, -1);
        partial.VerticalCut.Add(angle, -2);
    }
    partial.VerticalCut.Add(-169, -2);

    EXPECT_EQ(PointsColumnCount(patterns.List), 3);
    EXPECT_EQ(PointsCellText(patterns.List, true, 0, 0), "");
    EXPECT_EQ(PointsCellText(patterns.List, true, 0, 1), "panel_1900") << "never an extension";
    EXPECT_EQ(PointsCellText(patterns.List, false, 0, 2), "partial");
    EXPECT_EQ(PointsCellText(patterns.List, true, 1, 0), "-180");
    EXPECT_EQ(PointsCellText(patterns.List, true, 181, 0), "0");
    EXPECT_EQ(PointsCellText(patterns.List, false, 361, 0), "180");

    EXPECT_EQ(PointsCellText(patterns.List, true, 1, 1), "45");
    EXPECT_EQ(PointsCellText(patterns.List, false, 1, 1), "12.5");
    EXPECT_EQ(PointsCellText(patterns.List, true, 14, 1), "41.75");
    EXPECT_EQ(PointsCellText(patterns.List, false, 181, 1), "-10");
    EXPECT_EQ(PointsCellText(patterns.List, true, 361, 1), "-45");

    // A pattern fills as many rows as its azimuth cut has points.
    EXPECT_EQ(PointsCellText(patterns.List, false, 11, 2), "-2");
    EXPECT_EQ(PointsCellText(patterns.List, false, 12, 2), "");
    EXPECT_EQ(PointsCellText(patterns.List, true, 361, 2), "");

    // Outside the grid: nothing, never a read past a list.
    EXPECT_EQ(PointsCellText(patterns.List, true, kPointsRowCount, 1), "");
    EXPECT_EQ(PointsCellText(patterns.List, true, 5, 3), "");
    EXPECT_EQ(PointsCellText(patterns.List, true, -1, 0), "");
}

}  // namespace
}  // namespace ostrel
