#include "graphs/LineGraph.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/Errors.h"
#include "model/NumberText.h"

namespace ostrel {

namespace {

// Points this far outside the X range still take part, so curves run up to the frame
// instead of stopping one sample short of it.
constexpr double kPointMarginDeg = 10;

// Upper bound on grid lines per axis: an absurd range must not stall a repaint.
constexpr long long kMaxTicks = 10000;

// Relative slack for comparisons of tick positions against the axis ends, so that
// 3 × 0.1 still counts as reaching 0.3.
constexpr double kTickSlack = 1e-9;

// a / b, or 0 when the quotient is not a finite number (b = 0, infinities).
double SafeRatio(double a, double b) {
    if (b == 0) return 0;
    const double result = a / b;
    return std::isfinite(result) ? result : 0;
}

// Tick values from the first multiple of `step` at or above `low` up to `high`.
std::vector<double> LinearTicks(double low, double high, double step) {
    std::vector<double> ticks;
    if (!std::isfinite(low) || !std::isfinite(high) || !(step > 0) || high < low) return ticks;
    const double first = std::ceil(low / step - kTickSlack);
    const double count = std::floor((high - first * step) / step + kTickSlack) + 1;
    if (!std::isfinite(first) || !std::isfinite(count) || count <= 0) return ticks;
    // Capped while still a double: a count beyond the 64-bit range cannot be converted.
    const auto n = static_cast<long long>(std::min(count, static_cast<double>(kMaxTicks)));
    ticks.reserve(static_cast<size_t>(n));
    for (long long k = 0; k < n; ++k) {
        // + 0.0 turns a negative zero into zero, so no label reads "-0".
        ticks.push_back((first + static_cast<double>(k)) * step + 0.0);
    }
    return ticks;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TBaseLineGraph

TBaseLineGraph::TBaseLineGraph(bool ownsSeries) : TGraph(ownsSeries) {}

void TBaseLineGraph::SetAnchor(std::uint8_t anchor) {
    if (anchor > gaTopCenter) {
        throw EOstrelError("Graph anchor out of range: " + std::to_string(anchor));
    }
    Anchor = anchor;
}

TRealPoint TBaseLineGraph::TopLeft() const {
    const double x = Position.X;
    const double y = Position.Y;
    switch (Anchor) {
        case gaTopRight:
            return {x - Width, y};
        case gaBottomRight:
            return {x - Width, y - Height};
        case gaBottomLeft:
            return {x, y - Height};
        case gaCenter:
            return {x - Width / 2, y - Height / 2};
        case gaTopCenter:
            return {x - Width / 2, y};
        case gaTopLeft:
        default:
            return {x, y};
    }
}

double TBaseLineGraph::TickStep(double range, int& divisor) {
    divisor = 1;
    if (range <= 0.1) {
        divisor = 100;
        return 0.01;
    }
    if (range <= 3) {
        divisor = 10;
        return 0.1;
    }
    if (range <= 20) return 1;
    if (range <= 80) return 5;
    // Also the answer for NaN, which fails every comparison above.
    return 10;
}

void TBaseLineGraph::Draw() {
    if (Drawer != nullptr) Draw(*Drawer);
}

// ---------------------------------------------------------------------------------------
// TDatasetRectGraph

TDatasetRectGraph::TDatasetRectGraph(bool ownsSeries) : TBaseLineGraph(ownsSeries) {}

TRealRect TDatasetRectGraph::PlotRect() const {
    double left = 0;
    double top = 0;
    double w = 0;
    double h = 0;
    if (FitToRect) {
        // An inverted rectangle (a window smaller than its margins) fits an empty plot.
        const double fitHeight = std::max(0.0, FitRect.Bottom - FitRect.Top);
        const double fitWidth = std::max(0.0, FitRect.Right - FitRect.Left);
        if (AspectRatio > 0 && std::isfinite(AspectRatio)) {
            h = fitHeight;
            w = fitHeight * AspectRatio;
            if (w > fitWidth) {
                w = fitWidth;
                h = fitWidth * (1 / AspectRatio);
            }
        } else {
            // Without a usable aspect ratio the plot takes the whole rectangle.
            w = fitWidth;
            h = fitHeight;
        }
        left = (FitRect.Left + FitRect.Right) / 2 - w / 2;
        top = (FitRect.Top + FitRect.Bottom) / 2 - h / 2;
    } else {
        const TRealPoint corner = TopLeft();
        left = corner.X;
        top = corner.Y;
        w = Width;
        h = Height;
    }
    return {left, top, left + w, top + h};
}

void TDatasetRectGraph::Draw(TDrawer& drawer) {
    DrawScaled(drawer, LogScale);
}

void TDatasetRectGraph::DrawScaled(TDrawer& drawer, bool logScale) {
    const TRealRect plot = PlotRect();
    const double left = plot.Left;
    const double top = plot.Top;
    const double right = plot.Right;
    const double bottom = plot.Bottom;
    const double w = right - left;
    const double h = bottom - top;

    if (YMax == YMin) {
        YMax = YMax + 1;
        YMin = YMin - 1;
    }

    const double yRange = YMax - YMin;
    int divisor = 1;
    const double yStep = TickStep(yRange, divisor);
    const double xRange = XMax - XMin;
    const double xStep = TickStep(xRange, divisor);

    // Fraction of the plot height at which a level sits: linear in dB, or linear in field
    // strength with 0 dB at the top on the logarithmic scale.
    const double logFloor = std::pow(10.0, YMin / 20);
    auto levelFraction = [&](double levelDb) {
        if (logScale) return SafeRatio(std::pow(10.0, levelDb / 20) - logFloor, 1 - logFloor);
        return SafeRatio(levelDb - YMin, yRange);
    };
    auto xPosition = [&](double angleDeg) { return left + SafeRatio(angleDeg - XMin, xRange) * w; };

    drawer.SetBrush(clWhite, bsClear);
    drawer.SetFont(Font.Name, Font.Color, Font.Style, 0.03 * h);

    GridLine.Color = clSilver;
    drawer.SetPen(GridLine.Color, psSolid, GridLine.Width);

    // Vertical grid; every other line is labelled, the labels alternating between two
    // rows so that neighbours never overlap.
    bool labelled = true;
    int labelCount = 0;
    for (const double x : LinearTicks(XMin, XMax, xStep)) {
        const double px = xPosition(x);
        drawer.Line(px, top, px, bottom);
        if (labelled) {
            double row = bottom + LabelGap;
            if (labelCount % 2 != 0) row += Font.Size;
            const double value = std::nearbyint(divisor * x) / divisor + 0.0;
            drawer.AlignedTextOut(FormatGeneral(value), taCenter, px, row, taNear);
            ++labelCount;
        }
        labelled = !labelled;
    }

    // Horizontal grid with dB labels on the left.
    const std::vector<double> yTicks =
        logScale ? std::vector<double>{-20, -10, -3, 0} : LinearTicks(YMin, YMax, yStep);
    for (const double v : yTicks) {
        const double t = levelFraction(v);
        // A fixed logarithmic tick can fall outside a narrow range; it is not drawn then.
        if (t < -kTickSlack || t > 1 + kTickSlack) continue;
        const double py = bottom - h * t;
        drawer.Line(left, py, right, py);
        drawer.AlignedTextOut(FormatFixed(0, v + 0.0) + " dB", taFar, left - LabelGap, py,
                              taCenter);
    }

    // Only reads what it captures, so that a series painter may call it on several threads.
    auto place = [&](const TSeries& series, TRealPointArray& kept) {
        if (series.Points == nullptr) return;
        for (const TRealPoint& point : series.Points->Points()) {
            if (!(point.X >= XMin - kPointMarginDeg && point.X <= XMax + kPointMarginDeg)) {
                continue;
            }
            const double px = xPosition(point.X);
            const double py = bottom - levelFraction(point.Y) * h;
            if (!std::isfinite(px) || !std::isfinite(py)) continue;
            kept.push_back({px, py});
        }
    };
    drawer.SetClipRect(plot);
    if (Series && SeriesPainter) {
        SeriesPainter->Paint(drawer, *Series, plot, place);
    } else if (Series) {
        TRealPointArray kept;
        for (int i = 0; i < Series->Count(); ++i) {
            const TSeries& series = Series->Items(i);
            if (!series.Visible || series.Points == nullptr) continue;
            drawer.SetPen(series.Color, series.PenStyle, series.Width);
            kept.clear();
            place(series, kept);
            if (!kept.empty()) drawer.Polyline(kept);
        }
    }
    drawer.ResetClip();

    drawer.SetPen(clGray, psSolid, GridLine.Width);
    drawer.MoveTo(left, top);
    drawer.LineTo(right, top);
    drawer.LineTo(right, bottom);
    drawer.LineTo(left, bottom);
    drawer.LineTo(left, top);
}

}  // namespace ostrel
