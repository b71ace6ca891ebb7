#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "support/RecordingDrawer.h"
#include "views/CoverageView.h"

namespace ostrel {
namespace {

// A coverage whose grid levels are a function of the plan point, its profile the same along
// boresight.
TCoverage MadeCoverage(int side, double stepM, const std::function<double(double, double)>& level) {
    TCoverage coverage;
    coverage.GridSide = side;
    coverage.StepM = stepM;
    coverage.FrequencyMhz = 1800;
    coverage.Model = TPathModel::Cost231;
    const double half = (side - 1) / 2.0 * stepM;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            coverage.GridLevelDbm.push_back(
                static_cast<float>(level(-half + column * stepM, half - row * stepM)));
        }
    }
    for (double d = 10; d <= half + 1e-9; d += 10) {
        coverage.ProfileDistanceM.push_back(d);
        coverage.ProfileLevelDbm.push_back(level(0, d));
    }
    return coverage;
}

// A cone: -60 dBm at the mast, 1 dB less every 50 m.
double Cone(double x, double y) {
    return -60 - std::hypot(x, y) / 50;
}

bool HasText(const TRecordingDrawer& drawer, const std::string& text) {
    const auto texts = drawer.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(CoverageView, ContoursFollowTheLevelAndCloseAroundAPeak) {
    const TCoverage cone = MadeCoverage(81, 25, Cone);
    // -70 dBm lies 500 m out all round; the circle of -85 dBm (1250 m) leaves the 1 km
    // square but for its four corners.
    const struct {
        double Level;
        size_t Lines;
        double RadiusM;
        bool Closed;
    } cases[] = {
        {-70, 1, 500, true}, {-75, 1, 750, true}, {-85, 4, 1250, false}, {-50, 0, 0, false}};
    for (const auto& c : cases) {
        const auto lines = ContourLines(cone, c.Level);
        ASSERT_EQ(lines.size(), c.Lines) << c.Level;
        for (const TRealPointArray& line : lines) {
            EXPECT_GT(line.size(), 10u);
            for (const TRealPoint& p : line) EXPECT_NEAR(std::hypot(p.X, p.Y), c.RadiusM, 3);
            EXPECT_EQ(line.front().X == line.back().X && line.front().Y == line.back().Y, c.Closed);
        }
    }
    // A level rising along boresight crosses the grid as one open straight line, in front of
    // the mast (rows run from +y down, which a sign slip would mirror).
    const TCoverage ramp = MadeCoverage(41, 25, [](double, double y) { return -80 + y / 10; });
    const auto lines = ContourLines(ramp, -75.5);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 41u);
    for (const TRealPoint& p : lines[0]) EXPECT_NEAR(p.Y, 45, 1e-6);
    // Points without a level count as below: a hole of them is ringed.
    TCoverage holed = MadeCoverage(21, 25, [](double, double) { return -60.0; });
    holed.GridLevelDbm[10 * 21 + 10] = std::numeric_limits<float>::quiet_NaN();
    const auto ring = ContourLines(holed, -70);
    ASSERT_EQ(ring.size(), 1u);
    for (const TRealPoint& p : ring[0]) EXPECT_LE(std::hypot(p.X, p.Y), 25);
}

TEST(CoverageView, RingStepsAndDistanceTexts) {
    const std::pair<double, double> steps[] = {{5000, 1000},  {10000, 2000}, {1000, 200},
                                               {15000, 5000}, {500, 100},    {2, 1}};
    for (const auto& [radius, step] : steps) EXPECT_DOUBLE_EQ(RingStepM(radius), step) << radius;
    const std::pair<double, const char*> texts[] = {
        {750, "750 m"}, {999.6, "1000 m"}, {1000, "1 km"}, {1500, "1.5 km"}, {816.1, "816 m"}};
    for (const auto& [metres, text] : texts) EXPECT_EQ(CoverageDistanceText(metres), text);
}

