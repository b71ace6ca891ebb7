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
    // V peaking straight behind (H levelled to V(0) = -9); a beam squinted to 20 degrees and
    // tilted to 10 (H levelled to V(0) = -0.5: its peak is +1.5).
    const auto backPeak = MadePattern([](int a) { return -std::abs(a) / 10.0; },
                                      [](int a) { return -(180 - std::abs(a)) / 20.0; });
    const auto squinted = MadePattern([](int a) { return -std::abs(a - 20) / 10.0; },
                                      [](int a) { return -std::abs(a - 10) / 20.0; });
    constexpr auto cutSum = TSurfaceMethod::CutSum;
    // In front, H + V(psi) - V(0), between whole degrees too; behind, V(159.75) - V(180) =
    // +1.0125 would lift the horizontal cut and is dropped, V(160) - V(180) = -1 counts.
    EXPECT_NEAR(SurfaceLevel(*pattern, 10.5, 20.25, cutSum), -1.05 - 1.0125, 1e-12);
    EXPECT_NEAR(SurfaceLevel(*pattern, -100.5, -20.25, cutSum), -10.05, 1e-12);
    EXPECT_NEAR(SurfaceLevel(*backPeak, 120, 20, cutSum), -12 - 9 - 1, 1e-12);
    // H(20) + V(10) - V(0) = 1.5 + 0 + 0.5 is above both cuts' maxima: held at 1.5.
    EXPECT_NEAR(SurfaceLevel(*squinted, 20, 10, cutSum), 1.5, 1e-12);
    // Inside a quadrant the weighted estimate, worked by hand: at azimuth 60, vertical 30,
    // phi1 = 60, phi2 = 120, theta1 = 30, theta2 = 60, so w_theta = w_phi = 2/9; with
    // V(30) = -1.5, V(150) = -7.5, H(60) = -6, V(90) = -4.5 the level is
    // [(60 (-7.5) + 120 (-1.5)) + (30 (-4.5) + 60 (-6))] (2/9) / [(180 + 90) (2/9)] = -25/6.
    EXPECT_NEAR(SurfaceLevel(*pattern, 60, 30, TSurfaceMethod::WeightedBilinear), -25.0 / 6, 1e-12);
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
// back halves of the vertical cut; no level exceeds the cuts' peak, and behind the antenna
// no cut sum exceeds the horizontal cut.
TEST(PatternSurface, RealFilesMeetTheirCuts) {
    int checked = 0;
    for (const char* folder : {OSTREL_SAMPLES_DIR, OSTREL_REALDATA_DIR}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const auto pattern = LoadPatternFile(entry.path().string()).TakeFirst();
            if (!pattern) continue;
            SCOPED_TRACE(entry.path().string());
            const TRealPointList& h = pattern->HorizontalCut;
            const TRealPointList& v = pattern->VerticalCut;
            const double ceiling = std::max(std::ranges::max(h.Points(), {}, &TRealPoint::Y).Y,
                                            std::ranges::max(v.Points(), {}, &TRealPoint::Y).Y);
            for (TSurfaceMethod method : kMethods) {
                SCOPED_TRACE(SurfaceMethodName(method));
                const bool cutSum = method == TSurfaceMethod::CutSum;
                TPatternSurface grid;
                grid.Build(*pattern, 2, method);
                for (int row = 0; row < grid.Rows(); ++row) {
                    const int psi = -90 + 2 * row;
                    ASSERT_NEAR(grid.Level(row, 90), PointY(v, psi), 1e-9);
                    const int theta = psi > 0 ? 180 - psi : -180 - psi;
                    const double fall = std::min(0.0, PointY(v, theta) - PointY(v, 180));
                    if (cutSum) {
                        ASSERT_NEAR(grid.Level(row, 180), PointY(h, 180) + fall, 1e-9);
                    }
                    for (int column = 0; column < grid.Columns(); ++column) {
                        const int azimuth = -180 + 2 * column;
                        const double level = grid.Level(row, column);
                        if (psi == 0) {
                            ASSERT_NEAR(level, PointY(h, azimuth), 1e-9);
                        }
                        const bool behind = cutSum && std::abs(azimuth) > 90;
                        ASSERT_LE(level, (behind ? PointY(h, azimuth) : ceiling) + 1e-9)
                            << azimuth << ", " << psi;
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
