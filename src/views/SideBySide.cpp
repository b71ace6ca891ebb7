#include "views/SideBySide.h"

#include <array>
#include <optional>

#include "draw/TextBoundsDrawer.h"
#include "graphs/DensityImage.h"
#include "graphs/LineGraph.h"
#include "graphs/PolarGraph.h"
#include "views/DensityLegend.h"
#include "views/LegendDrawer.h"

namespace ostrel {

namespace {

constexpr double kLegendTopGap = 30;
// Room kept free under the legend's last line.
constexpr double kLegendBottomGap = 4;
// The legend's colour swatches stand this far left of its text.
constexpr double kLegendSwatchReach = 20;

std::unique_ptr<TSeries> MakeCutSeries(const TRealPointList& cut, TColor color, double rotation) {
    auto series = std::make_unique<TSeries>(true);
    series->Points->Assign(cut);
    series->Color = color;
    series->Width = 1.0;
    series->Rotation = rotation;
    return series;
}

// The -3 dB crossings of the pattern's curves, from the figures computed when it loaded.
void AddBeamTicks(const TPatternData& pattern, THCut hCut, TColor color, TPolarGraph& horizontal,
                  TPolarGraph& vertical) {
    const TPatternFigures& figures = pattern.Figures(hCut);
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

std::unique_ptr<TSeries> MakeHorizontalSeries(const TPatternData& pattern, TColor color,
                                              THCut hCut) {
    return MakeCutSeries(hCut == THCut::Azimuth ? pattern.AzimuthCut : pattern.HorizontalCut, color,
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

void TSideBySidePatterns::DrawPolar() {
    if (!Drawer) return;
    const TPolarLayout layout = FittedPolarLayout();
    const double radius = layout.Radius;
    if (!(radius > 0)) return;
    TPolarGraph horizontal(true);
    TPolarGraph vertical(true);
    ConfigurePatternPolarGraph(horizontal, Drawer, layout.LeftCenter.X, layout.LeftCenter.Y, radius,
                               View.RadialFloorDb, LogScale);
    ConfigurePatternPolarGraph(vertical, Drawer, layout.RightCenter.X, layout.RightCenter.Y, radius,
                               View.RadialFloorDb, LogScale);
    horizontal.SetLabelRadius(layout.LabelRadius);
    vertical.SetLabelRadius(layout.LabelRadius);
    vertical.SetZeroPosition(zpRight);

    if (SeriesPainter) {
        horizontal.SeriesPainter = SeriesPainter;
        vertical.SeriesPainter = SeriesPainter;
        std::deque<TSeries> references;
        AddCutReferences(references, horizontal, vertical);
        horizontal.Draw();
        vertical.Draw();
        return;
    }
    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        horizontal.Series->Add(MakeHorizontalSeries(pattern, PatternColor(i), View.HCut));
        vertical.Series->Add(MakeVerticalSeries(pattern, PatternColor(i)));
        if (View.ShowBeamTicks) {
            AddBeamTicks(pattern, View.HCut, PatternColor(i), horizontal, vertical);
        }
    }
    horizontal.Draw();
    vertical.Draw();
}

void TSideBySidePatterns::AddCutReferences(std::deque<TSeries>& store, TGraph& horizontal,
                                           TGraph& vertical) const {
    horizontal.Series = std::make_unique<TSeriesList>(false);
    vertical.Series = std::make_unique<TSeriesList>(false);
    // A series that draws a cut the pattern keeps: thousands of copies of every cut would
    // cost more than drawing them.
    auto refer = [&store](TSeriesList& list, const TRealPointList& cut, double rotation) {
        TSeries& series = store.emplace_back(false);
        // The graphs only read a series' points.
        series.Points = const_cast<TRealPointList*>(&cut);
        series.Rotation = rotation;
        list.Add(series);
    };
    for (int i = 0; i < Patterns.Count(); ++i) {
        const TPatternData& pattern = Patterns.Items(i);
        refer(*horizontal.Series,
              View.HCut == THCut::Azimuth ? pattern.AzimuthCut : pattern.HorizontalCut,
              pattern.HRotationOffset);
        refer(*vertical.Series, pattern.VerticalCut, pattern.VRotationOffset);
    }
}

void TSideBySidePatterns::DrawCartesian() {
    if (!Drawer) return;
    TDatasetRectGraph graph(true);
    ConfigurePatternCartesianGraph(graph, Drawer, View);
    const std::array<TRealRect, 2> fits = FittedCartesianRects();
    if (SeriesPainter) {
        TDatasetRectGraph vertical(true);
        ConfigurePatternCartesianGraph(vertical, Drawer, View);
        graph.SeriesPainter = SeriesPainter;
        vertical.SeriesPainter = SeriesPainter;
        std::deque<TSeries> references;
        AddCutReferences(references, graph, vertical);
        graph.FitRect = fits[0];
        vertical.FitRect = fits[1];
        for (TDatasetRectGraph* half : {&graph, &vertical}) {
            if (HasArea(half->FitRect)) half->Draw(*Drawer);
        }
        return;
    }

    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(MakeHorizontalSeries(Patterns.Items(i), PatternColor(i), View.HCut));
    }
    graph.FitRect = fits[0];
    if (HasArea(graph.FitRect)) graph.Draw(*Drawer);

    graph.Series->Clear();
    for (int i = 0; i < Patterns.Count(); ++i) {
        graph.Series->Add(MakeVerticalSeries(Patterns.Items(i), PatternColor(i)));
    }
    graph.FitRect = fits[1];
    if (HasArea(graph.FitRect)) graph.Draw(*Drawer);
}

TRealPoint TSideBySideDrawer::AutoLegendOrigin() const {
    const double left = Bounds.Left;
    const double right = Bounds.Right;
    return {left + (right - left) / 2, static_cast<double>(Bounds.Top) + kLegendTopGap};
}

bool TSideBySideDrawer::DrawsDensity() const {
    return Patterns.Count() > View.DensityThreshold;
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
    legend.ShowExtensions = View.ShowExtensions;
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
        graphs.View = View;
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
        if (GraphType == TGraphType::Polar) {
            graphs.DrawPolar();
        } else {
            graphs.DrawCartesian();
        }
    }

    if (ShowLegend) DrawLegend(*Drawer);
}

}  // namespace ostrel
