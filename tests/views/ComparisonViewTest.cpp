#include "views/ComparisonView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/RecordingDrawer.h"

namespace ostrel {
namespace {

// d(angle) = offset + amplitude * sin(angle), with its statistics as given.
TCutComparison MadeCut(double offsetDb, double amplitudeDb) {
    TCutComparison cut;
    for (int angle = -180; angle <= 180; ++angle) {
        cut.DifferenceDb.push_back(offsetDb + amplitudeDb * std::sin(angle * M_PI / 180));
    }
    cut.MaxDifferenceDb = offsetDb + amplitudeDb;
    cut.MaxDifferenceAngleDeg = 90;
    cut.RmsDb = 0.12345;
    cut.RmsMainLobeDb = -0.0;
    return cut;
}

TPatternComparison MadeComparison() {
    TPatternComparison comparison;
    comparison.Azimuth = MadeCut(0, 3.5);
    comparison.Vertical = MadeCut(-0.5, 1);
    comparison.Horizontal = MadeCut(1, 0.25);
    return comparison;
}

TEST(ComparisonView, ScaleIsSymmetricRoundAndHoldsEveryDifference) {
    struct TCase {
        double Largest, Limit, Step;
    };
    const TCase cases[] = {
        {0, 2, 1},    {0.3, 2, 1},    {2, 2, 1},
        {2.01, 3, 1}, {3.2, 4, 1},    {5, 5, 1},
        {5.2, 6, 2},  {12, 15, 5},    {27, 30, 10},
        {45, 50, 10}, {60.5, 80, 20}, {std::numeric_limits<double>::quiet_NaN(), 2, 1},
    };
    for (const TCase& c : cases) {
        const TDifferenceScale scale = DifferenceScale(c.Largest);
        EXPECT_DOUBLE_EQ(scale.LimitDb, c.Limit) << c.Largest;
        EXPECT_DOUBLE_EQ(scale.StepDb, c.Step) << c.Largest;
    }
    TPatternComparison comparison = MadeComparison();
    comparison.Vertical.DifferenceDb[10] = -7.25;
    comparison.Horizontal.DifferenceDb[11] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_DOUBLE_EQ(LargestDifference(comparison), 7.25);
}

TEST(ComparisonView, CopiedTableAndStatisticsHaveThreeDecimalsPerCut) {
    TPatternComparison comparison = MadeComparison();
    comparison.Vertical.DifferenceDb.pop_back();  // a short cut leaves its cell empty
    const std::string text = ComparisonTableText(comparison);
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 362u);
    EXPECT_EQ(lines[0], "Angle\tAzimuth d, dB\tVertical d, dB\tHorizontal d, dB");
    EXPECT_EQ(lines[1], "-180\t0.000\t-0.500\t1.000") << "sin(-180°) is a tiny negative";
    EXPECT_EQ(lines[181 + 90], "90\t3.500\t0.500\t1.250");
    EXPECT_EQ(lines[181 - 30], "-30\t-1.750\t-1.000\t0.875");
    EXPECT_EQ(lines[361], "180\t0.000\t\t1.000");

    const auto rows = ComparisonStatisticsRows(comparison);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(ComparisonStatisticsHeader().size(), rows[0].size());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Azimuth", "3.500", "90", "0.123", "0.000"}));
    EXPECT_EQ(rows[1][0], "Vertical");
    EXPECT_EQ(rows[1][1], "0.500");
    EXPECT_EQ(rows[2][0], "Horizontal");
}

TEST(ComparisonView, EachCutHasItsOwnGraphOnOneScaleWithBandZeroLineAndMark) {
    TPatternComparison comparison = MadeComparison();
    comparison.Horizontal.DifferenceDb[200] = std::numeric_limits<double>::quiet_NaN();
    TComparisonView view;
    view.Comparison = &comparison;
    view.ReferenceName = "maker";
    view.OtherName = "measured";
    view.Bounds = {0, 0, 900, 700};
    TRecordingDrawer drawer;
    const auto plots = view.PlotRects(drawer);
    view.Draw(drawer);

    for (size_t i = 0; i < plots.size(); ++i) {
        EXPECT_GT(plots[i].Bottom - plots[i].Top, 100) << i;
        EXPECT_GE(plots[i].Left, 0);
        EXPECT_LE(plots[i].Right, 900);
        if (i > 0) {
            EXPECT_GT(plots[i].Top, plots[i - 1].Bottom) << "stacked without overlap";
        }
    }
    EXPECT_LT(plots[2].Bottom, 700);

    // Largest |d| 3.5 dB: the scale is ±4 dB. Curves: one per cut, the NaN breaking the
    // horizontal one in two, every point inside its own graph.
    const auto py = [&plots](size_t panel, double db) {
        const TRealRect& p = plots[panel];
        return p.Top + (4 - db) / 8 * (p.Bottom - p.Top);
    };
    const TColor colors[] = {clBlue, clRed, clGreen};
    std::vector<TDrawCall> curves[3];
    for (const TDrawCall& call : drawer.CallsOf("Polyline")) {
        for (size_t panel = 0; panel < 3; ++panel) {
            if (call.Color == colors[panel]) curves[panel].push_back(call);
        }
    }
    ASSERT_EQ(curves[0].size(), 1u);
    ASSERT_EQ(curves[1].size(), 1u);
    ASSERT_EQ(curves[2].size(), 2u);
    EXPECT_EQ(curves[2][0].Points.size() + curves[2][1].Points.size(), 360u);
    const TRealPointArray& azimuth = curves[0][0].Points;
    ASSERT_EQ(azimuth.size(), 361u);
    EXPECT_DOUBLE_EQ(azimuth.front().X, plots[0].Left);
    EXPECT_DOUBLE_EQ(azimuth.back().X, plots[0].Right);
    EXPECT_NEAR(azimuth[180].Y, py(0, 0), 1e-9);
    EXPECT_NEAR(azimuth[270].Y, py(0, 3.5), 1e-9);
    EXPECT_NEAR(curves[1][0].Points[90].Y, py(1, -1.5), 1e-9);

    // The ±1 dB band of each graph, and the zero lines.
    int bands = 0;
    for (const TDrawCall& call : drawer.CallsOf("FillRect")) {
        for (size_t panel = 0; panel < 3; ++panel) {
            if (std::abs(call.Args[1] - py(panel, 1)) < 1e-9 &&
                std::abs(call.Args[3] - py(panel, -1)) < 1e-9 && call.Args[0] == plots[panel].Left)
                ++bands;
        }
    }
    EXPECT_EQ(bands, 3);
    // The mark on each curve's largest difference.
    const auto marks = drawer.CallsOf("Ellipse");
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_NEAR((marks[0].Args[1] + marks[0].Args[3]) / 2, py(0, 3.5), 1e-9);

    const auto texts = drawer.Texts();
    const auto has = [&texts](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(has("B measured  −  A maker (reference)"));
    EXPECT_TRUE(has("4 dB") && has("-4 dB") && has("0 dB"));
    EXPECT_TRUE(has("-180") && has("180"));
}

}  // namespace
}  // namespace ostrel
