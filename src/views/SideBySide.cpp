#include "views/SideBySide.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "draw/TextBoundsDrawer.h"
#include "graphs/DensityImage.h"
#include "graphs/LineGraph.h"
#include "graphs/PolarGraph.h"
#include "model/Settings.h"
#include "views/DensityLegend.h"
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
// The legend's colour swatches stand this far left of its text.
constexpr double kLegendSwatchReach = 20;
// Free room kept between the legend and graphs moved out of its way.
constexpr double kKeepClearGap = 6;

std::unique_ptr<TSeries> MakeCutSeries(const TRealPointList& cut, TColor color, double rotation) {
    auto series = std::make_unique<TSeries>(true);
    series->Points->Assign(cut);
    series->Color = color;
    series->Width = 1.0;
    series->Rotation = rotation;
    return series;
}

// A series that draws a cut the pattern keeps, for the density view: thousands of copies of
// every cut would cost more than drawing them.
std::unique_ptr<TSeries> CutReference(const TRealPointList& cut, double rotation) {
    auto series = std::make_unique<TSeries>(false);
    // The graphs only read a series' points.
    series->Points = const_cast<TRealPointList*>(&cut);
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

bool AnyOverlaps(const std::vector<TRealRect>& boxes, const TRealRect& area) {
    return std::any_of(boxes.begin(), boxes.end(),
                       [&area](const TRealRect& box) { return BoxesOverlap(box, area); });
}

// Whether the disc reaches into the rectangle: its nearest point lies within the radius.
bool DiscOverlaps(const TRealPoint& centre, double radius, const TRealRect& area) {
    const double dx = centre.X - std::clamp(centre.X, area.Left, area.Right);
    const double dy = centre.Y - std::clamp(centre.Y, area.Top, area.Bottom);
    return dx * dx + dy * dy < radius * radius;
}

TRealPoint CentreOf(const TRealRect& rect) {
    return {rect.Left + (rect.Right - rect.Left) / 2, rect.Top + (rect.Bottom - rect.Top) / 2};
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

bool TSideBySidePatterns::HasKeepClear() const {
    return KeepClear.Right > KeepClear.Left && KeepClear.Bottom > KeepClear.Top;
}

TSideBySidePatterns::TPolarLayout TSideBySidePatterns::FittedPolarLayout() const {
    const TPolarLayout halves = FitPolarInRooms(PolarHalf(true), PolarHalf(false));
    if (!HasKeepClear() || !PolarReachesKeepClear(halves)) return halves;
    // Beside the kept area, or below it, in the halves of what is left.
    const TRealRect clear = Inset(KeepClear, -kKeepClearGap);
    const double top = Bounds.Top;
    const double bottom = Bounds.Bottom;
    const TPolarLayout beside =
        FitPolarInRooms({static_cast<double>(Bounds.Left), top, clear.Left, bottom},
                        {clear.Right, top, static_cast<double>(Bounds.Right), bottom});
    TSideBySidePatterns below;
    below.Drawer = Drawer;
    below.LogScale = LogScale;
    below.Bounds = Bounds;
    const double belowTop = std::max(top, std::ceil(clear.Bottom));
    below.Bounds.Top = static_cast<int>(std::min(belowTop, bottom));
    const TPolarLayout under = belowTop < bottom
                                   ? FitPolarInRooms(below.PolarHalf(true), below.PolarHalf(false))
                                   : TPolarLayout{};
    const TPolarLayout& best = beside.Radius >= under.Radius ? beside : under;
    return best.Radius > 0 ? best : halves;
}

TSideBySidePatterns::TPolarLayout TSideBySidePatterns::FitPolarInRooms(
    const TRealRect& leftRoom, const TRealRect& rightRoom) const {
    const TRealRect rooms[2] = {leftRoom, rightRoom};
    double radius = std::numeric_limits<double>::infinity();
    for (const TRealRect& room : rooms) {
        radius = std::min(
            radius, std::min(room.Right - room.Left, room.Bottom - room.Top) / 2 - kPolarMargin);
    }
    TPolarLayout layout{radius, kLabelRadiusFactor * radius, CentreOf(leftRoom),
                        CentreOf(rightRoom)};
    if (!Drawer || !(layout.Radius > 0)) return layout;
    const double floorDb = GetSettings().FRadialFloor;
    // Angle labels pushed out beyond 1.1 R, where tiny graphs would have them touch.
    double labelRoom = 0;
    for (int step = 0; step < kMaxFitSteps; ++step) {
        double ratio = 0;
        double gapRatio = 0;
        bool touching = false;
        for (bool leftHalf : {true, false}) {
            const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
            TPolarGraph probe(true);
            ConfigureProbe(probe, layout, leftHalf, floorDb);
            TTextBoundsDrawer boxes(*Drawer);
            probe.Draw(boxes);
            if (!boxes.HasText()) return layout;
            const TRealRect& room = rooms[leftHalf ? 0 : 1];
            ratio = std::max(ratio, ReachRatio(boxes.Bounds(), room, center));
            gapRatio =
                std::max(gapRatio, ReachRatio(boxes.Bounds(), Inset(room, kLabelEdgeGap), center));
            touching = touching || NeighboursOverlap(boxes.Boxes(), probe.AngleLabels.size());
        }
        if (ratio <= 1 && !touching) return layout;
        if (ratio > 1) {
            // Label sizes and distances grow with the radius: scale it down to fit, with the
            // gap that moved labels keep from the edge.
            double smaller = std::floor(layout.Radius / gapRatio);
            if (smaller >= layout.Radius) smaller = std::ceil(layout.Radius) - 1;
            if (smaller < 1) return layout;
            layout.Radius = smaller;
        } else {
            labelRoom += 1;
        }
        layout.LabelRadius = kLabelRadiusFactor * layout.Radius + labelRoom;
    }
    return layout;
}

void TSideBySidePatterns::ConfigureProbe(TPolarGraph& probe, const TPolarLayout& layout,
                                         bool leftHalf, double floorDb) const {
    const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
    ConfigurePatternPolarGraph(probe, Drawer, center.X, center.Y, layout.Radius, floorDb, LogScale);
    probe.SetLabelRadius(layout.LabelRadius);
    if (!leftHalf) probe.SetZeroPosition(zpRight);
}

bool TSideBySidePatterns::PolarReachesKeepClear(const TPolarLayout& layout) const {
    if (!(layout.Radius > 0)) return false;
    const double floorDb = GetSettings().FRadialFloor;
    for (bool leftHalf : {true, false}) {
        const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
        if (DiscOverlaps(center, layout.Radius, KeepClear)) return true;
        if (!Drawer) continue;
        TPolarGraph probe(true);
        ConfigureProbe(probe, layout, leftHalf, floorDb);
        TTextBoundsDrawer boxes(*Drawer);
        probe.Draw(boxes);
        if (AnyOverlaps(boxes.Boxes(), KeepClear)) return true;
    }
    return false;
}

void TSideBySidePatterns::DrawPolar() {
    if (!Drawer) return;
    const TPolarLayout layout = FittedPolarLayout();
    const double radius = layout.Radius;
    if (!(radius > 0)) return;
    const TSettings& settings = GetSettings();

    TPolarGraph horizontal(true);
    TPolarGraph vertical(true);
    ConfigurePatternPolarGraph(horizontal, Drawer, layout.LeftCenter.X, layout.LeftCenter.Y, radius,
                               settings.FRadialFloor, LogScale);
    ConfigurePatternPolarGraph(vertical, Drawer, layout.RightCenter.X, layout.RightCenter.Y, radius,
                               settings.FRadialFloor, LogScale);
    horizontal.SetLabelRadius(layout.LabelRadius);
    vertical.SetLabelRadius(layout.LabelRadius);
    vertical.SetZeroPosition(zpRight);

    if (SeriesPainter) {
        horizontal.SeriesPainter = SeriesPainter;
        vertical.SeriesPainter = SeriesPainter;
        AddCutReferences(*horizontal.Series, *vertical.Series);
        horizontal.Draw();
        vertical.Draw();
        return;
    }
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
    return FittedCartesianRects()[leftHalf ? 0 : 1];
}

std::array<TRealRect, 2> TSideBySidePatterns::FittedCartesianRects() const {
    const std::array<TRealRect, 2> halves = {FitCartesianInRoom(CartesianHalf(true)),
                                             FitCartesianInRoom(CartesianHalf(false))};
    if (!HasKeepClear() || !CartesianReachesKeepClear(halves)) return halves;
    // Beside the kept area, or below it, whichever leaves the larger plots; both halves move
    // together so that the two plots stay alike.
    const TRealRect clear = Inset(KeepClear, -kKeepClearGap);
    const double top = Bounds.Top;
    const double bottom = Bounds.Bottom;
    const std::array<TRealRect, 2> beside = {
        FitCartesianInRoom({static_cast<double>(Bounds.Left), top, clear.Left, bottom}),
        FitCartesianInRoom({clear.Right, top, static_cast<double>(Bounds.Right), bottom})};
    std::array<TRealRect, 2> below = halves;
    if (clear.Bottom < bottom) {
        for (bool left : {true, false}) {
            TRealRect room = CartesianHalf(left);
            room.Top = std::max(room.Top, std::ceil(clear.Bottom));
            below[left ? 0 : 1] = FitCartesianInRoom(room);
        }
    }
    auto smallerPlot = [this](const std::array<TRealRect, 2>& fits) {
        double width = std::numeric_limits<double>::infinity();
        for (const TRealRect& fit : fits) {
            TDatasetRectGraph probe(true);
            ConfigureCartesianGraph(probe, Drawer, GetSettings().FRadialFloor);
            probe.FitRect = fit;
            const TRealRect plot = probe.PlotRect();
            width = std::min(width, HoldsPlot(fit) ? plot.Right - plot.Left : 0.0);
        }
        return width;
    };
    const double besideWidth = smallerPlot(beside);
    const double belowWidth = clear.Bottom < bottom ? smallerPlot(below) : 0;
    if (std::max(besideWidth, belowWidth) <= 0) return halves;
    return besideWidth >= belowWidth ? beside : below;
}

bool TSideBySidePatterns::CartesianReachesKeepClear(const std::array<TRealRect, 2>& fits) const {
    for (const TRealRect& fit : fits) {
        if (!HoldsPlot(fit)) continue;
        TDatasetRectGraph probe(true);
        ConfigureCartesianGraph(probe, Drawer, GetSettings().FRadialFloor);
        probe.FitRect = fit;
        if (BoxesOverlap(probe.PlotRect(), KeepClear)) return true;
        if (!Drawer) continue;
        TTextBoundsDrawer boxes(*Drawer);
        probe.Draw(boxes);
        if (AnyOverlaps(boxes.Boxes(), KeepClear)) return true;
    }
    return false;
}

TRealRect TSideBySidePatterns::FitCartesianInRoom(const TRealRect& room) const {
    TRealRect fit{room.Left + kCartesianInsetX, room.Top + kCartesianInsetY,
                  room.Right - kCartesianInsetX, room.Bottom - kCartesianInsetY};
    if (!Drawer) return fit;
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

void TSideBySidePatterns::AddCutReferences(TSeriesList& horizontal, TSeriesList& vertical) const {
    const bool useAzimuth = GetSettings().FUseAzimuth;
    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        horizontal.Add(CutReference(useAzimuth ? pattern.AzimuthCut : pattern.HorizontalCut,
                                    pattern.HRotationOffset));
        vertical.Add(CutReference(pattern.VerticalCut, pattern.VRotationOffset));
    }
}

void TSideBySidePatterns::DrawCartesian() {
    if (!Drawer) return;
    const TSettings& settings = GetSettings();
    TDatasetRectGraph graph(true);
    ConfigureCartesianGraph(graph, Drawer, settings.FRadialFloor);
    const std::array<TRealRect, 2> fits = FittedCartesianRects();
    if (SeriesPainter) {
        TDatasetRectGraph vertical(true);
        ConfigureCartesianGraph(vertical, Drawer, settings.FRadialFloor);
        graph.SeriesPainter = SeriesPainter;
        vertical.SeriesPainter = SeriesPainter;
        AddCutReferences(*graph.Series, *vertical.Series);
        graph.FitRect = fits[0];
        vertical.FitRect = fits[1];
        for (TDatasetRectGraph* half : {&graph, &vertical}) {
            if (HoldsPlot(half->FitRect)) half->Draw(*Drawer);
        }
        return;
    }

    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(
            MakeHorizontalSeries(Patterns.Items(i), PatternColor(i), settings.FUseAzimuth));
    }
    graph.FitRect = fits[0];
    if (HoldsPlot(graph.FitRect)) graph.Draw(*Drawer);

    graph.Series->Clear();
    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(MakeVerticalSeries(Patterns.Items(i), PatternColor(i)));
    }
    graph.FitRect = fits[1];
    if (HoldsPlot(graph.FitRect)) graph.Draw(*Drawer);
}

