#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/MadePatterns.h"
#include "support/RecordingDrawer.h"
#include "views/SurfaceView.h"

namespace ostrel {
namespace {

struct TExtent {
    double Left = 1e9, Top = 1e9, Right = -1e9, Bottom = -1e9;
    int Polygons = 0;
};

TExtent SurfaceExtent(TSurfaceView& view) {
    TRecordingDrawer drawer;
    view.Draw(drawer, TRect{0, 0, 800, 600});
    TExtent extent;
    for (const TDrawCall& call : drawer.CallsOf("Polygon")) {
        ++extent.Polygons;
        for (const TRealPoint& p : call.Points) {
            extent.Left = std::min(extent.Left, p.X);
            extent.Right = std::max(extent.Right, p.X);
            extent.Top = std::min(extent.Top, p.Y);
            extent.Bottom = std::max(extent.Bottom, p.Y);
        }
    }
    return extent;
}

TEST(SurfaceView, AnIsotropicPatternIsADiscOfItsFrontHalf) {
    const auto sphere = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    TSurfaceView view;
    view.SetStepDeg(10);
    view.SetPattern(sphere.get());
    const TExtent extent = SurfaceExtent(view);
    // 18 x 36 faces, of which the half that faces the viewer is painted.
    EXPECT_NEAR(view.DrawnFaces(), 18 * 36 / 2, 18);
    EXPECT_EQ(extent.Polygons, view.DrawnFaces());
    EXPECT_NEAR(extent.Right - extent.Left, extent.Bottom - extent.Top, 2) << "round";
    // All the same level: one colour, the 0 dB band.
    TRecordingDrawer drawer;
    view.Draw(drawer, TRect{0, 0, 800, 600});
    const auto polygons = drawer.CallsOf("Polygon");
    ASSERT_FALSE(polygons.empty());
    EXPECT_EQ(view.LevelColor(0), view.LevelColor(-0.1));
    EXPECT_NE(view.LevelColor(0), view.LevelColor(-39));
    const std::vector<std::string> texts = drawer.Texts();
    for (const char* label : {"0", "-40", "Up", "made.msi - Weighted bilinear (Gil et al. 2001)"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
    }
}

TEST(SurfaceView, TurningZoomingScaleAndOffsetsMoveTheSurface) {
    // A beam along the boresight: the horizontal cut falls 1 dB per 3 degrees, the vertical
    // cut as much away from the horizon, in front and behind.
    const auto beam =
        MadePattern([](int a) { return -std::abs(a) / 3.0; },
                    [](int a) { return -std::min(std::abs(a), 180 - std::abs(a)) / 3.0; });
    TSurfaceView view;
    view.SetStepDeg(5);
    view.SetMethod(TSurfaceMethod::CutSum);
    view.SetPattern(beam.get());
    // Seen from the side, from the antenna's left, the beam points to the left of the screen.
    view.Turn(90 - TSurfaceView::kDefaultYawDeg, -TSurfaceView::kDefaultPitchDeg);
    // The plot's centre: the colour bar takes the right of the bounds.
    const double cx = 358;
    const TExtent side = SurfaceExtent(view);
    EXPECT_LT(side.Left, cx - 150);
    EXPECT_GT(side.Right, cx - 40) << "only the back lobe's floor reaches right of the centre";
    EXPECT_LT(side.Right, cx + 20);

    view.ZoomBy(2);
    const TExtent zoomed = SurfaceExtent(view);
    EXPECT_GT(cx - zoomed.Left, 1.5 * (cx - side.Left));
    view.ZoomBy(1e6);
    EXPECT_DOUBLE_EQ(view.Zoom(), 20);
    view.Turn(0, 500);
    EXPECT_DOUBLE_EQ(view.PitchDeg(), 90);
    view.Reset();
    EXPECT_DOUBLE_EQ(view.YawDeg(), TSurfaceView::kDefaultYawDeg);
    EXPECT_DOUBLE_EQ(view.Zoom(), 1);

    // A shallower scale shrinks the beam; the logarithmic one too.
    view.SetScaleMode(TScaleMode::Range40Db);
    const TExtent deep = SurfaceExtent(view);
    view.SetScaleMode(TScaleMode::Range25Db);
    const TExtent shallow = SurfaceExtent(view);
    view.SetScaleMode(TScaleMode::Logarithmic);
    const TExtent logarithmic = SurfaceExtent(view);
    EXPECT_LT(shallow.Bottom - shallow.Top, deep.Bottom - deep.Top - 20);
    EXPECT_LT(logarithmic.Bottom - logarithmic.Top, shallow.Bottom - shallow.Top - 20);

    // From straight above, boresight up the screen, a horizontal offset of 90 turns the beam
    // clockwise to the right, as it turns the polar curve.
    view.SetScaleMode(TScaleMode::Range40Db);
    view.Turn(180 - TSurfaceView::kDefaultYawDeg, 90);
    const TExtent above = SurfaceExtent(view);
    beam->HRotationOffset = 90;
    view.Refresh();
    const TExtent turned = SurfaceExtent(view);
    EXPECT_LT(above.Top, turned.Top - 100) << "the beam pointed up the screen before";
    EXPECT_GT(turned.Right, above.Right + 100) << "and to the right after";
}

}  // namespace
}  // namespace ostrel
