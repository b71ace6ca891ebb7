#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>

#include "draw/Drawer.h"
#include "graphs/GraphClasses.h"
#include "graphs/PolarGraph.h"
#include "model/PatternData.h"
#include "model/PrimitiveObjects.h"
#include "views/LegendDrawer.h"
#include "views/ViewState.h"

namespace ostrel {

class TDatasetRectGraph;

// The graph kinds of the pattern views.
enum class TGraphType : std::uint8_t { Cartesian, Polar };

// The series of a pattern's horizontal cut (its azimuth cut or its levelled horizontal cut,
// as `hCut` says), turned by its H rotation offset.
std::unique_ptr<TSeries> MakeHorizontalSeries(const TPatternData& pattern, TColor color,
                                              THCut hCut);
// The series of a pattern's vertical cut, turned by its V rotation offset.
std::unique_ptr<TSeries> MakeVerticalSeries(const TPatternData& pattern, TColor color);

// Sets up a polar graph of pattern cuts as the views and pages draw them: centre, outer
// radius, the radial range from `floorDb` to 0 dB, grey labels at 0.06 of the radius just
// outside the outer ring, and the radial scale.
void ConfigurePatternPolarGraph(TPolarGraph& graph, TDrawer* drawer, double centerX, double centerY,
                                double radius, double floorDb, bool logScale);

// Sets up a Cartesian graph of pattern cuts as the views and pages draw it: -180° to 180°
// across, the view's floor to 0 dB up on the view's scale, 1.5 times as wide as high, grey
// labels.
void ConfigurePatternCartesianGraph(TDatasetRectGraph& graph, TDrawer* drawer,
                                    const TViewState& view);

// Lays out and draws the two graphs of a set of patterns in Bounds: the horizontal cuts on
// the left, the vertical cuts on the right, pattern i in Colors[i], with the H cut, floor and
// beam ticks of View. Created for one drawing and freed.
class TSideBySidePatterns {
public:
    TSideBySidePatterns() = default;
    TSideBySidePatterns(const TSideBySidePatterns&) = delete;
    TSideBySidePatterns& operator=(const TSideBySidePatterns&) = delete;

    // Two polar graphs side by side; nothing when the area leaves no room for a radius.
    void DrawPolar();
    // One Cartesian graph drawn in each half; a half too small to hold a plot is skipped.
    void DrawCartesian();

    // Outer ring radius of the polar graphs for Bounds (zero or negative on tiny areas).
    double PolarRadius() const;
    // The rectangle the Cartesian plot of one half is fitted into.
    TRealRect CartesianFitRect(bool leftHalf) const;

    // Radius and angle-label radius of the polar graphs as drawn: PolarRadius and 1.1 times
    // it wherever every label then lies inside its graph's half of Bounds and no two angle
    // labels touch; otherwise the largest smaller radius for which they do, as Drawer
    // measures the labels.
    // With KeepClear set, graphs that would reach into it are laid out again beside it or
    // below it, whichever leaves the larger graphs; the centres then move with them.
    struct TPolarLayout {
        double Radius = 0;
        double LabelRadius = 0;
        TRealPoint LeftCenter;
        TRealPoint RightCenter;
    };
    TPolarLayout FittedPolarLayout() const;
    // The Cartesian plot's fit rectangle as drawn: CartesianFitRect, shrunk where a label would
    // otherwise stick out of the half (large plots have large labels); with KeepClear set,
    // moved below it when the plot or its labels would reach into it.
    TRealRect FittedCartesianRect(bool leftHalf) const;
    // The half of Bounds that one graph and its labels own: polar graphs split the area in
    // the middle; Cartesian halves are (width div 2) wide, anchored at either edge.
    TRealRect PolarHalf(bool leftHalf) const;
    TRealRect CartesianHalf(bool leftHalf) const;

    TDrawer* Drawer = nullptr;  // not owned
    TPatternDataList Patterns{false};
    TRect Bounds;
    TColorArray Colors;     // index-aligned with Patterns; missing entries use SeriesColor
    bool LogScale = false;  // polar graphs only; Cartesian ones follow View
    TViewState View;
    // An area the graphs leave free (the legend of the screen view); none while empty.
    TRealRect KeepClear{};
    // Not owned; when set, it draws the curves of each graph (the density view) and the
    // -3 dB ticks are left out.
    TSeriesPainter* SeriesPainter = nullptr;

private:
    // Series of every pattern's horizontal and vertical cuts that refer to the cuts, kept in
    // `store` (one allocation per block rather than per series: thousands are made for every
    // repaint of the density view); the graphs get lists that refer to them.
    void AddCutReferences(std::deque<TSeries>& store, TGraph& horizontal, TGraph& vertical) const;
    TColor PatternColor(int index) const;
    TPolarLayout FitPolarInRooms(const TRealRect& leftRoom, const TRealRect& rightRoom) const;
    bool PolarReachesKeepClear(const TPolarLayout& layout) const;
    // A graph of one half at `layout`, set up as it will be drawn, for measuring its labels.
    void ConfigureProbe(TPolarGraph& probe, const TPolarLayout& layout, bool leftHalf) const;
    TRealRect FitCartesianInRoom(const TRealRect& room) const;
    std::array<TRealRect, 2> FittedCartesianRects() const;
    bool CartesianReachesKeepClear(const std::array<TRealRect, 2>& fits) const;
};

// The side-by-side pattern view as callers use it: the graphs of TSideBySidePatterns in
// Bounds, then, over them, the legend. Painting, the clipboard image, the overlaid printed
// page and the animation frames all draw through it. With more patterns than the density
// threshold of the options, the graphs show one density image of all the curves and the
// legend its scale. Created for one drawing and freed.
class TSideBySideDrawer {
public:
    TSideBySideDrawer() = default;
    TSideBySideDrawer(const TSideBySideDrawer&) = delete;
    TSideBySideDrawer& operator=(const TSideBySideDrawer&) = delete;

    // Draws on Drawer; does nothing when no drawer is set.
    void Draw();

    // Where an automatically placed legend hangs from: the middle of the top edge, 30
    // units down.
    TRealPoint AutoLegendOrigin() const;
    // The box an automatically placed legend covers, swatches included; empty without a
    // legend or without patterns. The graphs keep out of it.
    TRealRect AutoLegendBox() const;

    TRect Bounds;
    TPatternDataList Patterns{false};
    TDrawer* Drawer = nullptr;  // not owned
    std::int32_t LegendFontSize = 14;
    bool LegendAutoPlace = true;
    TRealPoint LegendOrigin;  // used when LegendAutoPlace is false
    double LegendMaxWidth = 200;
    // The lowest y a legend placed by LegendOrigin may use (an automatic one stays inside
    // Bounds); entries below it are summed up as "… and N more".
    double LegendMaxBottom = std::numeric_limits<double>::infinity();
    std::uint8_t LegendAlign = 0;  // TLegendAlign
    TGraphType GraphType = TGraphType::Polar;
    bool ShowLegend = true;
    bool LogScale = false;  // polar graphs only; Cartesian ones follow View
    TViewState View;

    // Whether the patterns are drawn as a density image.
    bool DrawsDensity() const;

private:
    void SetUpLegend(TBasicLegendDrawer& legend, TDrawer& drawer) const;
    void DrawLegend(TDrawer& drawer) const;
};

}  // namespace ostrel
