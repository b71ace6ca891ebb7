#include "graphs/PolarGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "model/Errors.h"
#include "support/RecordingDrawer.h"

namespace ostrel {
namespace {

constexpr double kTol = 1e-9;

// A graph centred at (200, 200) with the given outer radius and floor.
std::unique_ptr<TPolarGraph> MakeGraph(double radius, double floorDb, bool logScale = false) {
    auto graph = std::make_unique<TPolarGraph>(true);
    graph->SetCenter(200, 200);
    graph->SetRadius(radius);
    graph->SetLabelRadius(radius + 20);
    graph->SetMinValue(floorDb);
    graph->SetMaxValue(0);
    graph->SetLogScale(logScale);
    graph->Font.RelativeSize = 0.06;
    return graph;
}

TSeries& AddSeries(TPolarGraph& graph, std::vector<TRealPoint> points, TColor color = 0x0000FF) {
    auto series = std::make_unique<TSeries>(true);
    for (const TRealPoint& p : points) series->Points->AddPoint(p);
    series->Color = color;
    TSeries& result = *series;
    graph.Series->Add(std::move(series));
    return result;
}

// Radii of the drawn circles, skipping the first (the white background circle).
std::vector<double> RingRadii(const TRecordingDrawer& drawer) {
    std::vector<double> radii;
    const auto ellipses = drawer.CallsOf("Ellipse");
    for (size_t i = 1; i < ellipses.size(); ++i) {
        radii.push_back((ellipses[i].Args[2] - ellipses[i].Args[0]) / 2);
    }
    return radii;
}

// Ring label texts with their anchor points, in drawing order.
std::vector<TDrawCall> RingLabelCalls(const TRecordingDrawer& drawer) {
    std::vector<TDrawCall> result;
    for (const TDrawCall& call : drawer.CallsOf("AlignedTextOut")) {
        if (call.Text.ends_with(" dB")) result.push_back(call);
    }
    return result;
}

// The angle label call with that text.
TDrawCall AngleLabel(const TRecordingDrawer& drawer, const std::string& text) {
    for (const TDrawCall& call : drawer.CallsOf("AlignedTextOut")) {
        if (call.Text == text) return call;
    }
    ADD_FAILURE() << "no label " << text;
    return {};
}

TEST(PolarGraph, DrawingOrderPutsGridUnderCurvesAndTheOuterRingLastOfTheRings) {
    // White disc, 36 spokes each with its label, the rings from the inside out with the gray
    // outer ring last, then the curves on top.
    for (bool logScale : {false, true}) {
        auto graph = MakeGraph(100, logScale ? -20 : -25, logScale);
        AddSeries(*graph, {{0, -3}, {90, -10}});
        AddSeries(*graph, {{0, -6}, {180, 0}}, 0xFF0000);
        TRecordingDrawer drawer;
        graph->Draw(drawer);
        std::string order;
        for (const TDrawCall& call : drawer.Calls) {
            if (call.Op == "Ellipse") order += call.Color == clGray ? 'O' : 'E';
            if (call.Op == "AlignedTextOut") order += call.Text.ends_with(" dB") ? 'r' : 'a';
            if (call.Op == "LineTo") order += 's';
            if (call.Op == "Polyline") order += 'C';
        }
        std::string expected = "E";
        for (int i = 0; i < 36; ++i) expected += "sa";
        expected += logScale ? "rErErOr" : "rErErErErOr";
        expected += "CC";
        EXPECT_EQ(order, expected) << (logScale ? "logarithmic" : "linear");
        EXPECT_EQ(drawer.CallsOf("Ellipse").front().Color, clWhite);
    }
}

// The 0 degree label, 120 units from the centre, lies on the side the zero position names,
// and 90 degrees lies a quarter turn clockwise from it.
TEST(PolarGraph, EachZeroPositionPutsZeroOnItsSide) {
    const struct {
        std::uint8_t Position;
        TRealPoint Zero;
        TRealPoint Ninety;
    } cases[] = {
        {zpTop, {200, 80}, {320, 200}},
        {zpRight, {320, 200}, {200, 320}},
        {zpBottom, {200, 320}, {80, 200}},
        {zpLeft, {80, 200}, {200, 80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Position));
        auto graph = MakeGraph(100, -25);
        graph->SetZeroPosition(c.Position);
        TRecordingDrawer drawer;
        graph->Draw(drawer);
        EXPECT_NEAR(AngleLabel(drawer, "0").Args[0], c.Zero.X, kTol);
        EXPECT_NEAR(AngleLabel(drawer, "0").Args[1], c.Zero.Y, kTol);
        EXPECT_NEAR(AngleLabel(drawer, "90").Args[0], c.Ninety.X, kTol);
        EXPECT_NEAR(AngleLabel(drawer, "90").Args[1], c.Ninety.Y, kTol);
    }
}

TEST(PolarGraph, TwentyFiveDbFloorGivesSixEvenlySpacedRings) {
    auto graph = MakeGraph(100, -25);
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    EXPECT_EQ(graph->RingLabels, (TLabels{"-25", "-20", "-15", "-10", "-5", "0"}));
    const std::vector<double> radii = RingRadii(drawer);
    ASSERT_EQ(radii.size(), 5u);  // the floor label gets no circle
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_NEAR(radii[i], 20.0 * (i + 1), kTol);

    const auto labels = RingLabelCalls(drawer);
    ASSERT_EQ(labels.size(), 6u);
    EXPECT_EQ(labels[0].Text, "-25 dB");
    EXPECT_EQ(labels[5].Text, "0 dB");
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_NEAR(labels[i].Args[0], 200, kTol);
        EXPECT_NEAR(labels[i].Args[1], 200 - 20.0 * i, kTol);
        EXPECT_EQ(labels[i].Args[2], taCenter);
        EXPECT_EQ(labels[i].Args[3], taNear);  // top edge at the ring
    }
}

TEST(PolarGraph, FortyDbFloorGivesNineRingsAndAGrayOuterRing) {
    auto graph = MakeGraph(160, -40);
    graph->OuterLine.Width = 2.5;
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    ASSERT_EQ(graph->RingLabels.size(), 9u);
    EXPECT_EQ(graph->RingLabels.front(), "-40");
    EXPECT_EQ(graph->RingLabels.back(), "0");
    const std::vector<double> radii = RingRadii(drawer);
    ASSERT_EQ(radii.size(), 8u);
    for (size_t i = 0; i < radii.size(); ++i) EXPECT_NEAR(radii[i], 20.0 * (i + 1), kTol);

    const auto ellipses = drawer.CallsOf("Ellipse");
    EXPECT_EQ(ellipses.front().Color, 0xFFFFFFu);  // background circle
    EXPECT_NEAR(ellipses.front().Args[0], 40, kTol);
    for (size_t i = 1; i + 1 < ellipses.size(); ++i) EXPECT_EQ(ellipses[i].Color, clSilver);
    EXPECT_EQ(ellipses.back().Color, clGray);
    // The outer ring's pen takes the outer line's width.
    const auto pens = drawer.CallsOf("SetPen");
    bool outerPenSet = false;
    for (const TDrawCall& pen : pens) {
        if (pen.Color == clGray && std::abs(pen.Args[0] - 2.5) < kTol) outerPenSet = true;
    }
    EXPECT_TRUE(outerPenSet);
}

TEST(PolarGraph, LogarithmicScaleHasFourFixedRings) {
    auto graph = MakeGraph(100, -20, true);
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    EXPECT_EQ(graph->RingLabels, (TLabels{"-20", "-10", "-3", "0"}));
    const std::vector<double> radii = RingRadii(drawer);
    ASSERT_EQ(radii.size(), 3u);
    EXPECT_NEAR(radii[0], 24.03, 0.01);
    EXPECT_NEAR(radii[1], 67.55, 0.01);
    EXPECT_NEAR(radii[2], 100, kTol);

    const auto labels = RingLabelCalls(drawer);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0].Text, "-20 dB");
    EXPECT_NEAR(labels[0].Args[1], 200, kTol);  // at the centre
    EXPECT_NEAR(labels[1].Args[1], 200 - 24.025, 0.001);

    EXPECT_NEAR(graph->LevelRadius(-6), 44.58, 0.01);
    // Log distances are not rounded to whole units.
    EXPECT_GT(std::abs(graph->LevelRadius(-10) - std::round(graph->LevelRadius(-10))), 0.01);
}

