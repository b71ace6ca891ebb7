#include "graphs/LineGraph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/RecordingDrawer.h"

namespace ostrel {
namespace {

constexpr double kTol = 1e-9;

struct TSegment {
    double X1, Y1, X2, Y2;
    TColor Color;
};

// Lines drawn as MoveTo + LineTo pairs (grid lines), in drawing order.
std::vector<TSegment> Segments(const TRecordingDrawer& drawer) {
    std::vector<TSegment> result;
    for (size_t i = 0; i + 1 < drawer.Calls.size(); ++i) {
        const TDrawCall& a = drawer.Calls[i];
        const TDrawCall& b = drawer.Calls[i + 1];
        if (a.Op == "MoveTo" && b.Op == "LineTo") {
            result.push_back({a.Args[0], a.Args[1], b.Args[0], b.Args[1], b.Color});
        }
    }
    return result;
}

// The silver vertical grid lines, left to right.
std::vector<TSegment> VerticalGrid(const TRecordingDrawer& drawer) {
    std::vector<TSegment> result;
    for (const TSegment& s : Segments(drawer)) {
        if (s.Color == 0xC0C0C0 && s.X1 == s.X2) result.push_back(s);
    }
    return result;
}

std::vector<TDrawCall> Labels(const TRecordingDrawer& drawer, TTextAlign hAlign) {
    std::vector<TDrawCall> result;
    for (const TDrawCall& call : drawer.CallsOf("AlignedTextOut")) {
        if (call.Args[2] == static_cast<double>(hAlign)) result.push_back(call);
    }
    return result;
}

std::vector<std::string> TextsOf(const std::vector<TDrawCall>& calls) {
    std::vector<std::string> texts;
    for (const TDrawCall& call : calls) texts.push_back(call.Text);
    return texts;
}

int IndexOfOp(const TRecordingDrawer& drawer, const std::string& op) {
    for (size_t i = 0; i < drawer.Calls.size(); ++i) {
        if (drawer.Calls[i].Op == op) return static_cast<int>(i);
    }
    return -1;
}

// A 360 × 200 plot with its top-left corner at (100, 50), -180..180 by yMin..0.
std::unique_ptr<TDatasetRectGraph> AnchoredGraph(double yMin = -25) {
    auto graph = std::make_unique<TDatasetRectGraph>(true);
    graph->SetPosition({100, 50});
    graph->SetWidth(360);
    graph->SetHeight(200);
    graph->SetXMin(-180);
    graph->SetXMax(180);
    graph->SetYMin(yMin);
    graph->SetYMax(0);
    return graph;
}

TSeries& AddSeries(TDatasetRectGraph& graph, TColor color, double width,
                   std::vector<TRealPoint> points) {
    auto series = std::make_unique<TSeries>(true);
    series->Color = color;
    series->Width = width;
    for (const TRealPoint& p : points) series->Points->AddPoint(p);
    TSeries& result = *series;
    graph.Series->Add(std::move(series));
    return result;
}

bool AllCallsFinite(const TRecordingDrawer& drawer) {
    for (const TDrawCall& call : drawer.Calls) {
        for (double v : call.Args) {
            if (!std::isfinite(v)) return false;
        }
        for (const TRealPoint& p : call.Points) {
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
        }
    }
    return true;
}

TEST(LineGraph, TickStepFollowsTheRangeBands) {
    int divisor = 0;
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(0.1, divisor), 0.01);
    EXPECT_EQ(divisor, 100);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(0.11, divisor), 0.1);
    EXPECT_EQ(divisor, 10);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(3, divisor), 0.1);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(3.5, divisor), 1);
    EXPECT_EQ(divisor, 1);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(20, divisor), 1);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(25, divisor), 5);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(80, divisor), 5);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(80.5, divisor), 10);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(360, divisor), 10);
    EXPECT_DOUBLE_EQ(TBaseLineGraph::TickStep(0, divisor), 0.01);
    EXPECT_EQ(divisor, 100);
}

