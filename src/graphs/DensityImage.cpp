#include "graphs/DensityImage.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <optional>
#include <thread>

#include "draw/FourLanes.h"
#include "draw/LineClipping.h"

namespace ostrel {

namespace {

// Below this many curves a thread costs more to start than it saves.
constexpr int kCurvesPerThread = 64;
// Curves a thread takes at a time: few enough to even out the threads' ends, enough that
// taking them costs nothing next to counting them.
constexpr int kCurvesPerTake = 16;
// A raster larger than this (a poster-sized print) is made coarser rather than huge.
constexpr double kMaxRasterPixels = 16e6;

// The lightest and darkest tones of the density scale. Cubehelix runs from black (0) to
// white (1); a single curve stays well off the white paper.
constexpr double kLightestFraction = 0.78;
constexpr double kDarkestFraction = 0.05;

std::uint8_t ColorByte(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

std::uint32_t OpaqueArgb(TColor color) {
    return 0xFF000000u | (static_cast<std::uint32_t>(ColorRed(color)) << 16) |
           (static_cast<std::uint32_t>(ColorGreen(color)) << 8) | ColorBlue(color);
}

}  // namespace

// Four points at a time: the per-segment loop is then left only integers to look at. The
// rounding shift rounds as RoundToDevice does for a coordinate inside the raster.
OSTREL_VECTOR_CLONES void RoundToPixels(const TRealPoint* points, size_t count, double right,
                                        double bottom, TDensityPixel* out) {
    for (size_t k = 0; k < count; k += 4) {
        // Past the end, lanes repeat the last point.
        const size_t at[] = {k, std::min(k + 1, count - 1), std::min(k + 2, count - 1),
                             std::min(k + 3, count - 1)};
        const TFourDoubles x = {points[at[0]].X, points[at[1]].X, points[at[2]].X, points[at[3]].X};
        const TFourDoubles y = {points[at[0]].Y, points[at[1]].Y, points[at[2]].Y, points[at[3]].Y};
        const TFourMasks inside = (x >= 0) & (x <= right) & (y >= 0) & (y <= bottom);
        const TFourDoubles roundX = (x + kRoundingShift) - kRoundingShift;
        const TFourDoubles roundY = (y + kRoundingShift) - kRoundingShift;
        for (int lane = 0; lane < 4; ++lane) {
            const bool in = inside[lane] != 0;
            out[at[lane]] = {in ? static_cast<int>(roundX[lane]) : 0,
                             in ? static_cast<int>(roundY[lane]) : 0, in};
        }
    }
}

TDensityCounts::TDensityCounts(int width, int height)
    : FWidth(std::max(0, width)),
      FHeight(std::max(0, height)),
      FCells(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight)),
      FTotals(FCells.size()) {}

std::uint32_t TDensityCounts::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
    return CountAt(static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x));
}

std::uint32_t TDensityCounts::MaxCount() const {
    std::uint32_t highest = 0;
    for (size_t i = 0; i < FCells.size(); ++i) highest = std::max(highest, CountAt(i));
    return highest;
}

void TDensityCounts::MoveToTotals() {
    for (size_t i = 0; i < FCells.size(); ++i) {
        FTotals[i] += FCells[i].Count;
        FCells[i] = TCell{};
    }
}

void TDensityCounts::CountLine(int x0, int y0, int x1, int y1, bool skipFirst) {
    // Bresenham's line algorithm (IBM Systems Journal 4(1), 1965): one pixel per step along
    // the major axis, the minor axis following its error term. The steps go through the
    // raster's cells; both ends lie inside it, and so does every pixel between them. The
    // minor step is chosen without a branch: its direction changes from pixel to pixel in
    // a way no branch predictor follows.
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const std::ptrdiff_t stepX = x1 >= x0 ? 1 : -1;
    const std::ptrdiff_t stepY = y1 >= y0 ? FWidth : -std::ptrdiff_t{FWidth};
    const bool alongX = dx >= dy;
    const int major = alongX ? dx : dy;
    const int minor = alongX ? dy : dx;
    const std::ptrdiff_t majorStep = alongX ? stepX : stepY;
    const std::ptrdiff_t minorStep = alongX ? stepY : stepX;
    const auto curve = static_cast<std::uint16_t>(FCurve);
    // A pointer rather than an index, and the pixels left counted down: each step then needs
    // no address arithmetic and no test of its own.
    TCell* at = FCells.data() + (static_cast<std::ptrdiff_t>(y0) * FWidth + x0);
    // The error term kept negated, so that its sign bit is the move: the minor axis moves
    // where the error is above zero, that is where `negated` is below it.
    const std::ptrdiff_t twiceMinor = 2 * static_cast<std::ptrdiff_t>(minor);
    const std::ptrdiff_t twiceMajor = 2 * static_cast<std::ptrdiff_t>(major);
    std::ptrdiff_t negated = major - twiceMinor;
    constexpr int kSignShift = std::numeric_limits<std::ptrdiff_t>::digits;
    auto advance = [&] {
        const std::ptrdiff_t moves = negated >> kSignShift;
        at += majorStep + (minorStep & moves);
        negated += (twiceMajor & moves) - twiceMinor;
    };
    int left = major + 1;
    if (skipFirst) {
        // The shared pixel is the last one's end and already counted.
        if (major == 0) return;
        advance();
        --left;
    }
    // The walk stops on its last pixel: a step past it could leave the raster.
    for (;;) {
        // A curve counts a pixel once, also where it comes back to it: the cell remembers
        // the last curve it counted. Neighbouring pixels have cells of their own, so no
        // step waits for the previous one's store, and there is nothing to clear afterwards.
        TCell& cell = *at;
        cell.Count = static_cast<std::uint16_t>(cell.Count + (cell.Curve != curve));
        cell.Curve = curve;
        if (--left == 0) return;
        advance();
    }
}