TEST(PolarGraph, AngleLabelsAndSpokesWithZeroAtTheTop) {
    auto graph = MakeGraph(100, -40);
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    ASSERT_EQ(graph->AngleLabels.size(), 36u);
    EXPECT_EQ(graph->AngleLabels[0], "0");
    EXPECT_EQ(graph->AngleLabels[18], "180");
    EXPECT_EQ(graph->AngleLabels[19], "-170");
    EXPECT_EQ(graph->AngleLabels[35], "-10");

    // Labels centred on the label radius (120): 0 above, 90 right, -90 left, 180 below.
    const TDrawCall zero = AngleLabel(drawer, "0");
    EXPECT_NEAR(zero.Args[0], 200, kTol);
    EXPECT_NEAR(zero.Args[1], 80, kTol);
    EXPECT_EQ(zero.Args[2], taCenter);
    EXPECT_EQ(zero.Args[3], taCenter);
    EXPECT_NEAR(AngleLabel(drawer, "90").Args[0], 320, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "90").Args[1], 200, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "-90").Args[0], 80, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "180").Args[1], 320, kTol);
    // 30 degrees clockwise from the top: rounded to whole units (104 = round(120 sin 60)).
    EXPECT_NEAR(AngleLabel(drawer, "30").Args[0], 260, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "30").Args[1], 200 - 104, kTol);

    // One spoke per label, from the centre to the outer ring.
    const auto moves = drawer.CallsOf("MoveTo");
    const auto lines = drawer.CallsOf("LineTo");
    ASSERT_EQ(moves.size(), 36u);
    ASSERT_EQ(lines.size(), 36u);
    for (const TDrawCall& move : moves) {
        EXPECT_NEAR(move.Args[0], 200, kTol);
        EXPECT_NEAR(move.Args[1], 200, kTol);
    }
    EXPECT_NEAR(lines[0].Args[0], 200, kTol);
    EXPECT_NEAR(lines[0].Args[1], 100, kTol);
    EXPECT_NEAR(lines[3].Args[0], 250, kTol);   // 30 degrees
    EXPECT_NEAR(lines[3].Args[1], 113, kTol);   // 200 - round(86.6)
    EXPECT_NEAR(lines[19].Args[0], 183, kTol);  // -170 lies at 190 degrees
    EXPECT_NEAR(lines[19].Args[1], 298, kTol);
    EXPECT_EQ(lines[0].Color, clSilver);
}