TRealPoint TSideBySideDrawer::AutoLegendOrigin() const {
    const double left = Bounds.Left;
    const double right = Bounds.Right;
    return {left + (right - left) / 2, static_cast<double>(Bounds.Top) + kLegendTopGap};
}

bool TSideBySideDrawer::DrawsDensity() const {
    return Patterns.Count() > GetSettings().FDensityThreshold;
}

void TSideBySideDrawer::DrawLegend(TDrawer& drawer) const {
    const TRealPoint origin = LegendAutoPlace ? AutoLegendOrigin() : LegendOrigin;
    if (DrawsDensity()) {
        TDensityLegendDrawer legend;
        legend.Drawer = &drawer;
        legend.PatternCount = Patterns.Count();
        legend.TextSize = LegendFontSize;
        legend.Align = LegendAlign;
        legend.Origin = origin;
        legend.Draw();
        return;
    }
    TBasicLegendDrawer legend;
    SetUpLegend(legend, drawer);
    legend.Draw();
}

void TSideBySideDrawer::SetUpLegend(TBasicLegendDrawer& legend, TDrawer& drawer) const {
    legend.Drawer = &drawer;
    legend.Patterns.CopyFrom(Patterns);
    legend.Colors = SeriesColorArray(Patterns.Count());
    legend.MaxWidth = LegendMaxWidth;
    legend.TextSize = LegendFontSize;
    legend.Align = LegendAlign;
    legend.Origin = LegendAutoPlace ? AutoLegendOrigin() : LegendOrigin;
    legend.MaxBottom = LegendAutoPlace ? Bounds.Bottom - kLegendBottomGap : LegendMaxBottom;
}

TRealRect TSideBySideDrawer::AutoLegendBox() const {
    if (!Drawer || !ShowLegend || !LegendAutoPlace) return {};
    TTextBoundsDrawer boxes(*Drawer);
    DrawLegend(boxes);
    if (!boxes.HasText()) return {};
    TRealRect box = boxes.Bounds();
    box.Left -= kLegendSwatchReach;
    return box;
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
        // Above the threshold one colour per pattern tells nothing apart any more: the
        // curves become one image of how many pass through each point.
        TDensityPainter density;
        density.Total = static_cast<std::uint32_t>(Patterns.Count());
        if (DrawsDensity()) graphs.SeriesPainter = &density;
        // On a narrow area the graphs shrink out of the legend's way rather than lie under it.
        const TRealRect legendBox = AutoLegendBox();
        graphs.KeepClear = legendBox;
        if (GraphType == gtPolar) {
            graphs.DrawPolar();
        } else {
            graphs.DrawCartesian();
        }
    }

    if (ShowLegend) DrawLegend(*Drawer);
}

}  // namespace ostrel