TEST(LineGraph, FullCircleGridIsLabelledOnEveryOtherLineInTwoStaggeredRows) {
    auto graph = AnchoredGraph();
    TRecordingDrawer drawer;
    graph->DrawScaled(drawer, false);

    std::vector<TSegment> vertical;
    for (const TSegment& s : Segments(drawer)) {
        if (s.Color == 0xC0C0C0 && s.X1 == s.X2) vertical.push_back(s);
    }
    ASSERT_EQ(vertical.size(), 37u);
    for (size_t k = 0; k < vertical.size(); ++k) {
        EXPECT_NEAR(vertical[k].X1, 100 + 10.0 * static_cast<double>(k), kTol);
        EXPECT_DOUBLE_EQ(vertical[k].Y1, 50);
        EXPECT_DOUBLE_EQ(vertical[k].Y2, 250);
    }

    const std::vector<TDrawCall> xLabels = Labels(drawer, taCenter);
    ASSERT_EQ(xLabels.size(), 19u);
    for (size_t k = 0; k < xLabels.size(); ++k) {
        EXPECT_EQ(xLabels[k].Text, std::to_string(-180 + 20 * static_cast<int>(k)));
        EXPECT_NEAR(xLabels[k].Args[0], 100 + 20.0 * static_cast<double>(k), kTol);
        // Upper row at Bottom + LabelGap, lower row one Font.Size further down.
        EXPECT_DOUBLE_EQ(xLabels[k].Args[1], k % 2 == 0 ? 255.0 : 263.0);
        EXPECT_EQ(xLabels[k].Args[3], static_cast<double>(taNear));
    }
}

TEST(LineGraph, LinearDbLabelsSitLeftOfThePlotAtTheirLevels) {
    auto graph = AnchoredGraph(-25);
    TRecordingDrawer drawer;
    graph->DrawScaled(drawer, false);
    const std::vector<TDrawCall> yLabels = Labels(drawer, taFar);
    EXPECT_EQ(TextsOf(yLabels),
              (std::vector<std::string>{"-25 dB", "-20 dB", "-15 dB", "-10 dB", "-5 dB", "0 dB"}));
    for (size_t k = 0; k < yLabels.size(); ++k) {
        EXPECT_DOUBLE_EQ(yLabels[k].Args[0], 95);
        EXPECT_NEAR(yLabels[k].Args[1], 250 - 40.0 * static_cast<double>(k), kTol);
        EXPECT_EQ(yLabels[k].Args[3], static_cast<double>(taCenter));
    }

    auto deep = AnchoredGraph(-40);
    TRecordingDrawer deepDrawer;
    deep->DrawScaled(deepDrawer, false);
    EXPECT_EQ(Labels(deepDrawer, taFar).size(), 9u);  // -40..0 in 5 dB steps
}

TEST(LineGraph, FineRangesUseDecimalStepsAndRoundTheLabels) {
    auto graph = AnchoredGraph();
    graph->SetXMin(0);
    graph->SetXMax(1);
    graph->SetYMin(-10);
    TRecordingDrawer drawer;
    graph->DrawScaled(drawer, false);
    // 0.1 steps reach 1 despite binary fractions; labels come out whole tenths.
    EXPECT_EQ(TextsOf(Labels(drawer, taCenter)),
              (std::vector<std::string>{"0", "0.2", "0.4", "0.6", "0.8", "1"}));
    EXPECT_EQ(Labels(drawer, taFar).size(), 11u);  // -10..0 in 1 dB steps

    // 3 × 0.1 lands a hair above 0.3 in binary; the last line must still be drawn.
    graph->SetXMax(0.3);
    TRecordingDrawer tenths;
    graph->DrawScaled(tenths, false);
    EXPECT_EQ(TextsOf(Labels(tenths, taCenter)), (std::vector<std::string>{"0", "0.2"}));
    EXPECT_EQ(VerticalGrid(tenths).size(), 4u);

    graph->SetXMin(-0.05);
    graph->SetXMax(0.05);
    TRecordingDrawer fine;
    graph->DrawScaled(fine, false);
    EXPECT_EQ(TextsOf(Labels(fine, taCenter)),
              (std::vector<std::string>{"-0.05", "-0.03", "-0.01", "0.01", "0.03", "0.05"}));

    graph->SetXMin(0);
    graph->SetXMax(60);
    TRecordingDrawer medium;
    graph->DrawScaled(medium, false);
    EXPECT_EQ(TextsOf(Labels(medium, taCenter)),
              (std::vector<std::string>{"0", "10", "20", "30", "40", "50", "60"}));
}

