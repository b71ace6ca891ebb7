#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Turns the points of one cut, angles anywhere in -360..360 and in any order, into the shape
// the resampler expects: angles folded into 0..360, sorted, the first point repeated at
// +360 so that every whole degree lies in an interval. Of two points at the same folded
// angle (-180 and 180, or 0 and 360) the first in the file wins. Raises EFormatError naming
// `cutName` when the cut has fewer than two distinct angles.
TRealPointList FoldedCircularCut(const TRealPointList& points, const std::string& cutName);

// Two points of a cut in the same direction: the later one's index and the earlier one's.
struct TRepeatedDirection {
    size_t Index = 0;
    size_t Earlier = 0;
};

// The first point (in list order) whose direction, angles folded as FoldedCircularCut folds
// them, an earlier point already gives; nothing when every direction is given once. A last
// point exactly a full turn from the first (-180 and 180, 0 and 360) closes the circle and
// is no repeat.
std::optional<TRepeatedDirection> FindRepeatedDirection(const TRealPointList& points);

// The error for an angle given twice, as every reader words it: "Angle 10 is listed twice,
// first on line 7 (line 9)", or for two angles of one direction "Angle 360 is the direction
// of angle 0 on line 7 (line 9)". `what` names the angle ("Angle", "Elevation").
std::string RepeatedAngleMessage(const std::string& what, double angle, double earlierAngle,
                                 long long earlierLine, long long line);

// Raises EFormatError with RepeatedAngleMessage for the point FindRepeatedDirection finds;
// `lines` holds each point's line.
void RefuseRepeatedDirection(const TRealPointList& points, const std::vector<long long>& lines,
                             const std::string& what);

// "(line N)", the suffix every reader's error carries.
std::string LineSuffix(long long lineNumber);

// Text of a file inside an error message: 'text', at most its first 40 bytes (never half a
// character), control bytes shown as "\xNN".
std::string QuotedFileText(std::string_view text);

}  // namespace ostrel
