#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "formats/PatternLoaders.h"
#include "model/Errors.h"
#include "model/PatternSurface.h"

#include "support/MadePatterns.h"

namespace ostrel {
namespace {

constexpr TSurfaceMethod kMethods[] = {TSurfaceMethod::CutSum, TSurfaceMethod::WeightedBilinear};

double PointY(const TRealPointList& cut, int angle) {
    return cut.GetPoint(angle + 180).Y;
}

double HighestY(const TRealPointList& cut) {
    double highest = -HUGE_VAL;
    for (const TRealPoint& point : cut.Points()) highest = std::max(highest, point.Y);
    return highest;
}

TEST(PatternSurface, HandMadeCutsGiveTheShapesTheyMust) {
    const auto isotropic = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    // A vertical cut with a deep null straight down and a sector-like horizontal cut.
    const auto nulled = MadePattern([](int a) { return -std::abs(a) / 9.0; },
                                    [](int a) { return a == 90 ? -60.0 : -std::abs(a) / 30.0; });
    for (TSurfaceMethod method : kMethods) {
        SCOPED_TRACE(SurfaceMethodName(method));
        TPatternSurface sphere;
        sphere.Build(*isotropic, 10, method);
        EXPECT_EQ(sphere.Rows(), 19);
        EXPECT_EQ(sphere.Columns(), 37);
        for (double level : sphere.Levels()) EXPECT_NEAR(level, 0, 1e-12);

        TPatternSurface grid;
        grid.Build(*nulled, 5, method);
        const int horizon = 18;
        EXPECT_DOUBLE_EQ(grid.VerticalDeg(horizon), 0);
        EXPECT_LE(grid.Level(grid.Rows() - 1, grid.Columns() / 2), -40) << "null straight down";
        for (int column = 0; column < grid.Columns(); ++column) {
            EXPECT_NEAR(grid.Level(horizon, column),
                        PointY(nulled->HorizontalCut, -180 + 5 * column), 1e-9);
        }
        for (int row = 0; row < grid.Rows(); ++row) {
            EXPECT_NEAR(grid.Level(row, 36), PointY(nulled->VerticalCut, -90 + 5 * row), 1e-9);
        }
    }
    // Off the principal planes the two estimates differ.
    EXPECT_NE(SurfaceLevel(*nulled, 40, 30, TSurfaceMethod::CutSum),
              SurfaceLevel(*nulled, 40, 30, TSurfaceMethod::WeightedBilinear));
}

TEST(PatternSurface, CutLevelsInterpolateAndStepsMustDivideNinety) {
    const auto pattern = MadePattern([](int a) { return -std::abs(a) / 10.0; },
                                     [](int a) { return -std::abs(a) / 20.0; });
    EXPECT_NEAR(CutLevelAt(pattern->HorizontalCut, 10.5), -1.05, 1e-12);
    EXPECT_NEAR(CutLevelAt(pattern->HorizontalCut, 190), -17.0, 1e-12) << "wraps to -170";
    EXPECT_NEAR(CutLevelAt(pattern->VerticalCut, 180), -9.0, 1e-12);
    // A vertical cut that peaks straight behind, so that its back half lowers the estimate
    // there (the horizontal cut is levelled to V(0) = -9); and a beam squinted to 20 degrees
    // and tilted to 10 (H levelled to V(0) = -0.5, so its peak is +1.5).
    const auto backPeak = MadePattern([](int a) { return -std::abs(a) / 10.0; },
                                      [](int a) { return -(180 - std::abs(a)) / 20.0; });
    const auto squinted = MadePattern([](int a) { return -std::abs(a - 20) / 10.0; },
                                      [](int a) { return -std::abs(a - 10) / 20.0; });
    struct TCase {
        const TPatternData* Pattern;
        double AzimuthDeg, VerticalDeg;
        TSurfaceMethod Method;
        double Level;
    } const cases[] = {
        // In front: H(30) + V(20) - V(0), between whole degrees too.
        {pattern.get(), 30, 20, TSurfaceMethod::CutSum, -3 - 1},
        {pattern.get(), 10.5, 20.25, TSurfaceMethod::CutSum, -1.05 - 1.0125},
        // Behind, V(159.75) - V(180) = +1.0125 would lift the horizontal cut: it is dropped.
        {pattern.get(), 100.5, 20.25, TSurfaceMethod::CutSum, -10.05},
        {pattern.get(), -100.5, -20.25, TSurfaceMethod::CutSum, -10.05},
        // Behind, V(160) - V(180) = -1 lowers it.
        {backPeak.get(), 120, 20, TSurfaceMethod::CutSum, -12 - 9 - 1},
        // H(20) + V(10) - V(0) = 1.5 + 0 + 0.5 is above both cuts' maxima: held at 1.5.
        {squinted.get(), 20, 10, TSurfaceMethod::CutSum, 1.5},
        {squinted.get(), 30, 10, TSurfaceMethod::CutSum, 0.5 + 0.5},
        // Inside a quadrant the weighted estimate, worked by hand from
        //   G = [(phi1 G_phi2 + phi2 G_phi1) w_theta + (theta1 G_theta2 + theta2 G_theta1) w_phi]
        //       / [(phi1 + phi2) w_theta + (theta1 + theta2) w_phi],
        //   w_theta = theta1 theta2 / (theta1 + theta2)^2, w_phi = phi1 phi2 / (phi1 + phi2)^2.
        // At azimuth 60, vertical 30: phi1 = 60, phi2 = 120, theta1 = 30, theta2 = 60, so
        // w_theta = w_phi = 2/9; with V(30) = -1.5, V(150) = -7.5, H(60) = -6, V(90) = -4.5 the
        // level is [(60 (-7.5) + 120 (-1.5)) + (30 (-4.5) + 60 (-6))] (2/9) / [(270) (2/9)].
        {pattern.get(), 60, 30, TSurfaceMethod::WeightedBilinear, -25.0 / 6},
        // Behind and above, azimuth -120, vertical -45: phi1 = 120, phi2 = 60, theta1 = theta2
        // = 45, w_theta = 1/4, w_phi = 2/9; G_phi1 = V(-45) = -2.25, G_phi2 = V(225 = -135) =
        // -6.75, G_theta1 = H(-120) = -12, G_theta2 = V(-90) = -4.5:
        // [(120 (-6.75) + 60 (-2.25)) / 4 + (45 (-4.5) + 45 (-12)) (2/9)] / [45 + 20]
        // = (-236.25 - 165) / 65.
        {pattern.get(), -120, -45, TSurfaceMethod::WeightedBilinear, -401.25 / 65},
    };
    for (const TCase& c : cases) {
        EXPECT_NEAR(SurfaceLevel(*c.Pattern, c.AzimuthDeg, c.VerticalDeg, c.Method), c.Level, 1e-12)
            << SurfaceMethodName(c.Method) << " at " << c.AzimuthDeg << ", " << c.VerticalDeg;
    }
    TRealPointList shortCut;
    shortCut.Add(0, 0);
    EXPECT_THROW(CutLevelAt(shortCut, 0), EListError);
    // An angle that is no number gives no level, never an index made from NaN.
    for (double angle : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_THROW(CutLevelAt(pattern->HorizontalCut, angle), EInvalidOp);
        EXPECT_THROW(SurfaceLevel(*pattern, angle, 0, TSurfaceMethod::WeightedBilinear),
                     EInvalidOp);
        EXPECT_THROW(SurfaceLevel(*pattern, 0, angle, TSurfaceMethod::CutSum), EInvalidOp);
    }

    TPatternSurface grid;
    for (int step : {0, -5, 7, 91, 180}) {
        EXPECT_THROW(grid.Build(*pattern, step, TSurfaceMethod::CutSum), EInvalidOp) << step;
    }
    grid.Build(*pattern, 90, TSurfaceMethod::CutSum);
    EXPECT_EQ(grid.Rows() * grid.Columns(), 15);
    EXPECT_THROW(grid.Level(3, 0), EListError);
}

// On every shipped and real file the grid meets the cuts where the definition says it must:
// the horizon row is the horizontal cut and the 0 and 180 degree columns are the front and
// back halves of the vertical cut (lowering the horizontal cut, for the cut sum). No level
// exceeds the higher of the cuts' maxima, and behind the antenna the cut sum never rises
// above the horizontal cut.
TEST(PatternSurface, RealFilesMeetTheirCutsAndStayBelowTheirPeaks) {
    int checked = 0;
    for (const char* folder : {OSTREL_SAMPLES_DIR, OSTREL_REALDATA_DIR}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const auto pattern = LoadPatternData(entry.path().string());
            if (!pattern) continue;
            SCOPED_TRACE(entry.path().string());
            const TRealPointList& h = pattern->HorizontalCut;
            const TRealPointList& v = pattern->VerticalCut;
            const double ceiling = std::max(HighestY(h), HighestY(v));
            for (TSurfaceMethod method : kMethods) {
                SCOPED_TRACE(SurfaceMethodName(method));
                const bool cutSum = method == TSurfaceMethod::CutSum;
                TPatternSurface grid;
                grid.Build(*pattern, 2, method);
                for (int row = 0; row < grid.Rows(); ++row) {
                    const int psi = -90 + 2 * row;
                    ASSERT_NEAR(grid.Level(row, 90), PointY(v, psi), 1e-9);
                    const int theta = psi > 0 ? 180 - psi : -180 - psi;
                    const double back =
                        cutSum ? PointY(h, 180) + std::min(0.0, PointY(v, theta) - PointY(v, 180))
                               : PointY(v, theta);
                    // On the horizon behind, the horizontal cut has the say.
                    if (cutSum || psi != 0) {
                        ASSERT_NEAR(grid.Level(row, 180), back, 1e-9);
                    }
                    for (int column = 0; column < grid.Columns(); ++column) {
                        const int azimuth = -180 + 2 * column;
                        const double level = grid.Level(row, column);
                        if (psi == 0) {
                            ASSERT_NEAR(level, PointY(h, azimuth), 1e-9);
                        }
                        ASSERT_LE(level, ceiling + 1e-9) << azimuth << ", " << psi;
                        if (cutSum && std::abs(azimuth) > 90) {
                            ASSERT_LE(level, PointY(h, azimuth) + 1e-9) << azimuth << ", " << psi;
                        }
                    }
                }
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 5);
}

}  // namespace
}  // namespace ostrel