TEST(PolarGraph, AngleLabelsWithZeroOnTheRight) {
    auto graph = MakeGraph(100, -40);
    graph->SetZeroPosition(zpRight);
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    EXPECT_NEAR(AngleLabel(drawer, "0").Args[0], 320, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "0").Args[1], 200, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "90").Args[0], 200, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "90").Args[1], 320, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "-90").Args[1], 80, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "180").Args[0], 80, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "30").Args[0], 304, kTol);
    EXPECT_NEAR(AngleLabel(drawer, "30").Args[1], 260, kTol);

    const auto lines = drawer.CallsOf("LineTo");
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_NEAR(lines[0].Args[0], 300, kTol);
    EXPECT_NEAR(lines[0].Args[1], 200, kTol);
    EXPECT_NEAR(lines[9].Args[0], 200, kTol);
    EXPECT_NEAR(lines[9].Args[1], 300, kTol);
}

TEST(PolarGraph, SeriesRotationTurnsTheCurveTowardsGrowingAngles) {
    auto graph = MakeGraph(100, -40);
    TSeries& series = AddSeries(*graph, {{0, 0}, {-30, 0}, {90, -20}});
    series.Rotation = 30;
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    const auto polylines = drawer.CallsOf("Polyline");
    ASSERT_EQ(polylines.size(), 1u);
    const TRealPointArray& points = polylines[0].Points;
    ASSERT_EQ(points.size(), 3u);
    const auto spokes = drawer.CallsOf("LineTo");
    // Pattern angle 0 lies on the spoke of 30, pattern angle -30 on the spoke of 0.
    EXPECT_NEAR(points[0].X, spokes[3].Args[0], kTol);
    EXPECT_NEAR(points[0].Y, spokes[3].Args[1], kTol);
    EXPECT_NEAR(points[1].X, spokes[0].Args[0], kTol);
    EXPECT_NEAR(points[1].Y, spokes[0].Args[1], kTol);
    // 90 turned by 30 is 120: half radius, below right of the centre.
    EXPECT_NEAR(points[2].X, 200 + 43, kTol);
    EXPECT_NEAR(points[2].Y, 200 + 25, kTol);
}

