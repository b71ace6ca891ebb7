#include <gtest/gtest.h>

#include <limits>

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

}  // namespace
}  // namespace ostrel
