#include "formats/CircularCuts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Errors.h"

namespace ostrel {

TRealPointList FoldedCircularCut(const TRealPointList& points, const std::string& cutName) {
    std::vector<TRealPoint> folded;
    folded.reserve(points.Points().size() + 1);
    for (const TRealPoint& point : points.Points()) {
        double angle = std::fmod(point.X, 360.0);
        if (angle < 0) angle += 360.0;
        // fmod of a tiny negative angle gives 360 after the shift, which is 0 again.
        if (angle >= 360.0) angle = 0;
        folded.push_back({angle, point.Y});
    }
    std::stable_sort(folded.begin(), folded.end(),
                     [](const TRealPoint& a, const TRealPoint& b) { return a.X < b.X; });
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

std::string LineSuffix(long long lineNumber) {
    return " (line " + std::to_string(lineNumber) + ")";
}

}  // namespace ostrel
