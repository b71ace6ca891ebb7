#include "draw/WuLines.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ostrel {

namespace {

// Blends `color` over one pixel with coverage 0..256.
inline void BlendPixel(std::uint32_t& pixel, std::uint32_t color, int coverage) {
    if (coverage <= 0) return;
    if (coverage >= 256) {
        pixel = color;
        return;
    }
    // Each channel moves toward the colour by the coverage; with an opaque colour this is
    // source-over for opaque and for premultiplied pixels alike. Two channels at a time, each
    // in a 16-bit lane (255 * 256 still fits).
    const std::uint32_t rest = 256 - static_cast<std::uint32_t>(coverage);
    const auto c = static_cast<std::uint32_t>(coverage);
    const std::uint32_t redBlue =
        (((color & 0xFF00FF) * c + (pixel & 0xFF00FF) * rest) >> 8) & 0xFF00FF;
    const std::uint32_t alphaGreen =
        (((color >> 8) & 0xFF00FF) * c + ((pixel >> 8) & 0xFF00FF) * rest) & 0xFF00FF00;
    pixel = redBlue | alphaGreen;
}

inline void Blend(const TPixelArea& area, int x, int y, std::uint32_t color, int coverage) {
    if (x < area.Left || x >= area.Right || y < area.Top || y >= area.Bottom) return;
    BlendPixel(area.Pixels[y * area.Stride + x], color, coverage);
}

// One segment from a to b; `skipFirst` and `skipLast` leave out the pixel of a or of b,
// which a neighbouring segment inks.
void DrawSegment(const TPixelArea& area, TRealPoint a, TRealPoint b, std::uint32_t color,
                 bool skipFirst, bool skipLast) {
    // Pixel centres at whole numbers.
    double x0 = a.X - 0.5;
    double y0 = a.Y - 0.5;
    double x1 = b.X - 0.5;
    double y1 = b.Y - 0.5;
    const bool steep = std::fabs(y1 - y0) > std::fabs(x1 - x0);
    if (steep) {
        std::swap(x0, y0);
        std::swap(x1, y1);
    }
    // Step from the first point to the last along the major axis, forwards or backwards.
    const int first = static_cast<int>(std::lround(x0));
    const int last = static_cast<int>(std::lround(x1));
    const int step = last >= first ? 1 : -1;
    const double gradient = x1 != x0 ? (y1 - y0) / (x1 - x0) : 0.0;
    const int start = skipFirst ? first + step : first;
    const int end = skipLast ? last - step : last;
    if ((step > 0 && start > end) || (step < 0 && start < end)) return;
    // A segment well inside the area needs no check per pixel.
    const int majorLow = steep ? area.Top : area.Left;
    const int majorHigh = steep ? area.Bottom : area.Right;
    const int minorLow = steep ? area.Left : area.Top;
    const int minorHigh = steep ? area.Right : area.Bottom;
    const bool inside = std::min(start, end) >= majorLow && std::max(start, end) < majorHigh &&
                        std::min(y0, y1) - 1 >= minorLow && std::max(y0, y1) + 2 < minorHigh;
    const std::ptrdiff_t majorStride = steep ? area.Stride : 1;
    const std::ptrdiff_t minorStride = steep ? 1 : area.Stride;
    for (int major = start;; major += step) {
        const double minor = y0 + gradient * (major - x0);
        // floor() without a library call: the points are near the area, so minor is small.
        int m = static_cast<int>(minor);
        if (m > minor) --m;
        const int far = static_cast<int>((minor - m) * 256 + 0.5);
        const int near = 256 - far;
        if (inside) {
            std::uint32_t* pixel = area.Pixels + major * majorStride + m * minorStride;
            BlendPixel(*pixel, color, near);
            BlendPixel(pixel[minorStride], color, far);
        } else if (steep) {
            Blend(area, m, major, color, near);
            Blend(area, m + 1, major, color, far);
        } else {
            Blend(area, major, m, color, near);
            Blend(area, major, m + 1, color, far);
        }
        if (major == end) break;
    }
}

}  // namespace

bool DrawWuPolyline(const TPixelArea& area, const TRealPoint* points, size_t count,
                    std::uint32_t color) {
    for (size_t i = 0; i < count; ++i) {
        if (!NearPixelArea(area, points[i])) return false;
    }
    if (count < 2) return true;
    const bool closed =
        count > 2 && points[0].X == points[count - 1].X && points[0].Y == points[count - 1].Y;
    for (size_t i = 1; i < count; ++i) {
        DrawSegment(area, points[i - 1], points[i], color, i > 1, closed && i == count - 1);
    }
    return true;
}

}  // namespace ostrel
