#pragma once

#include <vector>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// Clips line segments and polylines to a rectangle in plain geometry. Back-ends use it
// where the device cannot clip by itself (an SVG file keeps no clip paths), so that
// nothing drawn outside the clip rectangle ends up in the output.

// Clips the segment a-b to the rectangle (edges included; Left <= Right, Top <= Bottom
// expected, a reversed rectangle is normalised). Returns false when nothing of it is
// inside; otherwise a and b are moved onto the visible part.
bool ClipSegment(TRealPoint& a, TRealPoint& b, const TRealRect& rect);

// Clips a polyline to the rectangle: the visible parts as separate runs of at least two
// points, in drawing order. A polyline that stays inside comes back as one unchanged run.
std::vector<TRealPointArray> ClipPolyline(const TRealPointArray& points, const TRealRect& rect);

}  // namespace ostrel