void TDensityCounts::AddCurve(const TRealPointArray& points) {
    if (points.empty() || FCells.empty()) return;
    if (FCurve == kMaxCellValue) {
        // The small cells could overflow with the next curve, and its number would not fit:
        // their counts go to the totals and the numbering starts again.
        MoveToTotals();
        FCurve = 0;
    }
    ++FCurve;
    const TRealRect raster{0, 0, static_cast<double>(FWidth - 1), static_cast<double>(FHeight - 1)};
    const size_t count = points.size();
    FPixels.resize(count);
    RoundToPixels(points.data(), count, raster.Right, raster.Bottom, FPixels.data());
    const TDensityPixel* const pixels = FPixels.data();
    if (count == 1) {
        if (pixels[0].Inside) CountLine(pixels[0].X, pixels[0].Y, pixels[0].X, pixels[0].Y, false);
        return;
    }
    // A segment that starts where the last one ended skips the pixel they share.
    bool joined = false;
    for (size_t i = 1; i < count; ++i) {
        const TDensityPixel& a = pixels[i - 1];
        const TDensityPixel& b = pixels[i];
        if (a.Inside & b.Inside) {
            CountLine(a.X, a.Y, b.X, b.Y, joined);
            joined = true;
        } else {
            // Only segments reaching outside need the clipping's divisions.
            TRealPoint from = points[i - 1];
            TRealPoint to = points[i];
            if (ClipSegment(from, to, raster)) {
                CountLine(RoundToDevice(from.X), RoundToDevice(from.Y), RoundToDevice(to.X),
                          RoundToDevice(to.Y), false);
            }
            joined = false;
        }
    }
}

std::vector<std::uint32_t> TDensityCounts::Counts() const {
    std::vector<std::uint32_t> counts;
    counts.reserve(FCells.size());
    for (size_t i = 0; i < FCells.size(); ++i) counts.push_back(CountAt(i));
    return counts;
}

void TDensityCounts::Merge(const TDensityCounts& other) {
    if (other.FCells.size() != FCells.size()) return;
    for (size_t i = 0; i < FCells.size(); ++i) FTotals[i] += other.CountAt(i);
}

TDensityCounts CountCurves(int width, int height, int curveCount, const TCurvePlacer& place,
                           int threads) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::clamp(curveCount / kCurvesPerThread, 1, threads);
    // The threads take curves in small runs as they get to them, rather than a fixed share
    // each: the calling thread starts first and the others may be slowed by the rest of the
    // machine, and a fixed share would leave the quicker ones waiting at the end. Each curve
    // is still counted whole on one thread, so the sums do not depend on who took what.
    std::atomic<int> nextCurve{0};
    auto countTaken = [&](TDensityCounts& counts) {
        TRealPointArray points;
        for (;;) {
            const int first = nextCurve.fetch_add(kCurvesPerTake, std::memory_order_relaxed);
            if (first >= curveCount) return;
            const int last = std::min(curveCount, first + kCurvesPerTake);
            for (int curve = first; curve < last; ++curve) {
                points.clear();
                place(curve, points);
                counts.AddCurve(points);
            }
        }
    };
    // Each worker makes its own raster, so that clearing it is not left to the calling thread.
    std::vector<std::optional<TDensityCounts>> parts(static_cast<size_t>(threads) - 1);
    TDensityCounts counts(width, height);
    {
        std::vector<std::jthread> workers;
        for (std::optional<TDensityCounts>& part : parts) {
            workers.emplace_back([&] { countTaken(part.emplace(width, height)); });
        }
        countTaken(counts);
    }
    for (const std::optional<TDensityCounts>& part : parts) counts.Merge(*part);
    return counts;
}