TEST(PolarGraph, LevelsBelowTheFloorSitAtTheCentre) {
    auto graph = MakeGraph(101, -40);
    TSeries& offsetSeries = AddSeries(*graph, {{90, -30}, {90, -55}});
    offsetSeries.ValueOffset = 10;
    AddSeries(*graph, {{90, -50}, {90, -20}, {90, 5}, {-90, -40}});
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    const auto polylines = drawer.CallsOf("Polyline");
    ASSERT_EQ(polylines.size(), 2u);
    // -30 + 10 = -20 dB: half of 101 is 50.5, rounded to even.
    EXPECT_NEAR(polylines[0].Points[0].X, 250, kTol);
    EXPECT_NEAR(polylines[0].Points[0].Y, 200, kTol);
    EXPECT_NEAR(polylines[0].Points[1].X, 200, kTol);  // -45 clamped to the floor
    const TRealPointArray& points = polylines[1].Points;
    EXPECT_NEAR(points[0].X, 200, kTol);
    EXPECT_NEAR(points[0].Y, 200, kTol);
    EXPECT_NEAR(points[1].X, 250, kTol);
    // Above the top the curve leaves the outer ring: round(1.125 * 101) = 114.
    EXPECT_NEAR(points[2].X, 314, kTol);
    EXPECT_NEAR(points[3].X, 200, kTol);

    graph->SetRadius(103);  // 51.5 rounds up to the even 52
    EXPECT_NEAR(graph->LevelRadius(-20), 52, kTol);
}

TEST(PolarGraph, SeriesPenAndVisibility) {
    auto graph = MakeGraph(100, -25);
    TSeries& hidden = AddSeries(*graph, {{0, 0}}, 0x123456);
    hidden.Visible = false;
    TSeries& shown = AddSeries(*graph, {{0, 0}, {10, -3}}, 0x00FF00);
    shown.Width = 2;
    shown.PenStyle = psDash;
    TRecordingDrawer drawer;
    graph->Draw(drawer);

    for (const TDrawCall& pen : drawer.CallsOf("SetPen")) EXPECT_NE(pen.Color, 0x123456u);
    const auto polylines = drawer.CallsOf("Polyline");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0].Color, 0x00FF00u);
    EXPECT_EQ(polylines[0].Style, psDash);
    EXPECT_EQ(polylines[0].Points.size(), 2u);
    // The curves are drawn after every ring label.
    EXPECT_EQ(drawer.Calls.back().Op, "Polyline");
}

TEST(PolarGraph, LabelFontFollowsRadiusAndScale) {
    auto graph = MakeGraph(175, -40);
    graph->Font.Color = 0x808080;
    TRecordingDrawer drawer;
    graph->Draw(drawer);
    const auto fonts = drawer.CallsOf("SetFont");
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_NEAR(fonts[0].Args[0], 10.5, kTol);
    EXPECT_EQ(fonts[0].Name, "Arial");
    EXPECT_EQ(fonts[0].Color, 0x808080u);

    graph->Scale = 2;
    TRecordingDrawer scaled;
    graph->Draw(scaled);
    EXPECT_NEAR(scaled.CallsOf("SetFont")[0].Args[0], 21, kTol);
    // The background circle and the outer ring grow with the scale.
    EXPECT_NEAR(scaled.CallsOf("Ellipse").front().Args[0], 200 - 350, kTol);
    EXPECT_NEAR(scaled.CallsOf("Ellipse").back().Args[2], 200 + 350, kTol);

    graph->SetRelativeFont(false);
    graph->Font.Size = 9;
    TRecordingDrawer fixed;
    graph->Draw(fixed);
    EXPECT_NEAR(fixed.CallsOf("SetFont")[0].Args[0], 9, kTol);
}

TEST(PolarGraph, MarkersAreRedCirclesOnTheLinearScale) {
    auto graph = MakeGraph(100, -40);
    graph->Markers.Add(90, -20);
    TRecordingDrawer drawer;
    graph->Draw(drawer);
    const TDrawCall marker = drawer.CallsOf("Ellipse").back();
    EXPECT_NEAR(marker.Args[0], 245, kTol);
    EXPECT_NEAR(marker.Args[2], 255, kTol);
    EXPECT_EQ(marker.Color, 0x0000FFu);
}