TEST(LineGraph, FitToRectKeepsTheAspectRatioAndCentresThePlot) {
    TDatasetRectGraph graph;
    graph.FitToRect = true;
    graph.AspectRatio = 1.5;
    graph.FitRect = {10, 20, 610, 320};
    TRealRect plot = graph.PlotRect();
    EXPECT_DOUBLE_EQ(plot.Right - plot.Left, 450);
    EXPECT_DOUBLE_EQ(plot.Bottom - plot.Top, 300);
    EXPECT_DOUBLE_EQ(plot.Left, 85);
    EXPECT_DOUBLE_EQ(plot.Top, 20);

    graph.FitRect = {0, 0, 300, 300};
    plot = graph.PlotRect();
    EXPECT_NEAR(plot.Right - plot.Left, 300, kTol);
    EXPECT_NEAR(plot.Bottom - plot.Top, 200, kTol);
    EXPECT_NEAR(plot.Top, 50, kTol);

    // The label font follows the plot height.
    graph.SetXMin(-180);
    graph.SetXMax(180);
    TRecordingDrawer drawer;
    graph.DrawScaled(drawer, false);
    const std::vector<TDrawCall> fonts = drawer.CallsOf("SetFont");
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_NEAR(fonts[0].Args[0], 6, kTol);
    EXPECT_EQ(fonts[0].Name, "Arial");
}

TEST(LineGraph, AnchorPlacesThePlotAroundPosition) {
    TDatasetRectGraph graph;
    graph.SetWidth(450);
    graph.SetHeight(300);
    graph.SetPosition({425, 375});
    const std::vector<TRealPoint> expected = {{425, 375}, {-25, 375}, {-25, 75},
                                              {425, 75},  {200, 225}, {200, 375}};
    for (std::uint8_t anchor = 0; anchor < expected.size(); ++anchor) {
        graph.SetAnchor(anchor);
        EXPECT_EQ(graph.TopLeft(), expected[anchor]) << int(anchor);
    }
    EXPECT_THROW(graph.SetAnchor(6), EOstrelError);
    graph.SetAnchor(gaCenter);
    EXPECT_EQ(graph.PlotRect(), (TRealRect{200, 225, 650, 525}));
}

