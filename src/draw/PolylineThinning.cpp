#include "draw/PolylineThinning.h"

#include <cmath>
#include <utility>
#include <vector>

namespace ostrel {

namespace {

double SquaredDistanceToSegment(const TRealPoint& p, const TRealPoint& a, const TRealPoint& b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double ex = p.X - (a.X + t * dx);
    const double ey = p.Y - (a.Y + t * dy);
    return ex * ex + ey * ey;
}

}  // namespace

TRealPointArray ThinnedPolyline(const TRealPointArray& points, double tolerance) {
    if (points.size() < 3 || !(tolerance > 0)) return points;
    const double tolerance2 = tolerance * tolerance;
    std::vector<char> keep(points.size(), 0);
    keep.front() = 1;
    keep.back() = 1;
    // Spans still to look at, as index pairs; a stack instead of recursion, so that a long
    // polyline cannot exhaust the call stack.
    std::vector<std::pair<size_t, size_t>> spans{{0, points.size() - 1}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double farthest2 = tolerance2;
        size_t farthest = first;
        for (size_t i = first + 1; i < last; ++i) {
            const double d2 = SquaredDistanceToSegment(points[i], points[first], points[last]);
            if (d2 > farthest2) {
                farthest2 = d2;
                farthest = i;
            }
        }
        if (farthest == first) continue;
        keep[farthest] = 1;
        spans.push_back({first, farthest});
        spans.push_back({farthest, last});
    }
    TRealPointArray kept;
    for (size_t i = 0; i < points.size(); ++i) {
        if (keep[i]) kept.push_back(points[i]);
    }
    return kept;
}

}  // namespace ostrel