TEST(PolarGraph, TicksAreShortRadialStrokesTurnedLikeTheirSeries) {
    auto graph = MakeGraph(100, -40);
    // Pattern angle 60 turned by 30 lies on the screen's +X axis; -20 dB is half the radius.
    graph->Ticks.push_back({60, -20, 30, 0x00FF00});
    TRecordingDrawer drawer;
    graph->Draw(drawer);
    const TDrawCall from = drawer.CallsOf("MoveTo").back();
    const TDrawCall to = drawer.CallsOf("LineTo").back();
    EXPECT_NEAR(from.Args[0], 247, kTol);
    EXPECT_NEAR(to.Args[0], 253, kTol);
    EXPECT_NEAR(from.Args[1], 200, kTol);
    EXPECT_NEAR(to.Args[1], 200, kTol);
    EXPECT_EQ(to.Color, 0x00FF00u);
}

TEST(PolarGraph, ScaleWithoutRangeIsRejected) {
    TRecordingDrawer drawer;
    auto flat = MakeGraph(100, 0);
    EXPECT_THROW(flat->Draw(drawer), EInvalidOp);
    auto inverted = MakeGraph(100, 10);
    EXPECT_THROW(inverted->Draw(drawer), EInvalidOp);
    auto logAboveZero = MakeGraph(100, 0, true);
    logAboveZero->SetMaxValue(10);
    EXPECT_THROW(logAboveZero->Draw(drawer), EInvalidOp);

    // Without a drawer the parameterless form draws nothing.
    auto unattached = MakeGraph(100, -40);
    EXPECT_NO_THROW(unattached->Draw());
    EXPECT_TRUE(unattached->AngleLabels.empty());
}

// Keeps the points a graph hands to its series painter, as the density view gets them.
struct TPlacedPoints : TSeriesPainter {
    void Paint(TDrawer&, const TSeriesList& series, const TRealRect&,
               const TSeriesPlacer& place) override {
        for (int i = 0; i < series.Count(); ++i) place(series.Items(i), Curves.emplace_back());
    }
    std::vector<TRealPointArray> Curves;
};

// Thousands of curves are placed for the density view through a quicker road than the
// single curves; both must put every point on the same spot (the pixel counts depend on it),
// also for levels that round at a half, sit above the outer ring or far beyond the device,
// or are no number at all.
TEST(PolarGraph, TheDensityViewPlacesEveryPointWhereTheCurveIsDrawn) {
    const struct {
        double Radius, Floor, Scale, Rotation, Offset;
        std::vector<double> Levels;
    } cases[] = {
        {180, -30, 1, 0, 0, {0, -1.5, -4.5, -7.25, -29.99, -30, -45, -0.0}},
        {100, -40, 2.5, 15, -0.5, {-0.2, -12.6, -20, -39.5, 3, -60}},
        {200, -25, 1, -90.5, 0, {-6.25, -12.5, -18.75, 0.4, -24.9}},
        {150, -30, 1, 0, 0, {-3, 1e12, -1e300, -5}},
        {150, -30, 1, 0, 0, {-3, 6e6, -5, 1e300}},
        {150, -30, 1, 0, 0, {-3, -4, std::nan(""), -5}},
        // Points are placed in fours: a last group of one to three, ending far off or alone.
        {150, -30, 1, 0, 0, {-3, -4, -5, -6, 1e300}},
        {150, -30, 1, 0, 0, {-3, -4, -5, -6, -7, -8, 1e300}},
        {150, -30, 1, 0, 0, {-2.5}},
    };
    for (const auto& c : cases) {
        std::vector<TRealPoint> points;
        for (size_t k = 0; k < c.Levels.size(); ++k)
            points.push_back({-180 + 45.0 * k, c.Levels[k]});
        auto graph = MakeGraph(c.Radius, c.Floor);
        graph->Scale = c.Scale;
        // Three curves on the same angles: the later ones take the first one's directions.
        // A fourth has as many points, one of them a degree off, and needs its own.
        std::vector<TRealPoint> oneAngleOff = points;
        oneAngleOff[std::min<size_t>(1, points.size() - 1)].X += 1;
        for (int copy = 0; copy < 4; ++copy) {
            TSeries& series = AddSeries(*graph, copy < 3 ? points : oneAngleOff);
            series.Rotation = c.Rotation;
            series.ValueOffset = c.Offset;
        }
        TRecordingDrawer drawn;
        graph->Draw(drawn);
        std::vector<TRealPointArray> lines;
        for (const TDrawCall& call : drawn.Calls) {
            if (call.Op == "Polyline") lines.push_back(call.Points);
        }
        TPlacedPoints placed;
        graph->SeriesPainter = &placed;
        graph->Draw(drawn);
        EXPECT_EQ(placed.Curves, lines) << c.Radius;
    }
}

}  // namespace
}  // namespace ostrel