TColor CubehelixColor(double fraction) {
    // Green's defaults: start colour 0.5 (purple), -1.5 rotations, hue 1, gamma 1.
    constexpr double kStart = 0.5;
    constexpr double kRotations = -1.5;
    constexpr double kHue = 1.0;
    const double lambda = std::clamp(fraction, 0.0, 1.0);
    const double phi = 2 * std::numbers::pi * (kStart / 3 + kRotations * lambda);
    const double amplitude = kHue * lambda * (1 - lambda) / 2;
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    return RgbColor(ColorByte(lambda + amplitude * (-0.14861 * c + 1.78277 * s)),
                    ColorByte(lambda + amplitude * (-0.29227 * c - 0.90649 * s)),
                    ColorByte(lambda + amplitude * (1.97294 * c)));
}

TColor DensityColor(std::uint32_t count, std::uint32_t total) {
    const double share = total > 1 && count > 1 ? std::log(static_cast<double>(count)) /
                                                      std::log(static_cast<double>(total))
                                                : (count > 1 ? 1.0 : 0.0);
    return DensityScaleColor(share);
}

TColor DensityScaleColor(double share) {
    const double t = std::clamp(share, 0.0, 1.0);
    return CubehelixColor(kLightestFraction + t * (kDarkestFraction - kLightestFraction));
}

TPixelGraphic::TPixelGraphic(int width, int height)
    : FWidth(std::max(0, width)),
      FHeight(std::max(0, height)),
      FPixels(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight)) {}

std::uint32_t TPixelGraphic::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
    return FPixels[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)];
}

void TPixelGraphic::SetPixelAt(size_t index, std::uint32_t argb) {
    if (index < FPixels.size()) FPixels[index] = argb;
}

void TPixelGraphic::SetPixel(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    FPixels[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] = argb;
}

TPixelGraphic DensityPicture(const TDensityCounts& counts, std::uint32_t total) {
    TPixelGraphic picture(counts.Width(), counts.Height());
    // One colour per count, worked out once and only for the counts that occur: a count's
    // logarithm for every pixel, or for every possible count, would cost more than the
    // counting. 0 marks a colour not worked out yet; every colour is opaque. One pass over
    // the counts, which a window repaints for every change of the selection.
    std::vector<std::uint32_t> colors(static_cast<size_t>(total) + 1);
    counts.ForEachCount([&](size_t index, std::uint32_t count) {
        if (count == 0) return;
        if (count >= colors.size()) colors.resize(static_cast<size_t>(count) + 1);
        std::uint32_t& color = colors[count];
        if (color == 0) color = OpaqueArgb(DensityColor(count, total));
        picture.SetPixelAt(index, color);
    });
    return picture;
}

void TDensityPainter::Paint(TDrawer& drawer, const TSeriesList& series, const TRealRect& area,
                            const TSeriesPlacer& place) {
    const double left = std::floor(std::min(area.Left, area.Right));
    const double top = std::floor(std::min(area.Top, area.Bottom));
    const double right = std::ceil(std::max(area.Left, area.Right));
    const double bottom = std::ceil(std::max(area.Top, area.Bottom));
    if (!(right > left) || !(bottom > top)) return;
    // As fine as the device, up to the limit.
    const double deviceUnits = drawer.ScaleX > 0 ? drawer.ScaleX / 100 : 1;
    double pixelsPerUnit = std::min(deviceUnits, MaxPixelsPerUnit);
    const double pixelsAtOne = (right - left) * (bottom - top);
    if (pixelsAtOne * pixelsPerUnit * pixelsPerUnit > kMaxRasterPixels) {
        pixelsPerUnit = std::sqrt(kMaxRasterPixels / pixelsAtOne);
    }
    const int width = static_cast<int>(std::ceil((right - left) * pixelsPerUnit));
    const int height = static_cast<int>(std::ceil((bottom - top) * pixelsPerUnit));
    if (width <= 0 || height <= 0) return;

    const TDensityCounts counts =
        CountCurves(width, height, series.Count(), [&](int curve, TRealPointArray& points) {
            const TSeries& one = series.Items(curve);
            if (!one.Visible) return;
            place(one, points);
            for (TRealPoint& point : points) {
                point = {(point.X - left) * pixelsPerUnit, (point.Y - top) * pixelsPerUnit};
            }
        });
    const TPixelGraphic picture = DensityPicture(counts, Total);
    drawer.StretchDraw(
        TRealRect{left, top, left + width / pixelsPerUnit, top + height / pixelsPerUnit}, picture);
}

}  // namespace ostrel
