#include "graphs/DensityImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/MadePatterns.h"
#include "support/RecordingDrawer.h"
#include "views/DensityLegend.h"
#include "views/SideBySide.h"

namespace ostrel {
namespace {

// The counts of a raster row by row, "." for none, digits for the counts.
std::vector<std::string> Rows(const TDensityCounts& counts) {
    std::vector<std::string> rows;
    for (int y = 0; y < counts.Height(); ++y) {
        std::string row;
        for (int x = 0; x < counts.Width(); ++x) {
            const std::uint32_t count = counts.At(x, y);
            row += count == 0 ? '.' : static_cast<char>('0' + count);
        }
        rows.push_back(row);
    }
    return rows;
}

TDensityCounts Counted(int width, int height, const std::vector<TRealPointArray>& curves) {
    TDensityCounts counts(width, height);
    for (const TRealPointArray& curve : curves) counts.AddCurve(curve);
    return counts;
}

TEST(DensityCounts, EachCurveCountsAPixelOnceAndWhatLiesOutsideIsLeftOut) {
    const struct {
        std::vector<TRealPointArray> Curves;
        std::vector<std::string> Expected;
    } cases[] = {
        // Two lines crossing: the crossing has both.
        {{{{0, 2}, {4, 2}}, {{2, 0}, {2, 4}}}, {"..1..", "..1..", "11211", "..1..", "..1.."}},
        // A diagonal, and a line that turns back over itself counts each pixel once.
        {{{{0, 0}, {4, 4}}, {{0, 4}, {4, 4}, {1, 4}}},
         {"1....", ".1...", "..1..", "...1.", "11112"}},
        // A shallow slope steps one row halfway; a curve running outside is clipped.
        {{{{0, 0}, {4, 2}}, {{-10, 4}, {10, 4}}, {{7, -3}, {9, 9}}},
         {"11...", "..11.", "....1", ".....", "11111"}},
        // A single point and a curve of points on one pixel.
        {{{{3.4, 1.2}}, {{1, 3}, {1.2, 3.3}, {0.8, 2.9}}},
         {".....", "...1.", ".....", ".1...", "....."}},
        // Halves round to the even pixel, as the curves' own drawing rounds them.
        {{{{2.5, 1.5}}, {{0.5, 3.5}, {3.5, 3.5}}}, {".....", ".....", "..1..", ".....", "11111"}},
    };
    for (const auto& [curves, expected] : cases) {
        EXPECT_EQ(Rows(Counted(5, 5, curves)), expected) << expected[2];
    }
}

TEST(DensityCounts, EveryPointIsRoundedAndJudgedWhereverItFallsInItsGroupOfFour) {
    const double nan = std::nan("");
    const struct {
        TRealPoint Point;
        TDensityPixel Expected;
    } kinds[] = {{{2.5, 3.5}, {2, 4, true}},   {{9, 0}, {9, 0, true}},
                 {{-0.0, 7}, {0, 7, true}},    {{9.01, 4}, {0, 0, false}},
                 {{nan, 2}, {0, 0, false}},    {{3, -1e300}, {0, 0, false}},
                 {{4.49, 6.51}, {4, 7, true}}, {{1, 7.5}, {0, 0, false}}};
    constexpr size_t kKinds = std::size(kinds);
    for (size_t count = 1; count <= 11; ++count) {
        for (size_t shift = 0; shift < kKinds; ++shift) {
            TRealPointArray points;
            for (size_t i = 0; i < count; ++i) points.push_back(kinds[(i + shift) % kKinds].Point);
            std::vector<TDensityPixel> pixels(count);
            RoundToPixels(points.data(), count, 9, 7, pixels.data());
            for (size_t i = 0; i < count; ++i) {
                const TDensityPixel& expected = kinds[(i + shift) % kKinds].Expected;
                EXPECT_TRUE(pixels[i].X == expected.X && pixels[i].Y == expected.Y &&
                            pixels[i].Inside == expected.Inside)
                    << count << " " << shift << " " << i;
            }
        }
    }
}

TEST(DensityCounts, LongCurvesTouchTheSamePixelsAsTheirSegmentsOneByOne) {
    // Points are rounded four at a time: whatever place a point inside, on the edge, outside
    // or NaN takes in its group, and however many points are left over, a curve covers what
    // its segments cover when each is counted as a curve of its own.
    const double nan = std::nan("");
    const TRealPointArray kinds{{2.5, 3.5}, {9, 0},    {-0.0, 7}, {12, 4},  {5.5, 7.5},
                                {nan, 2},   {3, -6},   {0, 0},    {9, 7},   {4.49, 1.51},
                                {6, nan},   {-3, 3.2}, {1, 6},    {8.5, 2}, {7, 7}};
    for (size_t length = 4; length <= 11; ++length) {
        for (size_t shift = 0; shift < 4; ++shift) {
            TRealPointArray curve;
            for (size_t i = 0; i < length; ++i) curve.push_back(kinds[(i * 7 + shift) % 15]);
            TDensityCounts whole(10, 8);
            whole.AddCurve(curve);
            std::vector<std::uint32_t> covered(10 * 8);
            for (size_t i = 1; i < length; ++i) {
                TDensityCounts segment(10, 8);
                segment.AddCurve({curve[i - 1], curve[i]});
                const std::vector<std::uint32_t> counts = segment.Counts();
                for (size_t p = 0; p < counts.size(); ++p) covered[p] |= counts[p];
            }
            EXPECT_EQ(whole.Counts(), covered) << length << " " << shift;
        }
    }
}

TEST(DensityCounts, ThreadsShareTheCurvesAndAddUpToTheSameCounts) {
    // Curves of varied slopes across a raster, some leaving it.
    const auto place = [](int curve, TRealPointArray& points) {
        for (int k = 0; k <= 40; ++k) {
            points.push_back({k * 1.5, 20 + 18 * std::sin(k * 0.1 * (1 + curve % 7) + curve)});
        }
    };
    const TDensityCounts one = CountCurves(50, 40, 300, place, 1);
    EXPECT_GT(one.MaxCount(), 10u);
    for (int threads : {2, 3, 8}) {
        EXPECT_EQ(CountCurves(50, 40, 300, place, threads).Counts(), one.Counts()) << threads;
    }
}

TEST(DensityCounts, CountsStayExactPastSixtyFiveThousandCurvesAndAcrossWideRows) {
    // Each curve runs along a row wider than 64 pixels and turns back over half of it; more
    // curves than two bytes can count pass through every pixel.
    constexpr std::uint32_t kCurves = 66000;
    TDensityCounts counts(130, 2);
    const TRealPointArray curve{{0, 0}, {129, 0}, {60, 0}};
    for (std::uint32_t i = 0; i < kCurves; ++i) counts.AddCurve(curve);
    const struct {
        int X, Y;
        std::uint32_t Expected;
    } cases[] = {{0, 0, kCurves},   {63, 0, kCurves}, {64, 0, kCurves},
                 {129, 0, kCurves}, {60, 1, 0},       {130, 0, 0}};
    for (const auto& [x, y, expected] : cases) EXPECT_EQ(counts.At(x, y), expected) << x;
    EXPECT_EQ(counts.MaxCount(), kCurves);
}

TEST(DensityColors, CubehelixRisesInBrightnessAndTheScaleRunsFromLightToDark) {
    EXPECT_EQ(CubehelixColor(0), RgbColor(0, 0, 0));
    EXPECT_EQ(CubehelixColor(1), RgbColor(255, 255, 255));
    // The scheme keeps the luminance (0.30 R + 0.59 G + 0.11 B) equal to the fraction, up to
    // where a channel is cut at the cube's faces.
    double last = -1;
    for (int step = 0; step <= 40; ++step) {
        const TColor color = CubehelixColor(step / 40.0);
        const double luminance =
            (0.30 * ColorRed(color) + 0.59 * ColorGreen(color) + 0.11 * ColorBlue(color)) / 255;
        EXPECT_NEAR(luminance, step / 40.0, 0.03) << step;
        EXPECT_GT(luminance, last) << step;
        last = luminance;
    }
    // One curve in 20,000 is a light tone, never white; all of them nearly black; a count
    // beyond the total stays at the darkest.
    const auto lightness = [](TColor c) { return ColorRed(c) + ColorGreen(c) + ColorBlue(c); };
    EXPECT_LT(lightness(DensityColor(1, 20000)), 3 * 235);
    EXPECT_GT(lightness(DensityColor(1, 20000)), lightness(DensityColor(100, 20000)));
    EXPECT_GT(lightness(DensityColor(100, 20000)), lightness(DensityColor(20000, 20000)));
    EXPECT_LT(lightness(DensityColor(20000, 20000)), 3 * 30);
    EXPECT_EQ(DensityColor(30000, 20000), DensityColor(20000, 20000));
}

// Sector patterns whose beams widen with the index.
std::vector<std::unique_ptr<TPatternData>> Sectors(int count) {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    for (int i = 0; i < count; ++i) {
        const double width = 30 + 3 * i;
        patterns.push_back(
            MadePattern([width](int a) { return -std::min(30.0, 12 * (a / width) * (a / width)); },
                        [](int a) { return -std::min(30.0, 12 * (a / 10.0) * (a / 10.0)); }));
        patterns.back()->Id = i;
    }
    return patterns;
}

std::vector<TDrawCall> DrawView(const std::vector<std::unique_ptr<TPatternData>>& patterns,
                                TGraphType graphType, int threshold) {
    TRecordingDrawer drawer;
    TSideBySideDrawer view;
    view.View.DensityThreshold = threshold;
    view.Bounds = TRect{0, 0, 1200, 600};
    view.Drawer = &drawer;
    for (const auto& pattern : patterns) view.Patterns.Add(*pattern);
    view.GraphType = graphType;
    view.Draw();
    return drawer.Calls;
}

TEST(DensityView, AboveTheThresholdTheCurvesBecomeOneImagePerGraphUnderItsScale) {
    const auto patterns = Sectors(12);
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        const std::vector<TDrawCall> atThreshold = DrawView(patterns, graphType, 12);
        const std::vector<TDrawCall> above = DrawView(patterns, graphType, 11);
        const auto count = [](const std::vector<TDrawCall>& calls, const std::string& op) {
            return std::count_if(calls.begin(), calls.end(),
                                 [&op](const TDrawCall& call) { return call.Op == op; });
        };
        const auto hasText = [](const std::vector<TDrawCall>& calls, const std::string& text) {
            return std::any_of(calls.begin(), calls.end(),
                               [&text](const TDrawCall& call) { return call.Text == text; });
        };
        EXPECT_EQ(count(atThreshold, "Polyline"), 24) << "a curve per pattern and graph";
        EXPECT_EQ(count(atThreshold, "StretchDraw"), 0);
        EXPECT_FALSE(hasText(atThreshold, "12 patterns, density"));
        EXPECT_EQ(count(above, "Polyline"), 0);
        EXPECT_EQ(count(above, "StretchDraw"), 2) << "one image per graph";
        EXPECT_TRUE(hasText(above, "12 patterns, density"));
        EXPECT_TRUE(hasText(above, "1") && hasText(above, "12")) << "the scale's ends";
    }
    EXPECT_EQ(DensityLegendTitle(20000), "20,000 patterns, density");
    EXPECT_EQ(DensityLegendTitle(1), "1 pattern, density");
}

// A paper drawer gets the image at 300 dots per inch at most, a screen one pixel for pixel.
TEST(DensityView, TheImageIsAsFineAsTheDeviceUpToThreeHundredDotsPerInch) {
    const auto patterns = Sectors(3);
    TSeriesList series(true);
    for (const auto& pattern : patterns) series.Add(MakeVerticalSeries(*pattern, 0));
    for (const auto& [scale, expectedWidth] :
         std::vector<std::pair<double, double>>{{100, 200}, {200, 400}, {1200, 600}}) {
        TRecordingDrawer drawer(scale, scale);
        TDensityPainter painter;
        painter.Total = 3;
        painter.Paint(drawer, series, {100, 50, 300, 150},
                      [](const TSeries&, TRealPointArray& points) {
                          points = {{100, 50}, {300, 150}};
                      });
        const std::vector<TDrawCall> images = drawer.CallsOf("StretchDraw");
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].Args,
                  (std::vector<double>{100, 50, 300, 150, expectedWidth, expectedWidth / 2}))
            << scale;
    }
}

}  // namespace
}  // namespace ostrel
