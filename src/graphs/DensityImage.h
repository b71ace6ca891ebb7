#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "draw/Drawer.h"
#include "graphs/GraphClasses.h"
#include "model/PrimitiveObjects.h"

namespace ostrel {

// A curve's point rounded to its pixel of a raster, and whether it lies inside.
struct TDensityPixel {
    int X = 0;
    int Y = 0;
    bool Inside = false;
};

// Each of `count` points rounded to its pixel (to nearest, ties to even) into `out`, and
// whether it lies inside 0 .. right, 0 .. bottom; a point outside, or NaN, is (0, 0) there.
void RoundToPixels(const TRealPoint* points, size_t count, double right, double bottom,
                   TDensityPixel* out);

// How many curves pass through each pixel of a raster. A curve is its points joined by
// straight lines, one pixel wide, without antialiasing; each pixel counts a curve once,
// however often the curve comes back to it.
class TDensityCounts {
public:
    TDensityCounts(int width, int height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The count of pixel (x, y); 0 outside the raster.
    std::uint32_t At(int x, int y) const;
    std::uint32_t MaxCount() const;

    // Counts one curve, its points in pixels (pixel (x, y) covers x - 0.5 .. x + 0.5); what
    // lies outside the raster is left out.
    void AddCurve(const TRealPointArray& points);
    // Adds another raster's counts of the same size (the halves counted on two threads).
    void Merge(const TDensityCounts& other);

    // Every count, row by row.
    std::vector<std::uint32_t> Counts() const;
    // Calls `visit(index, count)` for every pixel, row by row, without a copy of the counts.
    template <typename Visit>
    void ForEachCount(Visit visit) const {
        for (size_t i = 0; i < FCells.size(); ++i) visit(i, CountAt(i));
    }

private:
    // The pixels of a straight line between two pixels inside the raster; `skipFirst` leaves
    // out the first, which the curve's last line counted. Built into AddCurve: a curve's
    // lines are a few pixels long, and a call per line costs as much as several pixels.
    [[gnu::always_inline]] inline void CountLine(int x0, int y0, int x1, int y1, bool skipFirst);

    // Counting is bound by memory: each pixel keeps its recent count and the number of the
    // last curve that counted it side by side, in one 4-byte cell, so that the "once per
    // curve" test and the count share one cache line. Both are 16 bits wide: every 65,535
    // curves the recent counts move to FTotals and the curve numbers start again.
    static constexpr std::uint32_t kMaxCellValue = 0xFFFF;
    struct TCell {
        std::uint16_t Curve = 0;
        std::uint16_t Count = 0;
    };

    std::uint32_t CountAt(size_t index) const { return FTotals[index] + FCells[index].Count; }
    void MoveToTotals();

    int FWidth;
    int FHeight;
    std::vector<TCell> FCells;
    std::vector<std::uint32_t> FTotals;
    std::uint32_t FCurve = 0;
    // The current curve's pixels, kept to spare an allocation per curve.
    std::vector<TDensityPixel> FPixels;
};

// Counts `curveCount` curves on every core: `place(i, points)` fills `points` with curve i in
// pixels. It is called on several threads at once and must only read shared data.
using TCurvePlacer = std::function<void(int curve, TRealPointArray& points)>;
TDensityCounts CountCurves(int width, int height, int curveCount, const TCurvePlacer& place,
                           int threads = 0);

// The colour at `fraction` (0 black .. 1 white) of D. A. Green's "cubehelix" scheme (Bull.
// Astr. Soc. India 39, 289, 2011): a helix around the grey diagonal of the colour cube whose
// perceived brightness rises steadily with the fraction, so that it reads the same in grey.
TColor CubehelixColor(double fraction);

// The colour of `count` curves out of at most `total` on the density image: a logarithmic
// scale from a light tone for a single curve (still clearly off white, so that outliers show)
// to nearly black where all of them pass. 0 has no colour: callers leave it transparent.
TColor DensityColor(std::uint32_t count, std::uint32_t total);
// The same scale by position: `share` 0 is one curve, 1 all of them (log count / log total).
TColor DensityScaleColor(double share);

// An image in memory that every drawer back-end can draw: rows of 0xAARRGGBB pixels, top
// row first, with premultiplied alpha (these images only hold opaque or clear pixels).
class TPixelGraphic : public TGraphic {
public:
    TPixelGraphic(int width, int height);
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }

    std::uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t argb);
    // Pixel `index` counted row by row from the top left.
    void SetPixelAt(size_t index, std::uint32_t argb);
    const std::uint32_t* Bits() const { return FPixels.data(); }

private:
    int FWidth;
    int FHeight;
    std::vector<std::uint32_t> FPixels;
};

// The counts through DensityColor; pixels no curve passes are clear.
TPixelGraphic DensityPicture(const TDensityCounts& counts, std::uint32_t total);

// Draws the series of a graph as one density image instead of a curve each: the picture of
// many patterns, where one colour per pattern no longer tells anything apart. Colours run over
// 1 .. Total curves, so that every graph of a view shares one scale (the legend's).
class TDensityPainter : public TSeriesPainter {
public:
    void Paint(TDrawer& drawer, const TSeriesList& series, const TRealRect& area,
               const TSeriesPlacer& place) override;

    std::uint32_t Total = 1;
    // Finest raster, in pixels per world unit: world units are screen pixels, or hundredths
    // of an inch on paper, where 3 gives 300 dots per inch.
    double MaxPixelsPerUnit = 3;
};

}  // namespace ostrel
