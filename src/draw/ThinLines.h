#pragma once

#include <cstddef>
#include <cstdint>

#include "model/PrimitiveObjects.h"

namespace ostrel {

// 32-bit pixels 0xAARRGGBB (opaque, or alpha-premultiplied) in rows `Stride` pixels apart,
// and the pixels that may be touched: columns ClipLeft..ClipRight and rows
// ClipTop..ClipBottom, both ends included.
struct TPixelSurface {
    std::uint32_t* Pixels = nullptr;
    std::ptrdiff_t Stride = 0;
    int ClipLeft = 0;
    int ClipTop = 0;
    int ClipRight = -1;
    int ClipBottom = -1;
};

// A one-pixel antialiased solid polyline through `points` (pixel centres at half-integer
// coordinates), blended source-over in `color` (0xAARRGGBB, premultiplied). This is the
// arithmetic of Qt's raster engine for thin antialiased pens, step for step (26.6 fixed
// point ends, 16.16 fixed point across, two pixels per step sharing the coverage), so that
// a curve drawn here has the very pixels QPainter would give it, only without the engine's
// per-segment set-up, which costs more than the pixels themselves on short segments.
// `squareCaps` extends an open polyline by half a pixel at both ends; a polyline whose last
// point is its first is closed and has no caps. The caller keeps every point within the
// surface's rectangle (plus one pixel), where no geometric clipping is needed.
void StrokeThinPolyline(const TPixelSurface& surface, const TRealPoint* points, size_t count,
                        std::uint32_t color, bool squareCaps);

// Appends the points of the cubic Bézier curve from p1 to p4 (controls p2, p3) after p1,
// split in halves until each piece is flat within a quarter pixel (at most six times): the
// pieces the engine strokes a curve with, so that StrokeThinPolyline over them draws the
// engine's thin curve.
void AppendFlattenedCubic(const TRealPoint& p1, const TRealPoint& p2, const TRealPoint& p3,
                          const TRealPoint& p4, TRealPointArray& points);

// How many polylines this thread has stroked here: lets tests see which path drew a line.
std::uint64_t ThinPolylinesStroked();

}  // namespace ostrel
