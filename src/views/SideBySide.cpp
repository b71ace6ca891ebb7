#include "views/SideBySide.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "draw/TextBoundsDrawer.h"
#include "graphs/LineGraph.h"
#include "graphs/PolarGraph.h"
#include "model/Settings.h"
#include "views/LegendDrawer.h"

namespace ostrel {

namespace {

// Room around a polar graph for its angle labels.
constexpr double kPolarMargin = 40;
constexpr double kPolarFontRelativeSize = 0.06;
constexpr double kLabelRadiusFactor = 1.1;
// Insets of a Cartesian half: its labels sit outside the plot.
constexpr int kCartesianInsetX = 40;
constexpr int kCartesianInsetY = 30;
constexpr double kCartesianAspectRatio = 1.5;
constexpr double kLegendTopGap = 30;
// Room kept free under the legend's last line.
constexpr double kLegendBottomGap = 4;

std::unique_ptr<TSeries> MakeCutSeries(const TRealPointList& cut, TColor color, double rotation) {
    auto series = std::make_unique<TSeries>(true);
    series->Points->Assign(cut);
    series->Color = color;
    series->Width = 1.0;
    series->Rotation = rotation;
    return series;
}

bool HoldsPlot(const TRealRect& rect) {
    return rect.Right > rect.Left && rect.Bottom > rect.Top;
}

void ConfigureCartesianGraph(TDatasetRectGraph& graph, TDrawer* drawer, double floorDb) {
    graph.Drawer = drawer;
    graph.FitToRect = true;
    graph.AspectRatio = kCartesianAspectRatio;
    graph.SetXMin(-180);
    graph.SetXMax(180);
    graph.SetYMin(floorDb);
    graph.SetYMax(0);
    graph.Font.Color = clGray;
}

// Labels only outgrow their room on large or tiny areas; a few steps always settle it.
constexpr int kMaxFitSteps = 64;
// Labels that have to be moved keep this far from the edge of their room.
constexpr double kLabelEdgeGap = 2;

TRealRect Inset(const TRealRect& rect, double gap) {
    return {rect.Left + gap, rect.Top + gap, rect.Right - gap, rect.Bottom - gap};
}

// How far a box reaches from a centre compared with the room around it, on the side where
// that is largest: above 1 when the box sticks out of the room.
double ReachRatio(const TRealRect& box, const TRealRect& room, const TRealPoint& centre) {
    double ratio = 0;
    auto side = [&ratio](double reach, double available) {
        if (reach <= 0) return;
        ratio = std::max(
            ratio, available > 0 ? reach / available : std::numeric_limits<double>::infinity());
    };
    side(centre.X - box.Left, centre.X - room.Left);
    side(box.Right - centre.X, room.Right - centre.X);
    side(centre.Y - box.Top, centre.Y - room.Top);
    side(box.Bottom - centre.Y, room.Bottom - centre.Y);
    return ratio;
}

bool BoxesOverlap(const TRealRect& a, const TRealRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Whether any angle label (the first `count` boxes, in order around the circle) touches its
// neighbour.
bool NeighboursOverlap(const std::vector<TRealRect>& boxes, size_t count) {
    count = std::min(count, boxes.size());
    if (count < 2) return false;
    for (size_t i = 0; i < count; ++i) {
        if (BoxesOverlap(boxes[i], boxes[(i + 1) % count])) return true;
    }
    return false;
}

// The -3 dB crossings of the pattern's curves, from the figures computed when it loaded.
void AddBeamTicks(const TPatternData& pattern, TColor color, TPolarGraph& horizontal,
                  TPolarGraph& vertical) {
    const TPatternFigures& figures = pattern.Figures(GetSettings().FUseAzimuth);
    auto add = [color](TPolarGraph& graph, const std::optional<TBeamCrossings>& crossings,
                       double peakDb, double rotationDeg) {
        if (!crossings) return;
        for (double angle : {crossings->LowerDeg, crossings->UpperDeg}) {
            graph.Ticks.push_back({angle, peakDb - 3, rotationDeg, color});
        }
    };
    add(horizontal, figures.Horz.Crossings3Db, figures.Horz.PeakLevel, pattern.HRotationOffset);
    add(vertical, figures.Vert.Crossings3Db, figures.Vert.PeakLevel, pattern.VRotationOffset);
}

}  // namespace

void ConfigurePatternPolarGraph(TPolarGraph& graph, TDrawer* drawer, double centerX, double centerY,
                                double radius, double floorDb, bool logScale) {
    graph.Drawer = drawer;
    graph.SetCenter(centerX, centerY);
    graph.SetRadius(radius);
    graph.SetMinValue(floorDb);
    graph.SetMaxValue(0);
    graph.SetRelativeFont(true);
    graph.Font.RelativeSize = kPolarFontRelativeSize;
    graph.Font.Color = clGray;
    graph.SetLabelRadius(kLabelRadiusFactor * radius);
    graph.SetLogScale(logScale);
}

std::unique_ptr<TSeries> MakeHorizontalSeries(const TPatternData& pattern, TColor color,
                                              bool useAzimuth) {
    return MakeCutSeries(useAzimuth ? pattern.AzimuthCut : pattern.HorizontalCut, color,
                         pattern.HRotationOffset);
}

std::unique_ptr<TSeries> MakeVerticalSeries(const TPatternData& pattern, TColor color) {
    return MakeCutSeries(pattern.VerticalCut, color, pattern.VRotationOffset);
}

TColor TSideBySidePatterns::PatternColor(int index) const {
    if (index >= 0 && static_cast<size_t>(index) < Colors.size()) {
        return Colors[static_cast<size_t>(index)];
    }
    return SeriesColor(index);
}

double TSideBySidePatterns::PolarRadius() const {
    const double width = static_cast<double>(Bounds.Right) - Bounds.Left;
    const double height = static_cast<double>(Bounds.Bottom) - Bounds.Top;
    return std::min(width / 2, height) / 2 - kPolarMargin;
}

TRealRect TSideBySidePatterns::PolarHalf(bool leftHalf) const {
    const double left = Bounds.Left;
    const double right = Bounds.Right;
    const double middle = left + (right - left) / 2;
    return leftHalf ? TRealRect{left, static_cast<double>(Bounds.Top), middle,
                                static_cast<double>(Bounds.Bottom)}
                    : TRealRect{middle, static_cast<double>(Bounds.Top), right,
                                static_cast<double>(Bounds.Bottom)};
}

TSideBySidePatterns::TPolarLayout TSideBySidePatterns::FittedPolarLayout() const {
    TPolarLayout layout{PolarRadius(), kLabelRadiusFactor * PolarRadius()};
    if (!Drawer || !(layout.Radius > 0)) return layout;
    const double floorDb = GetSettings().FRadialFloor;
    const double width = static_cast<double>(Bounds.Right) - Bounds.Left;
    const double height = static_cast<double>(Bounds.Bottom) - Bounds.Top;
    const double centerY = Bounds.Top + height / 2;
    // Angle labels pushed out beyond 1.1 R, where tiny graphs would have them touch.
    double labelRoom = 0;
    for (int step = 0; step < kMaxFitSteps; ++step) {
        double ratio = 0;
        double gapRatio = 0;
        bool touching = false;
        for (bool leftHalf : {true, false}) {
            TPolarGraph probe(true);
            const TRealPoint center{Bounds.Left + (leftHalf ? 0.25 : 0.75) * width, centerY};
            ConfigurePatternPolarGraph(probe, Drawer, center.X, center.Y, layout.Radius, floorDb,
                                       LogScale);
            probe.SetLabelRadius(layout.LabelRadius);
            if (!leftHalf) probe.SetZeroPosition(zpRight);
            TTextBoundsDrawer boxes(*Drawer);
            probe.Draw(boxes);
            if (!boxes.HasText()) return layout;
            const TRealRect room = PolarHalf(leftHalf);
            ratio = std::max(ratio, ReachRatio(boxes.Bounds(), room, center));
            gapRatio =
                std::max(gapRatio, ReachRatio(boxes.Bounds(), Inset(room, kLabelEdgeGap), center));
            touching = touching || NeighboursOverlap(boxes.Boxes(), probe.AngleLabels.size());
        }
        if (ratio <= 1 && !touching) return layout;
        if (ratio > 1) {
            // Label sizes and distances grow with the radius: scale it down to fit, with the
            // gap that moved labels keep from the edge.
            double radius = std::floor(layout.Radius / gapRatio);
            if (radius >= layout.Radius) radius = std::ceil(layout.Radius) - 1;
            if (radius < 1) return layout;
            layout.Radius = radius;
        } else {
            labelRoom += 1;
        }
        layout.LabelRadius = kLabelRadiusFactor * layout.Radius + labelRoom;
    }
    return layout;
}

void TSideBySidePatterns::DrawPolar() {
    if (!Drawer) return;
    const TPolarLayout layout = FittedPolarLayout();
    const double radius = layout.Radius;
    if (!(radius > 0)) return;
    const TSettings& settings = GetSettings();
    const double width = static_cast<double>(Bounds.Right) - Bounds.Left;
    const double height = static_cast<double>(Bounds.Bottom) - Bounds.Top;
    const double centerY = Bounds.Top + height / 2;

    TPolarGraph horizontal(true);
    TPolarGraph vertical(true);
    ConfigurePatternPolarGraph(horizontal, Drawer, Bounds.Left + 0.25 * width, centerY, radius,
                               settings.FRadialFloor, LogScale);
    ConfigurePatternPolarGraph(vertical, Drawer, Bounds.Left + 0.75 * width, centerY, radius,
                               settings.FRadialFloor, LogScale);
    horizontal.SetLabelRadius(layout.LabelRadius);
    vertical.SetLabelRadius(layout.LabelRadius);
    vertical.SetZeroPosition(zpRight);

    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        horizontal.Series->Add(
            MakeHorizontalSeries(pattern, PatternColor(i), settings.FUseAzimuth));
        vertical.Series->Add(MakeVerticalSeries(pattern, PatternColor(i)));
        if (settings.FShowBeamTicks) AddBeamTicks(pattern, PatternColor(i), horizontal, vertical);
    }
    horizontal.Draw();
    vertical.Draw();
}

TRealRect TSideBySidePatterns::CartesianHalf(bool leftHalf) const {
    // 64-bit so that no bounds overflow; the half width truncates toward zero.
    std::int64_t left = Bounds.Left;
    std::int64_t right = Bounds.Right;
    const std::int64_t halfWidth = (right - left) / 2;
    if (leftHalf) {
        right = left + halfWidth;
    } else {
        left = right - halfWidth;
    }
    return TRealRect{static_cast<double>(left), static_cast<double>(Bounds.Top),
                     static_cast<double>(right), static_cast<double>(Bounds.Bottom)};
}

TRealRect TSideBySidePatterns::CartesianFitRect(bool leftHalf) const {
    const TRealRect half = CartesianHalf(leftHalf);
    return TRealRect{half.Left + kCartesianInsetX, half.Top + kCartesianInsetY,
                     half.Right - kCartesianInsetX, half.Bottom - kCartesianInsetY};
}

TRealRect TSideBySidePatterns::FittedCartesianRect(bool leftHalf) const {
    TRealRect fit = CartesianFitRect(leftHalf);
    if (!Drawer) return fit;
    const TRealRect room = CartesianHalf(leftHalf);
    const TRealRect inner = Inset(room, kLabelEdgeGap);
    TDatasetRectGraph probe(true);
    ConfigureCartesianGraph(probe, Drawer, GetSettings().FRadialFloor);
    for (int step = 0; step < kMaxFitSteps && HoldsPlot(fit); ++step) {
        probe.FitRect = fit;
        TTextBoundsDrawer boxes(*Drawer);
        probe.Draw(boxes);
        if (!boxes.HasText()) break;
        const TRealRect& labels = boxes.Bounds();
        const double left = room.Left - labels.Left;
        const double right = labels.Right - room.Right;
        const double top = room.Top - labels.Top;
        const double bottom = labels.Bottom - room.Bottom;
        if (left <= 0 && right <= 0 && top <= 0 && bottom <= 0) break;
        // Moved labels keep a small gap from the edge.
        const double moveLeft = inner.Left - labels.Left;
        const double moveRight = labels.Right - inner.Right;
        const double moveTop = inner.Top - labels.Top;
        const double moveBottom = labels.Bottom - inner.Bottom;
        // Moving an edge of the rectangle by the overshoot moves the plot's edge by as much
        // or (where the other side limits the plot) half as much; the labels shrink with
        // the plot, so a few steps settle it.
        if (moveLeft > 0) fit.Left += std::ceil(moveLeft);
        if (moveRight > 0) fit.Right -= std::ceil(moveRight);
        if (moveTop > 0) fit.Top += std::ceil(moveTop);
        if (moveBottom > 0) fit.Bottom -= std::ceil(moveBottom);
    }
    return fit;
}

void TSideBySidePatterns::DrawCartesian() {
    if (!Drawer) return;
    const TSettings& settings = GetSettings();
    TDatasetRectGraph graph(true);
    ConfigureCartesianGraph(graph, Drawer, settings.FRadialFloor);

    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(
            MakeHorizontalSeries(Patterns.Items(i), PatternColor(i), settings.FUseAzimuth));
    }
    graph.FitRect = FittedCartesianRect(true);
    if (HoldsPlot(graph.FitRect)) graph.Draw(*Drawer);

