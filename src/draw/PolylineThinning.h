#pragma once

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Drops the vertices of a device-space polyline that add no visible shape: the curves of
// many patterns have hundreds of vertices a pixel or less apart, and a stroker pays for
// every segment whether or not it adds ink.
//
// Ramer-Douglas-Peucker simplification (U. Ramer, 1972; D. Douglas and T. Peucker, 1973):
// the first and last vertices stay; between two kept vertices, the one farthest from the
// segment joining them is kept when it lies more than `tolerance` away, and the two halves
// are treated alike. Distances are to the segment, not to its line, so a turn back is never
// dropped. Every dropped vertex then lies within `tolerance` of the segment that replaces
// it, and every point of that segment within `tolerance` of the original polyline.
TRealPointArray ThinnedPolyline(const TRealPointArray& points, double tolerance);

}  // namespace ostrel
