#include "draw/LineClipping.h"

#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

TRealRect Normalized(const TRealRect& rect) {
    return TRealRect{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                     std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
}

bool IsFinite(const TRealPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

}  // namespace

// Liang-Barsky: the segment is a + t (b - a), t in [0, 1]; each edge narrows the t range.
bool ClipSegment(TRealPoint& a, TRealPoint& b, const TRealRect& rect) {
    if (!IsFinite(a) || !IsFinite(b)) return false;
    const TRealRect r = Normalized(rect);
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.X - r.Left, r.Right - a.X, a.Y - r.Top, r.Bottom - a.Y};
    double tEnter = 0;
    double tLeave = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            // Parallel to this edge: inside or outside along the whole length.
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            tEnter = std::max(tEnter, t);
        } else {
            tLeave = std::min(tLeave, t);
        }
        if (tEnter > tLeave) return false;
    }
    const TRealPoint start = a;
    if (tEnter > 0) a = TRealPoint{start.X + tEnter * dx, start.Y + tEnter * dy};
    if (tLeave < 1) b = TRealPoint{start.X + tLeave * dx, start.Y + tLeave * dy};
    return true;
}

std::vector<TRealPointArray> ClipPolyline(const TRealPointArray& points, const TRealRect& rect) {
    std::vector<TRealPointArray> runs;
    TRealPointArray run;
    auto closeRun = [&] {
        if (run.size() >= 2) runs.push_back(std::move(run));
        run.clear();
    };
    // A segment with both ends inside is its own clipped segment (ClipSegment gives it
    // back unchanged); most segments of a curve are, and skip its four divisions.
    const TRealRect r = Normalized(rect);
    auto inside = [&r](const TRealPoint& p) {
        return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
    };
    for (size_t i = 1; i < points.size(); ++i) {
        TRealPoint a = points[i - 1];
        TRealPoint b = points[i];
        if (!(inside(a) && inside(b)) && !ClipSegment(a, b, rect)) {
            closeRun();
            continue;
        }
        // A segment continues the run only if it starts where the run ends, that is, if
        // its start was not moved by the clip.
        if (run.empty() || !(run.back() == a)) {
            closeRun();
            run.push_back(a);
        }
        run.push_back(b);
        // Leaving the rectangle ends the run even if the next segment comes back in.
        if (!(b == points[i])) closeRun();
    }
    closeRun();
    return runs;
}

}  // namespace ostrel