TEST(CoverageView, MapIsASquareImageWithRingsContoursAndATurnedArrow) {
    TCoverage cone = MadeCoverage(201, 25, Cone);
    TCoverageView view;
    view.Coverage = &cone;
    const TRealRect bounds{0, 0, 900, 600};
    for (const double bearing : {0.0, 90.0, -30.0}) {
        cone.BoresightBearingDeg = bearing;
        TRecordingDrawer drawer;
        view.DrawMap(drawer, bounds);
        const auto images = drawer.CallsOf("StretchDraw");
        ASSERT_EQ(images.size(), 1u);
        const auto& a = images[0].Args;
        EXPECT_NEAR(a[2] - a[0], a[3] - a[1], 1e-9) << "square";
        EXPECT_EQ(a[4], 201);
        EXPECT_LE(a[3], bounds.Bottom);
        const TRealRect square = view.MapSquare(bounds);
        EXPECT_DOUBLE_EQ(square.Left, a[0]);
        const double cx = (a[0] + a[2]) / 2, cy = (a[1] + a[3]) / 2;
        // The arrow's shaft is the first line drawn from the mast in black.
        const auto lines = drawer.CallsOf("LineTo");
        const auto moves = drawer.CallsOf("MoveTo");
        bool found = false;
        for (size_t i = 0; i < lines.size() && !found; ++i) {
            if (lines[i].Color != clBlack ||
                std::hypot(moves[i].Args[0] - cx, moves[i].Args[1] - cy) > 1e-6)
                continue;
            const double dx = lines[i].Args[0] - cx, dy = cy - lines[i].Args[1];
            EXPECT_NEAR(std::atan2(dx, dy) * 180 / std::numbers::pi, bearing, 1e-6);
            found = true;
        }
        EXPECT_TRUE(found) << bearing;
        // Rings every 500 m out to the 2.5 km of the grid, the bearings, the bar's ends.
        for (const char* ring : {"500 m", "2.5 km", "0\u00B0", "90\u00B0", "dBm", "-60", "-120"})
            EXPECT_TRUE(HasText(drawer, ring)) << ring;
        EXPECT_FALSE(HasText(drawer, "3 km"));
        // The contours in their colours, each over a white halo.
        const auto polylines = drawer.CallsOf("Polyline");
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(std::any_of(polylines.begin(), polylines.end(), [&](const TDrawCall& c) {
                return c.Color == ThresholdColor(i);
            })) << i;
        }
    }
    // Darker is stronger, and the scale reaches the strongest level.
    EXPECT_EQ(view.LevelRange(), std::make_pair(-120.0, -60.0));
    const auto brightness = [](TColor c) { return ColorRed(c) + ColorGreen(c) + ColorBlue(c); };
    EXPECT_LT(brightness(view.LevelColor(-60)), brightness(view.LevelColor(-90)));
    EXPECT_LT(brightness(view.LevelColor(-90)), brightness(view.LevelColor(-119)));
}

TEST(CoverageView, ProfileMarksTheKeyDistancesThatFallInside) {
    TCoverage cone = MadeCoverage(101, 50, Cone);
    const auto metres = [](double m) { return TGroundDistance{TGroundDistance::TKind::Metres, m}; };
    cone.BeamHit = metres(816.1);
    cone.Inner3Db = metres(412);
    cone.Outer3Db = metres(9000);  // past the profile's 2.5 km
    cone.FirstNull = {TGroundDistance::TKind::Horizon, 0};
    TCoverageView view;
    view.Coverage = &cone;
    TRecordingDrawer drawer;
    view.DrawProfile(drawer, {0, 0, 600, 300});
    for (const char* text : {"beam 816 m", "\u22123 dB inner 412 m", "Level along boresight", "-60",
                             "-110", "\u22123 dB outer 9 km (off the graph)", "null: horizon"})
        EXPECT_TRUE(HasText(drawer, text)) << text;
    // The curve falls from left to right, as the cone's level with distance.
    const auto curves = drawer.CallsOf("Polyline");
    ASSERT_EQ(curves.size(), 1u);
    const TRealPointArray& curve = curves[0].Points;
    ASSERT_EQ(curve.size(), cone.ProfileDistanceM.size());
    EXPECT_LT(curve.front().X, curve.back().X);
    EXPECT_LT(curve.front().Y, curve.back().Y);
    // The beam's line stands where 816.1 m falls between the ends of the curve.
    const double x = curve.front().X + (816.1 - 10) / (cone.ProfileDistanceM.back() - 10) *
                                           (curve.back().X - curve.front().X);
    const auto lines = drawer.CallsOf("LineTo");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const TDrawCall& c) {
        return c.Color == clBlack && std::fabs(c.Args[0] - x) < 1e-6;
    }));
}

