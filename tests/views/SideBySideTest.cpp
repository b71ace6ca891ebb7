#include "views/SideBySide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graphs/PolarGraph.h"
#include "support/RecordingDrawer.h"
#include "views/LegendDrawer.h"
#include "views/ViewTestSupport.h"

namespace ostrel {
namespace {

constexpr double kTol = 1e-9;

// A pattern whose cuts tell apart which one was drawn: the azimuth cut is one point at
// 0 dB, the levelled horizontal cut one point at -20 dB, the vertical cut two points.
TPatternData& AddPattern(TTestPatterns& patterns, int id, const std::string& fileName) {
    TPatternData& pattern = patterns.Add(id, fileName);
    pattern.AzimuthCut.Add(0, 0);
    pattern.HorizontalCut.Add(0, -20);
    pattern.VerticalCut.Add(0, 0);
    pattern.VerticalCut.Add(90, 0);
    return pattern;
}

// The white background circles, one per polar graph.
std::vector<TDrawCall> GraphOutlines(const TRecordingDrawer& drawer) {
    std::vector<TDrawCall> result;
    for (const TDrawCall& call : drawer.CallsOf("Ellipse")) {
        if (call.Color == clWhite) result.push_back(call);
    }
    return result;
}

std::vector<TDrawCall> LabelCalls(const TRecordingDrawer& drawer, const std::string& text) {
    std::vector<TDrawCall> result;
    for (const TDrawCall& call : drawer.CallsOf("AlignedTextOut")) {
        if (call.Text == text) result.push_back(call);
    }
    return result;
}

int IndexOfLast(const TRecordingDrawer& drawer, const std::string& op) {
    for (int i = static_cast<int>(drawer.Calls.size()) - 1; i >= 0; --i) {
        if (drawer.Calls[static_cast<size_t>(i)].Op == op) return i;
    }
    return -1;
}

int IndexOfFirst(const TRecordingDrawer& drawer, const std::string& op) {
    for (size_t i = 0; i < drawer.Calls.size(); ++i) {
        if (drawer.Calls[i].Op == op) return static_cast<int>(i);
    }
    return -1;
}

void DrawView(TRecordingDrawer& drawer, const TPatternDataList& patterns, TRect bounds,
              TGraphType graphType = TGraphType::Polar, bool showLegend = false,
              const TViewState& state = {}) {
    TSideBySideDrawer view;
    view.View = state;
    view.Drawer = &drawer;
    view.Bounds = bounds;
    view.Patterns.CopyFrom(patterns);
    view.GraphType = graphType;
    view.ShowLegend = showLegend;
    view.LegendAlign = laCenter;
    view.Draw();
}

TEST(SideBySidePolar, TwoGraphsShareTheAreaAndFollowItsSmallerSide) {
    TTestPatterns patterns;
    TRecordingDrawer drawer;
    DrawView(drawer, patterns.List, {0, 0, 800, 400});

    // R = min(800 / 2, 400) / 2 - 40 = 160, centres at a quarter and three quarters.
    const auto outlines = GraphOutlines(drawer);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_NEAR(outlines[0].Args[0], 40, kTol);
    EXPECT_NEAR(outlines[0].Args[1], 40, kTol);
    EXPECT_NEAR(outlines[0].Args[2], 360, kTol);
    EXPECT_NEAR(outlines[1].Args[0], 440, kTol);
    EXPECT_NEAR(outlines[1].Args[3], 360, kTol);

    // Grey labels at 0.06 R, angle labels at 1.1 R; the vertical cut has 0 on the right.
    for (const TDrawCall& font : drawer.CallsOf("SetFont")) {
        EXPECT_NEAR(font.Args[0], 9.6, kTol);
        EXPECT_EQ(font.Color, clGray);
    }
    const auto zeroLabels = LabelCalls(drawer, "0");
    ASSERT_EQ(zeroLabels.size(), 2u);
    EXPECT_NEAR(zeroLabels[0].Args[0], 200, kTol);
    EXPECT_NEAR(zeroLabels[0].Args[1], 200 - 176, kTol);
    EXPECT_NEAR(zeroLabels[1].Args[0], 600 + 176, kTol);
    EXPECT_NEAR(zeroLabels[1].Args[1], 200, kTol);
    // Without patterns the grids are drawn and there are no curves.
    EXPECT_TRUE(drawer.CallsOf("Polyline").empty());
    EXPECT_EQ(LabelCalls(drawer, "-40 dB").size(), 2u);

    TSideBySidePatterns tall;
    tall.Bounds = {0, 0, 400, 1000};
    EXPECT_NEAR(tall.PolarRadius(), 60, kTol);
    TSideBySidePatterns wide;
    wide.Bounds = {0, 0, 2000, 300};
    EXPECT_NEAR(wide.PolarRadius(), 110, kTol);
    TRecordingDrawer wideDrawer;
    DrawView(wideDrawer, patterns.List, wide.Bounds);
    ASSERT_EQ(GraphOutlines(wideDrawer).size(), 2u);
    EXPECT_NEAR(GraphOutlines(wideDrawer)[1].Args[0], 1500 - 110, kTol);
    EXPECT_NEAR(GraphOutlines(wideDrawer)[1].Args[1], 150 - 110, kTol);
}

TEST(SideBySidePolar, SeriesTakeTheirCutColourAndRotation) {
    TTestPatterns patterns;
    AddPattern(patterns, 1, "/a/one.txt");
    TPatternData& second = AddPattern(patterns, 2, "/a/two.txt");
    second.HRotationOffset = 90;
    second.VRotationOffset = -90;

    {
        TRecordingDrawer drawer;
        DrawView(drawer, patterns.List, {0, 0, 800, 400});
        const auto curves = drawer.CallsOf("Polyline");
        ASSERT_EQ(curves.size(), 4u);  // H of both patterns, then V of both
        EXPECT_EQ(curves[0].Color, 0xFF0000u);
        EXPECT_EQ(curves[1].Color, 0x0000FFu);
        EXPECT_EQ(curves[2].Color, 0xFF0000u);
        EXPECT_EQ(curves[3].Color, 0x0000FFu);
        // Azimuth cut at 0 dB: on the outer ring straight up.
        ASSERT_EQ(curves[0].Points.size(), 1u);
        EXPECT_NEAR(curves[0].Points[0].X, 200, kTol);
        EXPECT_NEAR(curves[0].Points[0].Y, 40, kTol);
        // Turned by the H offset of 90: to the right.
        EXPECT_NEAR(curves[1].Points[0].X, 360, kTol);
        EXPECT_NEAR(curves[1].Points[0].Y, 200, kTol);
        // Vertical cut with 0 on the right; 90 below; turned by -90 the 0 point goes up.
        ASSERT_EQ(curves[2].Points.size(), 2u);
        EXPECT_NEAR(curves[2].Points[0].X, 760, kTol);
        EXPECT_NEAR(curves[2].Points[1].Y, 360, kTol);
        EXPECT_NEAR(curves[3].Points[0].X, 600, kTol);
        EXPECT_NEAR(curves[3].Points[0].Y, 40, kTol);
    }
    {
        // The levelled horizontal cut at -20 dB sits at half the radius.
        TRecordingDrawer drawer;
        DrawView(drawer, patterns.List, {0, 0, 800, 400}, TGraphType::Polar, false,
                 TestViewState(THCut::Horizontal, -40));
        EXPECT_NEAR(drawer.CallsOf("Polyline").at(0).Points.at(0).Y, 120, kTol);
    }
}

TEST(SideBySidePolar, FloorComesFromTheViewStateAndLogFromTheDrawer) {
    TTestPatterns patterns;
    {
        TRecordingDrawer drawer;
        DrawView(drawer, patterns.List, {0, 0, 800, 400}, TGraphType::Polar, false,
                 TestViewState(THCut::Azimuth, -25));
        EXPECT_EQ(LabelCalls(drawer, "-25 dB").size(), 2u);
        EXPECT_TRUE(LabelCalls(drawer, "-40 dB").empty());
    }
    {
        TRecordingDrawer drawer;
        TSideBySideDrawer view;
        view.Drawer = &drawer;
        view.Bounds = {0, 0, 800, 400};
        view.View = TestViewState(THCut::Azimuth, -20);
        view.LogScale = true;
        view.Draw();
        EXPECT_EQ(LabelCalls(drawer, "-3 dB").size(), 2u);
        EXPECT_TRUE(LabelCalls(drawer, "-5 dB").empty());
    }
}

TEST(SideBySideView, LegendHangsCentredFromTheMiddleOfTheTopEdge) {
    TTestPatterns patterns;
    AddPattern(patterns, 7, "/x/ant.txt");  // "(7) ant" is 59 units wide
    TRecordingDrawer drawer;
    DrawView(drawer, patterns.List, {10, 20, 811, 420}, TGraphType::Polar, true);

    // Origin (10 + 801 / 2, 20 + 30) = (410.5, 50); the block is centred on it.
    const auto texts = drawer.CallsOf("TextOut");
    const auto id = std::find_if(texts.begin(), texts.end(),
                                 [](const TDrawCall& c) { return c.Text == "(7) "; });
    ASSERT_NE(id, texts.end());
    EXPECT_NEAR(id->Args[0], 381, kTol);
    EXPECT_NEAR(id->Args[1], 50, kTol);
    const auto swatches = drawer.CallsOf("Rectangle");
    ASSERT_EQ(swatches.size(), 1u);
    EXPECT_NEAR(swatches[0].Args[0], 361, kTol);
    EXPECT_NEAR(swatches[0].Args[1], 53, kTol);
    // Drawn over the graphs.
    EXPECT_GT(IndexOfFirst(drawer, "Rectangle"), IndexOfLast(drawer, "Polyline"));

    TRecordingDrawer placed;
    TSideBySideDrawer view;
    view.Drawer = &placed;
    view.Bounds = {10, 20, 811, 420};
    view.Patterns.CopyFrom(patterns.List);
    view.LegendAutoPlace = false;
    view.LegendOrigin = {5, 6};
    view.LegendFontSize = 10;
    view.Draw();
    const auto placedTexts = placed.CallsOf("TextOut");
    ASSERT_FALSE(placedTexts.empty());
    EXPECT_EQ(placedTexts.back().Text, "ant");
    EXPECT_NEAR(placedTexts.back().Args[0], 5 + 24, kTol);  // after "(7) " in a 10-unit font
    EXPECT_NEAR(placedTexts.back().Args[1], 6, kTol);

    TRecordingDrawer withoutLegend;
    DrawView(withoutLegend, patterns.List, {10, 20, 811, 420}, TGraphType::Polar, false);
    EXPECT_TRUE(withoutLegend.CallsOf("Rectangle").empty());
    // Every plain text is the placed half of an aligned graph label.
    EXPECT_EQ(withoutLegend.CallsOf("TextOut").size(),
              withoutLegend.CallsOf("AlignedTextOut").size());
}

TEST(SideBySideView, ColoursCycleThroughEighteen) {
    TTestPatterns patterns;
    for (int i = 0; i < 19; ++i) AddPattern(patterns, i + 1, "/p/" + std::to_string(i));
    TRecordingDrawer drawer;
    DrawView(drawer, patterns.List, {0, 0, 1200, 700}, TGraphType::Polar, true);

    const std::vector<TColor> table = {0xFF0000, 0x0000FF, 0x008000, 0xFF00FF, 0xFACE87,
                                       0x800080, 0x000000, 0x00FF00, 0x507FFF, 0x00FFFF,
                                       0x000080, 0x008080, 0x800000, 0x808000, 0x808080,
                                       0xC0C0C0, 0xFFFF00, 0xD4FF7F, 0xFF0000};
    const auto swatches = drawer.CallsOf("Rectangle");
    const auto curves = drawer.CallsOf("Polyline");
    ASSERT_EQ(swatches.size(), 19u);
    ASSERT_EQ(curves.size(), 38u);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(swatches[i].Color, table[i]) << "legend entry " << i;
        EXPECT_EQ(curves[i].Color, table[i]) << "horizontal curve " << i;
        EXPECT_EQ(curves[19 + i].Color, table[i]) << "vertical curve " << i;
    }
}

TEST(SideBySideView, AreasTooSmallForAGraphDrawNoGraphButDoNotFail) {
    TTestPatterns patterns;
    AddPattern(patterns, 1, "/a/one.txt");
    for (TGraphType type : {TGraphType::Polar, TGraphType::Cartesian}) {
        TRecordingDrawer drawer;
        EXPECT_NO_THROW(DrawView(drawer, patterns.List, {0, 0, 100, 50}, type, true));
        EXPECT_TRUE(drawer.CallsOf("Polyline").empty());
        EXPECT_TRUE(drawer.CallsOf("Ellipse").empty());
        EXPECT_EQ(drawer.CallsOf("Rectangle").size(), 1u);  // the legend still shows
    }
    TRecordingDrawer inverted;
    EXPECT_NO_THROW(DrawView(inverted, patterns.List, {500, 400, 0, 0}, TGraphType::Polar, false));
    EXPECT_TRUE(inverted.Calls.empty());
}

TEST(SideBySideCartesian, HalvesAreFittedIntoTheInsetRectangles) {
    TSideBySidePatterns layout;
    layout.Bounds = {0, 0, 801, 400};  // odd width: halves of 400 at either edge
    const TRealRect left = layout.CartesianFitRect(true);
    const TRealRect right = layout.CartesianFitRect(false);
    EXPECT_EQ(left, (TRealRect{40, 30, 360, 370}));
    EXPECT_EQ(right, (TRealRect{441, 30, 761, 370}));

    TTestPatterns patterns;
    AddPattern(patterns, 1, "/a/one.txt");
    AddPattern(patterns, 2, "/a/two.txt");
    TRecordingDrawer drawer;
    DrawView(drawer, patterns.List, layout.Bounds, TGraphType::Cartesian, false,
             TestViewState(THCut::Azimuth, -25));

    // 320 x 340 holds a 1.5:1 plot of 320 x 213.3, centred vertically; the frame is
    // drawn from the top-left corner after the clip is removed.
    std::vector<TRealPoint> frames;
    for (size_t i = 0; i + 2 < drawer.Calls.size(); ++i) {
        if (drawer.Calls[i].Op == "ResetClip" && drawer.Calls[i + 2].Op == "MoveTo") {
            frames.push_back({drawer.Calls[i + 2].Args[0], drawer.Calls[i + 2].Args[1]});
        }
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(frames[0].X, 40, 1e-6);
    EXPECT_NEAR(frames[0].Y, 200 - 320 / 1.5 / 2, 1e-6);
    EXPECT_NEAR(frames[1].X, 441, 1e-6);

    // Horizontal cuts (one point each) on the left, vertical cuts (two points) on the right.
    const auto curves = drawer.CallsOf("Polyline");
    ASSERT_EQ(curves.size(), 4u);
    EXPECT_EQ(curves[0].Points.size(), 1u);
    EXPECT_EQ(curves[1].Color, 0x0000FFu);
    EXPECT_EQ(curves[2].Points.size(), 2u);
    EXPECT_EQ(curves[3].Color, 0x0000FFu);
    EXPECT_LT(curves[1].Points[0].X, 360);
    EXPECT_GT(curves[2].Points[0].X, 441);
    // The level axis starts at the view's floor.
    EXPECT_EQ(LabelCalls(drawer, "-25 dB").size(), 2u);
}

TEST(SideBySideCartesian, LeftHalfShowsTheCutTheViewsHCutChooses) {
    // The azimuth cut sits at 0 dB, the levelled horizontal cut at -20 dB: the left curve's
    // height tells which one was drawn; the right (vertical) curve does not change.
    TTestPatterns patterns;
    AddPattern(patterns, 1, "/a/one.txt");
    std::vector<double> leftY;
    std::vector<double> rightY;
    for (THCut hCut : {THCut::Azimuth, THCut::Horizontal}) {
        TRecordingDrawer drawer;
        DrawView(drawer, patterns.List, {0, 0, 801, 400}, TGraphType::Cartesian, false,
                 TestViewState(hCut, -25));
        const auto curves = drawer.CallsOf("Polyline");
        ASSERT_EQ(curves.size(), 2u);
        leftY.push_back(curves[0].Points.at(0).Y);
        rightY.push_back(curves[1].Points.at(0).Y);
    }
    // The plot is 213.3 high for 25 dB: -20 dB lies 170.7 below 0 dB.
    EXPECT_NEAR(leftY[1] - leftY[0], 20 / 25.0 * 320 / 1.5, 1.0);
    EXPECT_EQ(rightY[0], rightY[1]);
}

// A text box as the recording drawer wrote it, and which graph wrote it (0 left, 1 right).
struct TTextBox {
    std::string Text;
    TRealRect Box;
    int Graph = 0;
    TColor Color = 0;
};

std::vector<TTextBox> TextBoxes(const TRecordingDrawer& drawer, TGraphType graphType) {
    std::vector<TTextBox> boxes;
    double fontSize = 0;
    int graph = 0;
    int graphStarts = 0;
    for (const TDrawCall& call : drawer.Calls) {
        // Each polar graph starts with its white disc; each Cartesian half ends with its frame
        // after the clip is removed.
        if (graphType == TGraphType::Polar && call.Op == "Ellipse" && call.Color == clWhite) {
            graph = graphStarts++ == 0 ? 0 : 1;
        }
        if (graphType != TGraphType::Polar && call.Op == "ResetClip") graph = 1;
        if (call.Op == "SetFont") fontSize = call.Args[0];
        if (call.Op != "TextOut") continue;
        const double height = RoundToDevice(fontSize);
        const double width = std::lround(0.6 * height * static_cast<double>(call.Text.size()));
        boxes.push_back({call.Text,
                         {call.Args[0], call.Args[1], call.Args[0] + width, call.Args[1] + height},
                         graph,
                         call.Color});
    }
    return boxes;
}

bool Overlap(const TRealRect& a, const TRealRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool Inside(const TRealRect& box, const TRealRect& area) {
    return box.Left >= area.Left && box.Right <= area.Right && box.Top >= area.Top &&
           box.Bottom <= area.Bottom;
}

TEST(SideBySideView, LabelsStayInsideTheirHalfAndApartAtEverySize) {
    TTestPatterns patterns;
    AddPattern(patterns, 1, "/a/one.txt");
    const int widths[] = {200, 320, 480, 667, 801, 1024, 1280, 1600, 1920, 2560, 3840};
    const int heights[] = {120, 200, 300, 400, 541, 600, 768, 900, 1080, 1440, 2160};
    int drawn = 0;
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        for (TScaleMode mode :
             {TScaleMode::Range25Db, TScaleMode::Range40Db, TScaleMode::Logarithmic}) {
            const bool logScale = mode == TScaleMode::Logarithmic;
            for (int w : widths) {
                for (int h : heights) {
                    TRecordingDrawer drawer;
                    TSideBySideDrawer view;
                    view.Drawer = &drawer;
                    view.Bounds = {0, 0, w, h};
                    view.Patterns.CopyFrom(patterns.List);
                    view.GraphType = graphType;
                    view.ShowLegend = false;
                    view.LogScale = logScale;
                    view.View = TestViewState(THCut::Azimuth, ScaleFloor(mode), logScale);
                    view.Draw();
                    const std::vector<TTextBox> boxes = TextBoxes(drawer, graphType);
                    ASSERT_FALSE(boxes.empty()) << w << "x" << h;
                    ++drawn;
                    const double half = graphType == TGraphType::Polar ? w / 2.0 : w / 2;
                    const TRealRect halves[2] = {{0, 0, half, double(h)},
                                                 {w - half, 0, double(w), double(h)}};
                    const std::string where =
                        std::string(graphType == TGraphType::Polar ? "polar " : "cartesian ") +
                        std::to_string(w) + "x" + std::to_string(h) + " mode " +
                        std::to_string(static_cast<int>(mode));
                    for (size_t i = 0; i < boxes.size(); ++i) {
                        const TTextBox& a = boxes[i];
                        EXPECT_TRUE(Inside(a.Box, halves[a.Graph]))
                            << where << ": \"" << a.Text << "\" at " << a.Box.Left << ","
                            << a.Box.Top << " - " << a.Box.Right << "," << a.Box.Bottom;
                        if (a.Text.ends_with(" dB")) continue;
                        for (size_t j = i + 1; j < boxes.size(); ++j) {
                            const TTextBox& b = boxes[j];
                            if (b.Text.ends_with(" dB")) continue;
                            EXPECT_FALSE(Overlap(a.Box, b.Box))
                                << where << ": \"" << a.Text << "\" and \"" << b.Text << "\"";
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(drawn, 2 * 3 * 11 * 11);
}

TEST(SideBySideView, LayoutMovesOnlyWhereLabelsWouldNotFit) {
    TRecordingDrawer drawer;
    struct TCase {
        int Width;
        int Height;
        bool PolarKept;
        bool CartesianKept;
    } const cases[] = {
        {480, 300, true, true},     {667, 300, true, true},     {801, 400, true, true},
        {1024, 768, true, true},    {1280, 541, true, false},   {1600, 900, false, false},
        {1920, 1080, false, false}, {3840, 2160, false, false},
    };
    for (const TCase& c : cases) {
        TSideBySidePatterns layout;
        layout.Drawer = &drawer;
        layout.Bounds = {0, 0, c.Width, c.Height};
        const auto polar = layout.FittedPolarLayout();
        const std::string size = std::to_string(c.Width) + "x" + std::to_string(c.Height);
        if (c.PolarKept) {
            EXPECT_EQ(polar.Radius, layout.PolarRadius()) << size;
            EXPECT_DOUBLE_EQ(polar.LabelRadius, 1.1 * layout.PolarRadius()) << size;
        } else {
            EXPECT_LT(polar.Radius, layout.PolarRadius()) << size;
            EXPECT_GT(polar.Radius, 0.8 * layout.PolarRadius()) << size << ": a small change";
        }
        for (bool left : {true, false}) {
            const TRealRect fitted = layout.FittedCartesianRect(left);
            const TRealRect part = layout.CartesianFitRect(left);
            EXPECT_EQ(fitted == part, c.CartesianKept) << size;
            EXPECT_GT(fitted.Right - fitted.Left, 0.9 * (part.Right - part.Left)) << size;
        }
    }
}

// Whether anything the graphs drew (curves, discs, grey labels) lies under the box.
bool GraphsReachInto(const TRecordingDrawer& drawer, TGraphType graphType, const TRealRect& box) {
    for (const TDrawCall& call : drawer.CallsOf("Polyline")) {
        for (const TRealPoint& p : call.Points) {
            if (p.X > box.Left && p.X < box.Right && p.Y > box.Top && p.Y < box.Bottom) return true;
        }
    }
    for (const TDrawCall& disc : GraphOutlines(drawer)) {
        const double radius = (disc.Args[2] - disc.Args[0]) / 2;
        const double cx = disc.Args[0] + radius;
        const double cy = disc.Args[1] + radius;
        const double dx = cx - std::clamp(cx, box.Left, box.Right);
        const double dy = cy - std::clamp(cy, box.Top, box.Bottom);
        if (std::hypot(dx, dy) < radius) return true;
    }
    for (const TTextBox& label : TextBoxes(drawer, graphType)) {
        // Grey are the graphs' labels (and a legend's "… and N more", not drawn here).
        if (label.Color == clGray && Overlap(label.Box, box)) return true;
    }
    return false;
}

TEST(SideBySideView, GraphsShrinkOutOfTheLegendsWayOnlyWhereItWouldCoverThem) {
    TTestPatterns patterns;
    for (int i = 0; i < 8; ++i) {
        AddPattern(patterns, i, "/lib/sector65_2freq.nsm@" + std::to_string(1850 + 10 * i));
    }
    const TRect sizes[] = {{0, 0, 1600, 500}, {0, 0, 1100, 460}, {0, 0, 760, 520},
                           {0, 0, 560, 560},  {0, 0, 420, 640},  {0, 0, 360, 300}};
    int kept = 0;
    int moved = 0;
    for (TGraphType graphType : {TGraphType::Polar, TGraphType::Cartesian}) {
        for (const TRect& bounds : sizes) {
            const std::string where =
                std::string(graphType == TGraphType::Polar ? "polar " : "cartesian ") +
                std::to_string(bounds.Right) + "x" + std::to_string(bounds.Bottom);
            TRecordingDrawer drawer;
            DrawView(drawer, patterns.List, bounds, graphType, true);
            TSideBySideDrawer view;
            view.Drawer = &drawer;
            view.Bounds = bounds;
            view.Patterns.CopyFrom(patterns.List);
            view.LegendAlign = laCenter;
            const TRealRect legend = view.AutoLegendBox();
            ASSERT_GT(legend.Bottom, legend.Top) << where;
            EXPECT_FALSE(GraphsReachInto(drawer, graphType, legend)) << where;

            // The graphs move only where the legend would cover them: otherwise they are
            // drawn exactly as without a legend.
            TRecordingDrawer plain;
            DrawView(plain, patterns.List, bounds, graphType, false);
            const bool covered = GraphsReachInto(plain, graphType, legend);
            const std::vector<TDrawCall> after = drawer.CallsOf("Polyline");
            const std::vector<TDrawCall> before = plain.CallsOf("Polyline");
            const bool same = std::equal(
                before.begin(), before.end(), after.begin(), after.end(),
                [](const TDrawCall& a, const TDrawCall& b) { return a.Points == b.Points; });
            EXPECT_EQ(same, !covered) << where;
            ++(covered ? moved : kept);
        }
    }
    EXPECT_GE(kept, 2);
    EXPECT_GE(moved, 4);
}

}  // namespace
}  // namespace ostrel
