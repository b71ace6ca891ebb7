#include "views/CoverageView.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <vector>

#include "views/CoverageParts.h"

namespace ostrel {

using namespace coverage_parts;

std::vector<TRealPointArray> ContourLines(const TCoverage& coverage, double levelDbm) {
    std::vector<TRealPointArray> lines;
    if (!HasGrid(coverage)) return lines;
    const int side = coverage.GridSide;
    // Edges are numbered 2 * (row * side + column), plus 1 for the one going down from a
    // point; the other goes right.
    const auto edgeId = [side](int row, int column, bool down) {
        return 2 * (row * side + column) + (down ? 1 : 0);
    };
    const auto crossing = [&](int edge) {
        const int point = edge / 2;
        const int row = point / side;
        const int column = point % side;
        const bool down = edge % 2 == 1;
        const int row2 = down ? row + 1 : row;
        const int column2 = down ? column : column + 1;
        const double v1 = LevelAt(coverage, row, column);
        const double v2 = LevelAt(coverage, row2, column2);
        double t = 0.5;
        if (std::isfinite(v1) && std::isfinite(v2) && v1 != v2) t = (levelDbm - v1) / (v2 - v1);
        t = std::clamp(t, 0.0, 1.0);
        const double x = GridOffsetM(coverage, column) + t * (column2 - column) * coverage.StepM;
        // Rows run from +radius down.
        const double y = -GridOffsetM(coverage, row) - t * (row2 - row) * coverage.StepM;
        return TRealPoint{x, y};
    };

    struct TSegment {
        int From, To;
    };
    std::vector<TSegment> segments;
    for (int row = 0; row + 1 < side; ++row) {
        for (int column = 0; column + 1 < side; ++column) {
            const bool a = LevelAt(coverage, row, column) >= levelDbm;
            const bool b = LevelAt(coverage, row, column + 1) >= levelDbm;
            const bool c = LevelAt(coverage, row + 1, column + 1) >= levelDbm;
            const bool d = LevelAt(coverage, row + 1, column) >= levelDbm;
            // Edges around the cell: top, right, bottom, left.
            const int top = edgeId(row, column, false);
            const int right = edgeId(row, column + 1, true);
            const int bottom = edgeId(row + 1, column, false);
            const int left = edgeId(row, column, true);
            int crossed[4];
            int count = 0;
            if (a != b) crossed[count++] = top;
            if (b != c) crossed[count++] = right;
            if (c != d) crossed[count++] = bottom;
            if (d != a) crossed[count++] = left;
            if (count == 2) {
                segments.push_back({crossed[0], crossed[1]});
            } else if (count == 4) {
                const double centre =
                    (LevelAt(coverage, row, column) + LevelAt(coverage, row, column + 1) +
                     LevelAt(coverage, row + 1, column + 1) + LevelAt(coverage, row + 1, column)) /
                    4;
                if (a != (centre >= levelDbm)) {
                    // The top-left and bottom-right corners are cut off.
                    segments.push_back({top, left});
                    segments.push_back({right, bottom});
                } else {
                    segments.push_back({top, right});
                    segments.push_back({bottom, left});
                }
            }
        }
    }

    // Each crossed edge belongs to at most two segments: join them through it.
    std::vector<std::array<int, 2>> byEdge(static_cast<size_t>(2 * side * side), {-1, -1});
    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        for (const int edge :
             {segments[static_cast<size_t>(i)].From, segments[static_cast<size_t>(i)].To}) {
            auto& slot = byEdge[static_cast<size_t>(edge)];
            (slot[0] < 0 ? slot[0] : slot[1]) = i;
        }
    }
    std::vector<bool> used(segments.size(), false);
    const auto other = [&](int segment, int edge) {
        const auto& slot = byEdge[static_cast<size_t>(edge)];
        const int next = slot[0] == segment ? slot[1] : slot[0];
        return (next >= 0 && !used[static_cast<size_t>(next)]) ? next : -1;
    };
    for (int start = 0; start < static_cast<int>(segments.size()); ++start) {
        if (used[static_cast<size_t>(start)]) continue;
        used[static_cast<size_t>(start)] = true;
        std::deque<int> edges{segments[static_cast<size_t>(start)].From,
                              segments[static_cast<size_t>(start)].To};
        // Forward from the end, then backward from the start.
        for (const bool forward : {true, false}) {
            int segment = start;
            for (;;) {
                const int edge = forward ? edges.back() : edges.front();
                const int next = other(segment, edge);
                if (next < 0) break;
                used[static_cast<size_t>(next)] = true;
                const TSegment& s = segments[static_cast<size_t>(next)];
                const int far = s.From == edge ? s.To : s.From;
                if (forward) {
                    edges.push_back(far);
                } else {
                    edges.push_front(far);
                }
                segment = next;
            }
        }
        TRealPointArray line;
        line.reserve(edges.size());
        for (const int edge : edges) line.push_back(crossing(edge));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace ostrel
