#include "views/SideBySide.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "draw/TextBoundsDrawer.h"
#include "graphs/LineGraph.h"
#include "graphs/PolarGraph.h"

// Where the graphs of the side-by-side view go: the halves of the area, the radius and fit
// rectangles that keep every label inside its half, and the moves out of the legend's way.

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
// Free room kept between the legend and graphs moved out of its way.
constexpr double kKeepClearGap = 6;

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

}  // namespace

void ConfigurePatternCartesianGraph(TDatasetRectGraph& graph, TDrawer* drawer,
                                    const TViewState& view) {
    graph.Drawer = drawer;
    graph.FitToRect = true;
    graph.AspectRatio = kCartesianAspectRatio;
    graph.SetXMin(-180);
    graph.SetXMax(180);
    graph.SetYMin(view.RadialFloorDb);
    graph.SetYMax(0);
    graph.Font.Color = clGray;
    graph.LogScale = view.LogScale;
}

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
    const TPolarLayout halves = FitPolarInRooms(PolarHalf(true), PolarHalf(false));
    if (!HasArea(KeepClear) || !PolarReachesKeepClear(halves)) return halves;
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
    below.View = View;
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
    // Angle labels pushed out beyond 1.1 R, where tiny graphs would have them touch.
    double labelRoom = 0;
    for (int step = 0; step < kMaxFitSteps; ++step) {
        double ratio = 0;
        double gapRatio = 0;
        bool touching = false;
        for (bool leftHalf : {true, false}) {
            const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
            TPolarGraph probe(true);
            ConfigureProbe(probe, layout, leftHalf);
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
                                         bool leftHalf) const {
    const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
    ConfigurePatternPolarGraph(probe, Drawer, center.X, center.Y, layout.Radius, View.RadialFloorDb,
                               LogScale);
    probe.SetLabelRadius(layout.LabelRadius);
    if (!leftHalf) probe.SetZeroPosition(zpRight);
}

bool TSideBySidePatterns::PolarReachesKeepClear(const TPolarLayout& layout) const {
    if (!(layout.Radius > 0)) return false;
    for (bool leftHalf : {true, false}) {
        const TRealPoint center = leftHalf ? layout.LeftCenter : layout.RightCenter;
        if (DiscOverlaps(center, layout.Radius, KeepClear)) return true;
        if (!Drawer) continue;
        TPolarGraph probe(true);
        ConfigureProbe(probe, layout, leftHalf);
        TTextBoundsDrawer boxes(*Drawer);
        probe.Draw(boxes);
        if (AnyOverlaps(boxes.Boxes(), KeepClear)) return true;
    }
    return false;
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
    if (!HasArea(KeepClear) || !CartesianReachesKeepClear(halves)) return halves;
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
            ConfigurePatternCartesianGraph(probe, Drawer, View);
            probe.FitRect = fit;
            const TRealRect plot = probe.PlotRect();
            width = std::min(width, HasArea(fit) ? plot.Right - plot.Left : 0.0);
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
        if (!HasArea(fit)) continue;
        TDatasetRectGraph probe(true);
        ConfigurePatternCartesianGraph(probe, Drawer, View);
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
    ConfigurePatternCartesianGraph(probe, Drawer, View);
    for (int step = 0; step < kMaxFitSteps && HasArea(fit); ++step) {
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

}  // namespace ostrel
