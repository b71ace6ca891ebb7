#include "formats/CircularCuts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "model/AsciiText.h"
#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// Angles beyond one turn either way, which files rarely hold: kept out of line so that the
// common case below inlines into every loop over a cut.
[[gnu::noinline]] double FoldedFarAngle(double angle) {
    double folded = std::fmod(angle, 360.0);
    if (folded < 0) folded += 360.0;
    // fmod of a tiny negative angle gives 360 after the shift, which is 0 again.
    return folded >= 360.0 ? 0 : folded;
}

inline double FoldedAngle(double angle) {
    // Most angles need no division: fmod leaves a value within one turn as it is.
    if (angle >= 0 && angle < 360.0) return angle;
    // Within one turn below 0 fmod leaves the angle as it is too (cuts from -180 to 180).
    if (angle > -360.0 && angle < 0) {
        const double shifted = angle + 360.0;
        return shifted >= 360.0 ? 0 : shifted;
    }
    return FoldedFarAngle(angle);
}

// The whole degrees -360 to 360, from a table: a cut's angles are compared with them bit for
// bit, which the compiler runs several points at a time.
constexpr int kTableTurn = 360;
constexpr std::array<double, 2 * kTableTurn + 1> kWholeDegrees = [] {
    std::array<double, 2 * kTableTurn + 1> degrees{};
    for (int k = 0; k <= 2 * kTableTurn; ++k) degrees[static_cast<size_t>(k)] = k - kTableTurn;
    return degrees;
}();

// The first angle when the points' angles are the whole degrees first, first + 1, ... bit
// for bit, with first from -359 to 0, at least two points and the last angle below 360:
// the usual cut of a file (-180 to 180, 0 to 359), whose folding is known without
// searching. Nothing for any other cut (-0 included, whose sign the folding keeps).
std::optional<int> WholeDegreesStart(const std::vector<TRealPoint>& points) {
    if (points.size() < 2 || points.size() > 361) return std::nullopt;
    const double first = points.front().X;
    if (!(first >= 1 - kTableTurn && first <= 0) || first != std::floor(first)) return std::nullopt;
    const int start = static_cast<int>(first);
    if (start + static_cast<int>(points.size()) - 1 >= kTableTurn) return std::nullopt;
    const double* const expected = &kWholeDegrees[static_cast<size_t>(start + kTableTurn)];
    std::uint64_t differ = 0;
    for (size_t i = 0; i < points.size(); ++i)
        differ |=
            std::bit_cast<std::uint64_t>(points[i].X) ^ std::bit_cast<std::uint64_t>(expected[i]);
    if (differ != 0) return std::nullopt;
    return start;
}

// True when the points' directions plainly differ, told in one pass without sorting: their
// folded angles rise strictly, at most once falling back below the first (the turn passing
// 360), and a last point in the first point's direction closes a whole turn. Cuts as files
// give them pass; anything else is left to the full search, which this never contradicts.
bool DirectionsPlainlyDiffer(const std::vector<TRealPoint>& list) {
    if (list.size() < 2) return true;
    // Whole degrees in a row span less than a turn, or exactly one whose ends close it.
    if (WholeDegreesStart(list)) return true;
    const double first = FoldedAngle(list.front().X);
    size_t end = list.size();
    if (FoldedAngle(list.back().X) == first) {
        if (std::fabs(list.back().X - list.front().X) != 360.0) return false;
        --end;
    }
    bool wrapped = false;
    double previous = first;
    for (size_t i = 1; i < end; ++i) {
        const double folded = FoldedAngle(list[i].X);
        if (folded <= previous) {
            if (wrapped || folded == previous) return false;
            wrapped = true;
        }
        previous = folded;
    }
    return !wrapped || previous < first;
}

}  // namespace

namespace {

// FoldedCircularCut of whole degrees from `start` (see WholeDegreesStart): the angles from 0
// on as they are, then those below 0 a turn up, a last point a whole turn from the first
// left out (the first in the file wins), and the first point again at +360.
TRealPointList FoldedWholeDegrees(const std::vector<TRealPoint>& points, int start) {
    const size_t count = points.size();
    const size_t belowZero = std::min(count, static_cast<size_t>(-start));
    const size_t closing = count == 361 && belowZero > 0 && belowZero < count ? 1 : 0;
    std::vector<TRealPoint> folded;
    folded.reserve(count + 1);
    folded.insert(folded.end(), points.begin() + static_cast<std::ptrdiff_t>(belowZero),
                  points.end() - static_cast<std::ptrdiff_t>(closing));
    for (size_t i = 0; i < belowZero; ++i) folded.push_back({points[i].X + 360.0, points[i].Y});
    folded.push_back({folded.front().X + 360.0, folded.front().Y});
    TRealPointList result;
    result.Assign(std::move(folded));
    return result;
}

}  // namespace