    graph.Series->Clear();
    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(MakeVerticalSeries(Patterns.Items(i), PatternColor(i)));
    }
    graph.FitRect = FittedCartesianRect(false);
    if (HoldsPlot(graph.FitRect)) graph.Draw(*Drawer);
}

TRealPoint TSideBySideDrawer::AutoLegendOrigin() const {
    const double left = Bounds.Left;
    const double right = Bounds.Right;
    return {left + (right - left) / 2, static_cast<double>(Bounds.Top) + kLegendTopGap};
}

void TSideBySideDrawer::Draw() {
    if (!Drawer) return;
    const TColorArray colors = SeriesColorArray(Patterns.Count());

    {
        TSideBySidePatterns graphs;
        graphs.LogScale = LogScale;
        graphs.Drawer = Drawer;
        graphs.Patterns.CopyFrom(Patterns);
        graphs.Bounds = Bounds;
        graphs.Colors = colors;
        if (GraphType == gtPolar) {
            graphs.DrawPolar();
        } else {
            graphs.DrawCartesian();
        }
    }

    if (!ShowLegend) return;
    TBasicLegendDrawer legend;
    legend.Drawer = Drawer;
    legend.Patterns.CopyFrom(Patterns);
    legend.Colors = colors;
    legend.MaxWidth = LegendMaxWidth;
    legend.TextSize = LegendFontSize;
    legend.Align = LegendAlign;
    legend.Origin = LegendAutoPlace ? AutoLegendOrigin() : LegendOrigin;
    legend.MaxBottom = LegendAutoPlace ? Bounds.Bottom - kLegendBottomGap : LegendMaxBottom;
    legend.Draw();
}

}  // namespace ostrel
