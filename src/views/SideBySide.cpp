#include "views/SideBySide.h"

#include <algorithm>
#include <cstdint>

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

void TSideBySidePatterns::DrawPolar() {
    if (!Drawer) return;
    const double radius = PolarRadius();
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
    vertical.SetZeroPosition(zpRight);

    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        horizontal.Series->Add(
            MakeHorizontalSeries(pattern, PatternColor(i), settings.FUseAzimuth));
        vertical.Series->Add(MakeVerticalSeries(pattern, PatternColor(i)));
    }
    horizontal.Draw();
    vertical.Draw();
}

TRealRect TSideBySidePatterns::CartesianFitRect(bool leftHalf) const {
    // 64-bit so that no bounds overflow; the half width truncates toward zero.
    std::int64_t left = Bounds.Left;
    std::int64_t right = Bounds.Right;
    const std::int64_t halfWidth = (right - left) / 2;
    if (leftHalf) {
        right = left + halfWidth;
    } else {
        left = right - halfWidth;
    }
    return TRealRect{static_cast<double>(left + kCartesianInsetX),
                     static_cast<double>(std::int64_t{Bounds.Top} + kCartesianInsetY),
                     static_cast<double>(right - kCartesianInsetX),
                     static_cast<double>(std::int64_t{Bounds.Bottom} - kCartesianInsetY)};
}

void TSideBySidePatterns::DrawCartesian() {
    if (!Drawer) return;
    const TSettings& settings = GetSettings();
    TDatasetRectGraph graph(true);
    graph.Drawer = Drawer;
    graph.FitToRect = true;
    graph.AspectRatio = kCartesianAspectRatio;
    graph.SetXMin(-180);
    graph.SetXMax(180);
    graph.SetYMin(settings.FRadialFloor);
    graph.SetYMax(0);
    graph.Font.Color = clGray;

    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(
            MakeHorizontalSeries(Patterns.Items(i), PatternColor(i), settings.FUseAzimuth));
    }
    graph.FitRect = CartesianFitRect(true);
    if (HoldsPlot(graph.FitRect)) graph.Draw(*Drawer);

    graph.Series->Clear();
    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(MakeVerticalSeries(Patterns.Items(i), PatternColor(i)));
    }
    graph.FitRect = CartesianFitRect(false);
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
    legend.Draw();
}

}  // namespace ostrel
