#pragma once

#include <cstddef>
#include <cstdint>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// 32-bit pixels (0xAARRGGBB, opaque or alpha-premultiplied) in rows `Stride` pixels apart;
// only the pixels in columns Left..Right-1 and rows Top..Bottom-1 are ever written.
struct TPixelArea {
    std::uint32_t* Pixels = nullptr;
    std::ptrdiff_t Stride = 0;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// A one-pixel antialiased polyline by Xiaolin Wu's method (X. Wu, "An Efficient
// Antialiasing Technique", SIGGRAPH 1991): along its major axis the line crosses each pixel
// column (or row) once, and its ink there is shared between the two pixels nearest to the
// exact crossing, in proportion to how near each is. Coordinates are continuous, pixel
// (i, j) spanning [i, i+1] x [j, j+1]; `color` (opaque, 0xAARRGGBB) is blended over the
// pixels by coverage. A vertex shared by two segments is inked once, as is the first point
// of a closed polyline (last point equal to the first).
//
// Every point must be near the area (NearPixelArea): the line is walked one pixel per step
// along its whole length, so a point far off (or not a number) would cost a walk through
// nothing, or an overflow. When a point is not near, nothing is drawn and the answer is
// false: the caller draws that line another way (a paint must never fail).
bool DrawWuPolyline(const TPixelArea& area, const TRealPoint* points, size_t count,
                    std::uint32_t color);

// Whether a point lies on the area or at most one pixel beyond its edges.
inline bool NearPixelArea(const TPixelArea& area, TRealPoint point) {
    return point.X >= area.Left - 1 && point.X <= area.Right + 1 && point.Y >= area.Top - 1 &&
           point.Y <= area.Bottom + 1;
}

}  // namespace ostrel