TEST(LineGraph, CurvesAreClippedToThePlotAndTheFrameIsDrawnOverThem) {
    auto graph = AnchoredGraph();
    graph->GridLine.Width = 2;
    AddSeries(*graph, 0x0000FF, 3, {{-185, 0}, {0, -25}, {180, -30}, {200, 0}});
    AddSeries(*graph, 0x00FF00, 1, {{0, 0}}).Visible = false;
    AddSeries(*graph, 0x008000, 1.5, {{-90, -12.5}});
    TRecordingDrawer drawer;
    graph->DrawScaled(drawer, false);

    const int clip = IndexOfOp(drawer, "SetClip");
    const int reset = IndexOfOp(drawer, "ResetClip");
    ASSERT_GE(clip, 0);
    EXPECT_EQ(drawer.Calls[static_cast<size_t>(clip)].Args,
              (std::vector<double>{100, 50, 460, 250}));
    const std::vector<TDrawCall> curves = drawer.CallsOf("Polyline");
    ASSERT_EQ(curves.size(), 2u);  // the invisible series is skipped
    for (size_t i = 0; i < drawer.Calls.size(); ++i) {
        if (drawer.Calls[i].Op == "Polyline") {
            EXPECT_GT(static_cast<int>(i), clip);
            EXPECT_LT(static_cast<int>(i), reset);
        }
    }
    EXPECT_EQ(curves[0].Color, 0x0000FFu);
    EXPECT_EQ(curves[1].Color, 0x008000u);
    const std::vector<TDrawCall> pens = drawer.CallsOf("SetPen");
    ASSERT_EQ(pens.size(), 4u);  // grid, two series, frame
    EXPECT_EQ(pens[0].Color, 0xC0C0C0u);
    EXPECT_DOUBLE_EQ(pens[1].Args[0], 3);
    EXPECT_DOUBLE_EQ(pens[2].Args[0], 1.5);
    EXPECT_EQ(pens[3].Color, 0x808080u);
    EXPECT_DOUBLE_EQ(pens[3].Args[0], 2);
    EXPECT_EQ(graph->GridLine.Color, 0xC0C0C0u);

    // -185 is within the margin and kept, 200 is dropped; levels are not clamped.
    ASSERT_EQ(curves[0].Points.size(), 3u);
    EXPECT_NEAR(curves[0].Points[0].X, 95, kTol);
    EXPECT_NEAR(curves[0].Points[0].Y, 50, kTol);
    EXPECT_NEAR(curves[0].Points[1].Y, 250, kTol);
    EXPECT_NEAR(curves[0].Points[2].Y, 290, kTol);
    EXPECT_NEAR(curves[1].Points[0].X, 190, kTol);
    EXPECT_NEAR(curves[1].Points[0].Y, 150, kTol);

    // The gray frame closes the drawing, after the clip is released.
    const size_t n = drawer.Calls.size();
    ASSERT_GE(n, 5u);
    EXPECT_GT(static_cast<int>(n) - 5, reset);
    EXPECT_EQ(drawer.Calls[n - 5].Op, "MoveTo");
    const std::vector<std::vector<double>> corners = {
        {100, 50}, {460, 50}, {460, 250}, {100, 250}, {100, 50}};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(drawer.Calls[n - 5 + i].Args, corners[i]);
}

TEST(LineGraph, LogScaleUsesFixedTicksAndFieldStrengthPositions) {
    auto graph = AnchoredGraph(-20);
    AddSeries(*graph, 0xFF0000, 1, {{0, -6}});
    TRecordingDrawer drawer;
    graph->DrawScaled(drawer, true);
    const std::vector<TDrawCall> yLabels = Labels(drawer, taFar);
    EXPECT_EQ(TextsOf(yLabels), (std::vector<std::string>{"-20 dB", "-10 dB", "-3 dB", "0 dB"}));
    auto logY = [](double db) { return 250 - 200 * (std::pow(10, db / 20) - 0.1) / 0.9; };
    ASSERT_EQ(yLabels.size(), 4u);
    EXPECT_NEAR(yLabels[0].Args[1], 250, kTol);
    EXPECT_NEAR(yLabels[2].Args[1], logY(-3), kTol);
    EXPECT_NEAR(yLabels[3].Args[1], 50, kTol);
    EXPECT_NEAR(drawer.CallsOf("Polyline").at(0).Points.at(0).Y, logY(-6), kTol);

    // Fixed ticks below a higher floor would land outside the frame; they are left out.
    auto narrow = AnchoredGraph(-10);
    TRecordingDrawer narrowDrawer;
    narrow->DrawScaled(narrowDrawer, true);
    EXPECT_EQ(TextsOf(Labels(narrowDrawer, taFar)),
              (std::vector<std::string>{"-10 dB", "-3 dB", "0 dB"}));

    // Draw without an explicit choice follows the graph's own scale.
    graph->LogScale = true;
    TRecordingDrawer viaField;
    graph->Drawer = &viaField;
    graph->Draw();
    EXPECT_EQ(TextsOf(Labels(viaField, taFar)), TextsOf(yLabels));
    graph->LogScale = false;
    TRecordingDrawer linear;
    graph->Draw(linear);
    EXPECT_EQ(Labels(linear, taFar).size(), 21u);  // -20..0 in 1 dB steps
}

