#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "draw/LineClipping.h"

namespace ostrel {
namespace {

const TRealRect kBox{10, 10, 20, 20};

TEST(LineClipping, SegmentsAreCutAtTheEdgesOrDropped) {
    TRealPoint a{0, 15};
    TRealPoint b{30, 15};
    ASSERT_TRUE(ClipSegment(a, b, kBox));
    EXPECT_DOUBLE_EQ(a.X, 10);
    EXPECT_DOUBLE_EQ(b.X, 20);
    EXPECT_DOUBLE_EQ(a.Y, 15);

    a = {0, 0};
    b = {30, 30};
    ASSERT_TRUE(ClipSegment(a, b, kBox));
    EXPECT_EQ(a, (TRealPoint{10, 10}));
    EXPECT_EQ(b, (TRealPoint{20, 20}));

    // Inside: untouched; on an edge: kept; outside or past a corner: dropped.
    a = {12, 12};
    b = {18, 14};
    ASSERT_TRUE(ClipSegment(a, b, kBox));
    EXPECT_EQ(a, (TRealPoint{12, 12}));
    EXPECT_EQ(b, (TRealPoint{18, 14}));
    a = {10, 0};
    b = {10, 30};
    EXPECT_TRUE(ClipSegment(a, b, kBox));
    a = {0, 5};
    b = {30, 5};
    EXPECT_FALSE(ClipSegment(a, b, kBox));
    a = {0, 15};
    b = {15, 0};
    EXPECT_FALSE(ClipSegment(a, b, kBox));
    a = {0, 0};
    b = {std::numeric_limits<double>::infinity(), 15};
    EXPECT_FALSE(ClipSegment(a, b, kBox));

    // A rectangle given right-to-left clips the same.
    a = {0, 15};
    b = {30, 15};
    ASSERT_TRUE(ClipSegment(a, b, TRealRect{20, 20, 10, 10}));
    EXPECT_DOUBLE_EQ(a.X, 10);
}

TEST(LineClipping, PolylineSplitsIntoVisibleRuns) {
    // In, out, back in: two runs; the part outside is gone.
    const std::vector<TRealPointArray> runs =
        ClipPolyline({{12, 12}, {15, 15}, {30, 15}, {30, 18}, {15, 18}, {16, 19}}, kBox);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (TRealPointArray{{12, 12}, {15, 15}, {20, 15}}));
    EXPECT_EQ(runs[1], (TRealPointArray{{20, 18}, {15, 18}, {16, 19}}));

    const TRealPointArray inside{{11, 11}, {19, 11}, {19, 19}};
    ASSERT_EQ(ClipPolyline(inside, kBox).size(), 1u);
    EXPECT_EQ(ClipPolyline(inside, kBox)[0], inside);
    EXPECT_TRUE(ClipPolyline({{0, 0}, {5, 0}, {5, 5}}, kBox).empty());
    EXPECT_TRUE(ClipPolyline({{15, 15}}, kBox).empty());
    EXPECT_TRUE(ClipPolyline({}, kBox).empty());
    // Crossing the whole rectangle in one segment.
    const auto crossing = ClipPolyline({{0, 15}, {30, 15}}, kBox);
    ASSERT_EQ(crossing.size(), 1u);
    EXPECT_EQ(crossing[0], (TRealPointArray{{10, 15}, {20, 15}}));
}

// Segments wholly inside skip the clipping arithmetic; the runs must be those of clipping
// every segment, for points inside, outside, on the edges and not finite.
TEST(LineClipping, PolylineRunsAreThoseOfClippingEverySegment) {
    auto reference = [](const TRealPointArray& points, const TRealRect& rect) {
        std::vector<TRealPointArray> runs;
        TRealPointArray run;
        auto closeRun = [&] {
            if (run.size() >= 2) runs.push_back(run);
            run.clear();
        };
        for (size_t i = 1; i < points.size(); ++i) {
            TRealPoint a = points[i - 1];
            TRealPoint b = points[i];
            if (!ClipSegment(a, b, rect)) {
                closeRun();
                continue;
            }
            if (run.empty() || !(run.back() == a)) {
                closeRun();
                run.push_back(a);
            }
            run.push_back(b);
            if (!(b == points[i])) closeRun();
        }
        closeRun();
        return runs;
    };
    std::mt19937 random(5);
    std::uniform_int_distribution<int> coordinate(0, 45);
    std::uniform_int_distribution<int> kind(0, 9);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int trial = 0; trial < 2000; ++trial) {
        TRealPointArray points;
        for (int i = 0; i < 12; ++i) {
            // Whole and half coordinates land on the edges (10, 20) often.
            TRealPoint p{coordinate(random) / 1.5, coordinate(random) / 1.5};
            if (kind(random) == 0) p.X = trial % 2 == 0 ? nan : inf;
            points.push_back(p);
        }
        const TRealRect rect = trial % 3 == 0 ? TRealRect{20, 20, 10, 10} : kBox;
        EXPECT_EQ(ClipPolyline(points, rect), reference(points, rect)) << "trial " << trial;
    }
}

}  // namespace
}  // namespace ostrel