TRealPointList FoldedCircularCut(const TRealPointList& points, const std::string& cutName) {
    if (const std::optional<int> start = WholeDegreesStart(points.Points()))
        return FoldedWholeDegrees(points.Points(), *start);
    std::vector<TRealPoint> folded;
    folded.reserve(points.Points().size() + 1);
    bool anyNaN = false;
    for (const TRealPoint& point : points.Points()) {
        const double angle = FoldedAngle(point.X);
        anyNaN |= angle != angle;
        folded.push_back({angle, point.Y});
    }
    const auto byAngle = [](const TRealPoint& a, const TRealPoint& b) { return a.X < b.X; };
    // A cut as files give it rises in one run, or in two when its turn starts below 0
    // (-180 .. 180 folds to 180 .. 360, 0 .. 180): merging the two runs gives just what a
    // stable sort gives, equal angles in their order in the file, without the sort's work.
    const auto split = std::is_sorted_until(folded.begin(), folded.end(), byAngle);
    if (split != folded.end() && std::is_sorted(split, folded.end(), byAngle)) {
        const double firstAngle = folded.front().X;
        if (!anyNaN && !(firstAngle < folded.back().X)) {
            // The second run ends at or below where the first starts, as such a cut's does:
            // the merge puts it before the first run, save its points at the first run's
            // starting angle, which follow that run's own and which only the first of equal
            // angles (below) would drop anyway. Moving them in place needs no second list.
            const auto firstRun = split - folded.begin();
            auto tail = folded.end();
            while (tail != split && tail[-1].X == firstAngle) --tail;
            folded.erase(tail, folded.end());
            std::rotate(folded.begin(), folded.begin() + firstRun, folded.end());
        } else {
            std::vector<TRealPoint> merged;
            merged.reserve(folded.size() + 1);
            std::merge(folded.begin(), split, split, folded.end(), std::back_inserter(merged),
                       byAngle);
            folded.swap(merged);
        }
    } else if (split != folded.end()) {
        std::stable_sort(folded.begin(), folded.end(), byAngle);
    }
    const auto last =
        std::unique(folded.begin(), folded.end(),
                    [](const TRealPoint& a, const TRealPoint& b) { return a.X == b.X; });
    folded.erase(last, folded.end());
    if (folded.size() < 2) {
        throw EFormatError("The " + cutName + " cut needs points at two angles at least.");
    }
    folded.push_back({folded.front().X + 360.0, folded.front().Y});
    TRealPointList result;
    result.Assign(std::move(folded));
    return result;
}

std::optional<TRepeatedDirection> FindRepeatedDirection(const TRealPointList& points) {
    const std::vector<TRealPoint>& list = points.Points();
    if (DirectionsPlainlyDiffer(list)) return std::nullopt;
    std::vector<std::pair<double, size_t>> order;
    order.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) order.push_back({FoldedAngle(list[i].X), i});
    // Sorted by direction, then by place in the list: each direction's points lie together,
    // earliest first.
    std::sort(order.begin(), order.end());
    const size_t last = list.size() - 1;
    std::optional<TRepeatedDirection> first;
    for (size_t k = 0; k + 1 < order.size(); ++k) {
        if (order[k].first != order[k + 1].first) continue;
        const size_t earlier = order[k].second;
        const size_t later = order[k + 1].second;
        const bool closesTurn =
            earlier == 0 && later == last && std::fabs(list[last].X - list[0].X) == 360.0;
        if (!closesTurn && (!first || later < first->Index))
            first = TRepeatedDirection{later, earlier};
    }
    return first;
}

std::string RepeatedAngleMessage(const std::string& what, double angle, double earlierAngle,
                                 long long earlierLine, long long line) {
    if (angle == earlierAngle) {
        return what + " " + FormatGeneral(angle) + " is listed twice, first on line " +
               std::to_string(earlierLine) + LineSuffix(line);
    }
    return what + " " + FormatGeneral(angle) + " is the direction of " + AsciiLowerCase(what) +
           " " + FormatGeneral(earlierAngle) + " on line " + std::to_string(earlierLine) +
           LineSuffix(line);
}

void RefuseRepeatedDirection(const TRealPointList& points, const std::vector<long long>& lines,
                             const std::string& what) {
    // Of two points in one direction only one could be drawn, and which one the file meant
    // cannot be told.
    const auto repeat = FindRepeatedDirection(points);
    if (!repeat) return;
    throw EFormatError(RepeatedAngleMessage(what, points.Points()[repeat->Index].X,
                                            points.Points()[repeat->Earlier].X,
                                            lines.at(repeat->Earlier), lines.at(repeat->Index)));
}

std::string QuotedFileText(std::string_view text) {
    return "'" + VisibleControlBytes(CutAtCharacter(text, 40)) + "'";
}

std::string LineSuffix(long long lineNumber) {
    return " (line " + std::to_string(lineNumber) + ")";
}

}  // namespace ostrel
