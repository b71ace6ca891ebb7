#pragma once

#include <string>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Turns the points of one cut, angles anywhere in -360..360 and in any order, into the shape
// the resampler expects: angles folded into 0..360, sorted, the first point repeated at
// +360 so that every whole degree lies in an interval. Of two points at the same folded
// angle (-180 and 180, or 0 and 360) the first in the file wins. Raises EFormatError naming
// `cutName` when the cut has fewer than two distinct angles.
TRealPointList FoldedCircularCut(const TRealPointList& points, const std::string& cutName);

// "(line N)", the suffix every reader's error carries.
std::string LineSuffix(long long lineNumber);

}  // namespace ostrel
