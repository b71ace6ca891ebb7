#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "model/PrimitiveObjects.h"

namespace ostrel {
namespace {

TRealPointList Points(std::initializer_list<TRealPoint> points) {
    TRealPointList list;
    for (const TRealPoint& point : points) list.AddPoint(point);
    return list;
}

TEST(RealPointList, IndexesAreCheckedAndPointAtChangesInPlace) {
    TRealPointList list;
    EXPECT_THROW(list.GetPoint(0), EListError);
    EXPECT_THROW(list.MaxY(), EListError);
    list.Add(1, 2);
    EXPECT_EQ(list.AddPoint({3, 4}), 1);
    EXPECT_EQ(list.Count(), 2);
    list.PointAt(1).Y = -7;
    EXPECT_EQ(list.GetPoint(1), (TRealPoint{3, -7}));
    EXPECT_THROW(list.PointAt(2), EListError);
    EXPECT_THROW(list.PointAt(-1), EListError);
    TRealPointList copy;
    copy.Add(9, 9);
    copy.Assign(list);
    EXPECT_EQ(copy.Points(), list.Points());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(RealPointList, MaxYTakesTheFirstOfEqualMaxima) {
    EXPECT_EQ(Points({{0, -3}, {1, -1}, {2, -1}}).MaxY(), -1);
    EXPECT_EQ(Points({{0, -5}}).MaxY(), -5);
    // What a walk gives that keeps the first level and takes each greater one: of a zero
    // maximum the first zero's sign, a NaN first kept, later NaNs passed over; wherever the
    // largest level lies among lists of any length.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<std::vector<double>, double>> cases = {
        {{-1, -0.0, 0.0, -2, -3}, -0.0},
        {{-1, -2, -3, -4, 0.0, -0.0}, 0.0},
        {{-0.0, -1, -2, -3, 0.0, -4, -5, -6, 0.0}, -0.0},
        {{0.0, -0.0}, 0.0},
        {{-4, nan, -3, nan, nan, -2, -9, nan, -7}, -2},
        {{nan, 1, 2, 3, 4, 5}, nan},
    };
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    for (const auto& [levels, expected] : cases) {
        TRealPointList list;
        for (const double level : levels) list.Add(0, level);
        EXPECT_EQ(bits(list.MaxY()), bits(expected)) << levels.size() << " levels";
    }
    for (size_t count = 1; count <= 11; ++count) {
        for (size_t top = 0; top < count; ++top) {
            TRealPointList list;
            for (size_t i = 0; i < count; ++i)
                list.Add(0, i == top ? 7.5 : -static_cast<double>(i));
            EXPECT_EQ(list.MaxY(), 7.5) << count << " levels, largest at " << top;
        }
    }
}

TEST(Interpolation, LinearInTheFirstContainingInterval) {
    double value = 99;
    const TRealPointList line = Points({{0, 0}, {10, -10}});
    ASSERT_TRUE(InterpolateAt(line, 2.5, value));
    EXPECT_DOUBLE_EQ(value, -2.5);
    value = 99;
    EXPECT_FALSE(InterpolateAt(line, 11, value));
    EXPECT_EQ(value, 99) << "a failed search leaves the output unchanged";
    EXPECT_FALSE(InterpolateAt(Points({{0, 0}}), 0, value));
    EXPECT_FALSE(InterpolateAt(TRealPointList(), 0, value));

    const TRealPointList vee = Points({{0, 0}, {10, -10}, {20, 0}});
    ASSERT_TRUE(InterpolateAt(vee, 10, value));
    EXPECT_DOUBLE_EQ(value, -10);
    int interval = -1;
    ASSERT_TRUE(InterpolateFrom(vee, 1, 10, value, interval));
    EXPECT_EQ(interval, 1);
    EXPECT_FALSE(InterpolateFrom(vee, 2, 15, value, interval));
    EXPECT_FALSE(InterpolateFrom(vee, -1, 15, value, interval));
    // A descending interval never contains anything.
    EXPECT_FALSE(InterpolateAt(Points({{10, 0}, {0, -10}}), 5, value));
}

TEST(Interpolation, ZeroByZeroAndOverflowAreErrorsNotNaN) {
    double value = 0;
    EXPECT_THROW(InterpolateAt(Points({{5, -1}, {5, -2}}), 5, value), EInvalidOp);
    EXPECT_FALSE(InterpolateAt(Points({{5, -1}, {5, -2}}), 4, value));
    EXPECT_THROW(InterpolateAt(Points({{0, -1e308}, {10, 1e308}}), 5, value), EInvalidOp);
}

TEST(RealPointList, SubtractAndRotateHalfTurn) {
    TRealPointList cut;
    for (int k = 0; k <= 360; ++k) cut.Add(k - 180, -k);
    TRealPointList turned;
    turned.Add(1, 1);
    RotateHalfTurn(cut, turned);
    ASSERT_EQ(turned.Count(), 360);
    EXPECT_EQ(turned.GetPoint(0), (TRealPoint{0, -180}));
    EXPECT_EQ(turned.GetPoint(180), (TRealPoint{180, -360}));
    EXPECT_EQ(turned.GetPoint(181), (TRealPoint{181, -1}));
    EXPECT_EQ(turned.GetPoint(359), (TRealPoint{359, -179}));
    TRealPointList shortCut = Points({{0, 0}});
    EXPECT_THROW(RotateHalfTurn(shortCut, turned), EListError);

    SubtractFromValues(cut, -2);
    EXPECT_EQ(cut.GetPoint(0).Y, 2);
    EXPECT_EQ(cut.GetPoint(360).Y, -358);
}

TEST(PrimitiveObjects, DoubleObjectIsNullUntilSet) {
    TDoubleObject number;
    EXPECT_TRUE(number.GetIsNull());
    EXPECT_EQ(number.DisplayText(), "");
    EXPECT_EQ(number.AsString(), "0");
    number.SetValue(0);
    EXPECT_FALSE(number.IsNull);
    EXPECT_EQ(number.DisplayText(), "0");
    number.SetValue(17.99);
    number.SetIsNull(true);
    EXPECT_EQ(number.Value, 17.99) << "null keeps the value";
    EXPECT_EQ(number.DisplayText(), "");

    TDoubleObject copy;
    copy.SetValue(3);
    copy.Assign(number);
    EXPECT_TRUE(copy.IsNull);
    EXPECT_EQ(copy.Value, 17.99);
    TPrimitiveObject plain;
    plain.SetIsNull(false);
    copy.Assign(plain);
    EXPECT_FALSE(copy.IsNull);
    EXPECT_EQ(copy.Value, 17.99) << "a plain object has no value to copy";
}

TEST(PrimitiveObjects, RectangleHelpers) {
    TRealRect rect = MakeRealRect(1, 2, 3, 4);
    InflateRealRect(rect, 1, 2);
    EXPECT_EQ(rect, (TRealRect{0, 0, 4, 6}));
    EXPECT_EQ(RectToRealRect(TRect{1, 2, 3, 4}), (TRealRect{1, 2, 3, 4}));
    EXPECT_EQ(MakeRealPoint(1, 2), (TRealPoint{1, 2}));
}

struct TCounted {
    explicit TCounted(int& alive) : Alive(alive) { ++Alive; }
    ~TCounted() { --Alive; }
    int& Alive;
};

TEST(BaseObjectList, OwningListsFreeTheirObjectsAndReferringListsNever) {
    int alive = 0;
    {
        TBaseObjectList<TCounted> owning(true);
        owning.Add(std::make_unique<TCounted>(alive));
        owning.Add(std::make_unique<TCounted>(alive));
        owning.Add(std::make_unique<TCounted>(alive));
        TBaseObjectList<TCounted> referring(false);
        referring.Add(owning.Items(0));
        referring.Add(owning.Items(2));
        EXPECT_EQ(referring.IndexOf(&owning.Items(2)), 1);
        referring.Delete(0);
        referring.Clear();
        EXPECT_EQ(alive, 3);
        owning.Delete(1);
        EXPECT_EQ(alive, 2);
        EXPECT_THROW(owning.Delete(5), EListError);
        EXPECT_THROW(owning.Items(-1), EListError);
        EXPECT_THROW(referring.Add(std::make_unique<TCounted>(alive)), EOstrelError);
        EXPECT_THROW(owning.Add(owning.Items(0)), EOstrelError);
        EXPECT_THROW(owning.Add(std::unique_ptr<TCounted>()), EOstrelError);
        EXPECT_EQ(owning.Count(), 2) << "an empty pointer is never stored to be dereferenced";
        EXPECT_EQ(alive, 2) << "a refused object is freed, not leaked";
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace ostrel
