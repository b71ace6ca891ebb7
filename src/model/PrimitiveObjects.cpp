#include "model/PrimitiveObjects.h"

#include <cmath>

#include "model/NumberText.h"

namespace ostrel {

int TRealPointList::AddPoint(const TRealPoint& point) {
    FPoints.push_back(point);
    return Count() - 1;
}

double TRealPointList::MaxY() const {
    // The value of a walk that keeps the first point's Y and takes each later Y that is
    // greater: a NaN first stays, later NaNs are passed over, and of equal maxima the first
    // wins (which tells only for zeros, +0 against -0).
    const double first = PointAt(0).Y;
    if (first != first) return first;
    // Four running maxima over every fourth point: one chain of compare and select would
    // wait on each step, four run side by side.
    const auto greater = [](double y, double max) { return y > max ? y : max; };
    double max0 = first;
    double max1 = first;
    double max2 = first;
    double max3 = first;
    const TRealPoint* const points = FPoints.data();
    const size_t count = FPoints.size();
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        max0 = greater(points[i].Y, max0);
        max1 = greater(points[i + 1].Y, max1);
        max2 = greater(points[i + 2].Y, max2);
        max3 = greater(points[i + 3].Y, max3);
    }
    for (; i < count; ++i) max0 = greater(points[i].Y, max0);
    const double result = greater(greater(max1, max0), greater(max3, max2));
    if (result != 0) return result;
    // A zero maximum: the walk keeps the first zero met, of whichever sign.
    for (const TRealPoint& point : FPoints) {
        if (point.Y == 0) return point.Y;
    }
    return result;
}

std::string TDoubleObject::AsString() const {
    return FormatGeneral(Value);
}

void TDoubleObject::Assign(const TPrimitiveObject& source) {
    TPrimitiveObject::Assign(source);
    if (auto* other = dynamic_cast<const TDoubleObject*>(&source)) Value = other->Value;
}

TRealPoint MakeRealPoint(double x, double y) {
    return TRealPoint{x, y};
}

TRealRect MakeRealRect(double left, double top, double right, double bottom) {
    return TRealRect{left, top, right, bottom};
}

TRealRect RectToRealRect(const TRect& rect) {
    return TRealRect{static_cast<double>(rect.Left), static_cast<double>(rect.Top),
                     static_cast<double>(rect.Right), static_cast<double>(rect.Bottom)};
}

void InflateRealRect(TRealRect& rect, double dx, double dy) {
    rect.Left -= dx;
    rect.Top -= dy;
    rect.Right += dx;
    rect.Bottom += dy;
}

bool InterpolateFrom(const TRealPointList& list, int start, double x, double& value,
                     int& intervalIndex) {
    const auto& points = list.Points();
    const int count = list.Count();
    if (start < 0 || count - 2 < start) return false;
    for (int i = start; i <= count - 2; ++i) {
        const TRealPoint& p = points[static_cast<size_t>(i)];
        const TRealPoint& q = points[static_cast<size_t>(i) + 1];
        if (p.X <= x && x <= q.X) {
            const double span = q.X - p.X;
            if (span == 0) throw EInvalidOp("Invalid floating point operation");
            const double result = p.Y + ((x - p.X) / span) * (q.Y - p.Y);
            // Huge coordinates can overflow to infinity or give inf - inf; such a value
            // would poison every later figure, so it fails like 0/0 does.
            if (!std::isfinite(result)) throw EInvalidOp("Floating point overflow");
            value = result;
            intervalIndex = i;
            return true;
        }
    }
    return false;
}

bool InterpolateAt(const TRealPointList& list, double x, double& value) {
    int intervalIndex = 0;
    return InterpolateFrom(list, 0, x, value, intervalIndex);
}

void SubtractFromValues(TRealPointList& list, double delta) {
    if (list.Count() == 0) return;
    // The points are stored contiguously: one checked access reaches them all.
    TRealPoint* const points = &list.PointAt(0);
    for (int i = 0; i < list.Count(); ++i) points[i].Y -= delta;
}

void RotateHalfTurn(const TRealPointList& source, TRealPointList& dest) {
    dest.Clear();
    dest.Reserve(360);
    for (int k = 180; k <= 360; ++k) dest.Add(k - 180, source.PointAt(k).Y);
    for (int k = 1; k <= 179; ++k) dest.Add(k + 180, source.PointAt(k).Y);
}

}  // namespace ostrel