TEST(LineGraph, DegenerateRangesAndAreasDrawWithoutNonFiniteCoordinates) {
    // An empty Y range is widened by 1 dB each way.
    auto flat = AnchoredGraph(0);
    TRecordingDrawer flatDrawer;
    flat->DrawScaled(flatDrawer, false);
    EXPECT_DOUBLE_EQ(flat->YMin, -1);
    EXPECT_DOUBLE_EQ(flat->YMax, 1);
    EXPECT_EQ(Labels(flatDrawer, taFar).size(), 21u);  // -1..1 in 0.1 dB steps

    auto pointX = AnchoredGraph();
    pointX->SetXMin(10);
    pointX->SetXMax(10);
    AddSeries(*pointX, 0xFF0000, 1, {{5, -3}, {10, -3}, {15, 0}});
    TRecordingDrawer pointDrawer;
    pointX->DrawScaled(pointDrawer, false);
    EXPECT_TRUE(AllCallsFinite(pointDrawer));

    // A 100 × 60 view leaves each half smaller than its margins; zero aspect ratio and
    // zero-size rectangles must not divide by zero either.
    const std::vector<TRealRect> rects = {{40, 30, 10, 30}, {90, 30, 60, 30}, {5, 5, 5, 5}};
    for (double ratio : {1.5, 0.0}) {
        for (const TRealRect& rect : rects) {
            TDatasetRectGraph graph;
            graph.FitToRect = true;
            graph.AspectRatio = ratio;
            graph.FitRect = rect;
            graph.SetXMin(-180);
            graph.SetXMax(180);
            graph.SetYMin(-40);
            AddSeries(graph, 0xFF0000, 1, {{-180, -40}, {0, 0}, {180, -10}});
            TRecordingDrawer drawer;
            EXPECT_NO_THROW(graph.DrawScaled(drawer, ratio == 0.0));
            EXPECT_TRUE(AllCallsFinite(drawer));
            const TRealRect plot = graph.PlotRect();
            EXPECT_GE(plot.Right - plot.Left, 0);
            EXPECT_GE(plot.Bottom - plot.Top, 0);
        }
    }
}

TEST(LineGraph, AxesTooLongToCountStillGetABoundedGrid) {
    // 10^19 grid steps do not fit a 64-bit count; the grid is capped, not lost.
    auto wideX = AnchoredGraph();
    wideX->SetXMin(0);
    wideX->SetXMax(1e20);
    TRecordingDrawer xDrawer;
    wideX->DrawScaled(xDrawer, false);
    const std::vector<TSegment> vertical = VerticalGrid(xDrawer);
    ASSERT_FALSE(vertical.empty());
    EXPECT_LE(vertical.size(), 10000u);
    EXPECT_NEAR(vertical.front().X1, 100, kTol);

    auto deepY = AnchoredGraph(-1e20);
    TRecordingDrawer yDrawer;
    deepY->DrawScaled(yDrawer, false);
    const std::vector<TDrawCall> yLabels = Labels(yDrawer, taFar);
    ASSERT_FALSE(yLabels.empty());
    EXPECT_LE(yLabels.size(), 10000u);
    EXPECT_TRUE(AllCallsFinite(yDrawer));
}

TEST(LineGraph, RedrawingWithNewSeriesAndRectMovesTheWholeGraph) {
    TDatasetRectGraph graph;
    graph.FitToRect = true;
    graph.AspectRatio = 1.5;
    graph.SetXMin(-180);
    graph.SetXMax(180);
    graph.SetYMin(-40);
    graph.FitRect = {0, 0, 450, 300};
    AddSeries(graph, 0xFF0000, 1, {{0, 0}});
    TRecordingDrawer drawer;
    graph.Drawer = &drawer;
    graph.Draw(drawer);
    graph.Series->Clear();
    AddSeries(graph, 0x0000FF, 1, {{0, 0}});
    graph.FitRect = {500, 0, 950, 300};
    graph.DrawScaled(drawer, false);
    const std::vector<TDrawCall> curves = drawer.CallsOf("Polyline");
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_NEAR(curves[0].Points.at(0).X, 225, kTol);
    EXPECT_NEAR(curves[1].Points.at(0).X, 725, kTol);
    EXPECT_EQ(curves[1].Color, 0x0000FFu);
    EXPECT_EQ(Labels(drawer, taCenter).size(), 38u);
}

}  // namespace
}  // namespace ostrel