TEST(CoverageView, ProfileTextsNeverOverlapEachOtherOrThePlot) {
    TCoverage cone = MadeCoverage(101, 50, Cone);
    const auto metres = [](double m) { return TGroundDistance{TGroundDistance::TKind::Metres, m}; };
    // Key distances a few pixels apart, as a tilted beam from a high mast gives them.
    cone.BeamHit = metres(271);
    cone.Inner3Db = metres(166);
    cone.Outer3Db = metres(720);
    cone.FirstNull = metres(106);
    const TRealRect boundsCases[] = {{0, 0, 600, 300}, {0, 0, 260, 260}, {40, 30, 190, 400}};
    for (const TRealRect& bounds : boundsCases) {
        TCoverageView view;
        view.Coverage = &cone;
        TRecordingDrawer drawer;
        view.DrawProfile(drawer, bounds);
        const auto frames = drawer.CallsOf("Rectangle");
        ASSERT_EQ(frames.size(), 1u);
        const TRealRect plot{frames[0].Args[0], frames[0].Args[1], frames[0].Args[2],
                             frames[0].Args[3]};
        std::vector<TRealRect> boxes;
        std::vector<std::string> texts;
        for (const TDrawCall& call : drawer.CallsOf("TextOut")) {
            if (call.Text == "dBm") continue;  // the only vertical text, left of the scale
            const double x = call.Args[0];
            const double y = call.Args[1];
            texts.push_back(call.Text);
            boxes.push_back(
                {x, y, x + drawer.DeviceTextWidth(call.Text), y + drawer.DeviceTextHeight()});
        }
        const auto overlap = [](const TRealRect& a, const TRealRect& b) {
            return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
        };
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_FALSE(overlap(boxes[i], plot)) << i << " in " << bounds.Right;
            EXPECT_LE(boxes[i].Bottom, bounds.Bottom + 1e-9) << i << " in " << bounds.Right;
            EXPECT_LE(boxes[i].Right, bounds.Right + 1e-9) << texts[i] << " in " << bounds.Right;
            for (size_t k = 0; k < i; ++k)
                EXPECT_FALSE(overlap(boxes[i], boxes[k]))
                    << texts[i] << " | " << texts[k] << " in " << bounds.Right;
        }
    }
}

TEST(CoverageView, PageListsTheSiteAndDrawsBothPictures) {
    TCoverage cone = MadeCoverage(101, 50, Cone);
    cone.RangeNote = "outside the model's range: hb 12 m";
    cone.DownTiltDeg = 4;
    TCoveragePage page;
    TRecordingDrawer drawer;
    page.Drawer = &drawer;
    page.Coverage = &cone;
    page.PatternName = "panel.msi";
    page.Site.HeightM = 12;
    page.Site.MechTiltDeg = 4;
    page.Draw();
    for (const char* text :
         {"panel.msi", "12 m", "4\u00B0 down", "cost231", "1800 MHz", "-70, -85, -100 dBm",
          "outside the model's range: hb 12 m", "none", "Level along boresight", "dBm"}) {
        EXPECT_TRUE(HasText(drawer, text)) << text;
    }
    EXPECT_EQ(drawer.CallsOf("StretchDraw").size(), 1u);
    // All inside the sheet, above its footer.
    for (const TDrawCall& call : drawer.CallsOf("TextOut")) {
        EXPECT_LT(call.Args[1], 1000) << call.Text;
        EXPECT_LT(call.Args[0], 850) << call.Text;
    }
}

}  // namespace
}  // namespace ostrel
