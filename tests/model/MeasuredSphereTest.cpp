#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/Errors.h"
#include "model/MeasuredSphere.h"

namespace ostrel {
namespace {

// A polar sphere on uneven thetas, its co-polar peak at theta 95, phi 30, and a cross-polar
// part 15 dB and more below it.
const std::vector<double> kThetas = {0, 10, 30, 60, 80, 85, 90, 95, 100, 120, 150, 170, 180};
const std::vector<double> kPhis = {-180, -150, -120, -90, -60, -30, 0, 30, 60, 90, 120, 150};

double Co(double theta, double phi) {
    return -std::min(12 * std::pow((theta - 93) / 12, 2), 30.0) -
           std::min(12 * std::pow((phi - 30) / 70, 2), 25.0);
}

double Cross(double theta, double phi) {
    return Co(theta, phi) - 15 - std::fabs(phi) / 30;
}

double Total(double theta, double phi) {
    return 10 *
           std::log10(std::pow(10, Co(theta, phi) / 10) + std::pow(10, Cross(theta, phi) / 10));
}

TMeasuredSphere MakeSphere() {
    std::vector<double> total, co, cross;
    for (double theta : kThetas) {
        for (double phi : kPhis) {
            total.push_back(Total(theta, phi));
            co.push_back(Co(theta, phi));
            cross.push_back(Cross(theta, phi));
        }
    }
    return TMeasuredSphere(TSphereAxes::Polar, kThetas, kPhis, total, co, cross);
}

// The figures against a computation straight from their definitions.
TEST(MeasuredSphere, FiguresMatchTheirDefinitions) {
    const TMeasuredSphere sphere = MakeSphere();
    const TSphereFigures& figures = sphere.Figures();
    const double radian = std::numbers::pi / 180;
    const size_t n = kThetas.size();

    // Directivity: bands of sin(vertical) between midpoints, 30 degrees of phi each.
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const double low = i == 0 ? kThetas[i] : (kThetas[i - 1] + kThetas[i]) / 2;
        const double high = i + 1 == n ? kThetas[i] : (kThetas[i] + kThetas[i + 1]) / 2;
        const double band = std::sin((high - 90) * radian) - std::sin((low - 90) * radian);
        for (double phi : kPhis)
            sum += std::pow(10, Total(kThetas[i], phi) / 10) * band * 30 * radian;
    }
    EXPECT_NEAR(figures.DirectivityDbi, 10 * std::log10(4 * std::numbers::pi / sum), 0.001);

    // EAS: the polar theta is the file's; polar phi = -azimuth = the file's phi. The top
    // border: the co-polar peak (95, 30); toward the zenith 90 is within 3 dB, 85 is not.
    const double top = 90;
    double all = 0, cell = 0, int1 = 0, int2 = 0, int3 = 0, emf = 0, wasted = 0;
    for (size_t i = 0; i < n; ++i) {
        const double dTheta = i == 0       ? kThetas[1] - kThetas[0]
                              : i + 1 == n ? kThetas[n - 1] - kThetas[n - 2]
                                           : (kThetas[i + 1] - kThetas[i - 1]) / 2;
        for (double phi : kPhis) {
            const double theta = kThetas[i];
            const double w =
                std::pow(10, Total(theta, phi) / 10) * std::sin(theta * radian) * dTheta;
            all += w;
            if (theta >= top && theta <= 165) {
                if (phi >= -60 && phi <= 60) cell += w;
                if (phi < -60) int1 += w;
                if (phi > 60) int2 += w;
            }
            if (theta >= 70 && theta < top) int3 += w;
            if (theta > 165) emf += w;
            if (theta < std::min(70.0, top)) wasted += w;
        }
    }
    EXPECT_NEAR(figures.EasCell, 100 * cell / all, 0.01);
    EXPECT_NEAR(figures.EasInt1, 100 * int1 / all, 0.01);
    EXPECT_NEAR(figures.EasInt2, 100 * int2 / all, 0.01);
    EXPECT_NEAR(figures.EasInt3, 100 * int3 / all, 0.01);
    EXPECT_NEAR(figures.EasEmf, 100 * emf / all, 0.01);
    EXPECT_NEAR(figures.EasWasted, 100 * wasted / all, 0.01);
    EXPECT_GT(figures.EasInt3, 0.1) << "theta 85 and 80 lie in the third interference sector";
    // The peak of the total: polar phi 30 is azimuth -30, theta 95 is 5 below the horizon.
    EXPECT_DOUBLE_EQ(figures.PeakAzimuthDeg, -30);
    EXPECT_DOUBLE_EQ(figures.PeakVerticalDeg, 5);
}

// Bilinear in the file's angles, across the phi seam and over the poles.
TEST(MeasuredSphere, LevelInterpolatesInTheFilesAngles) {
    const TMeasuredSphere sphere = MakeSphere();
    EXPECT_TRUE(sphere.WrapsPhi());
    const struct {
        double Azimuth;
        double Vertical;
        double Expected;
    } cases[] = {
        {-30, 5, Total(95, 30)},
        // Phi 165 lies between 150 and -180 (= 180): azimuth -165.
        {-165, 5, (Total(95, 150) + Total(95, -180)) / 2},
        {195, 5, (Total(95, 150) + Total(95, -180)) / 2},
        // A quarter of the way from theta 90 to 95 and from phi 0 to 30.
        {-7.5, 1.25,
         0.75 * (0.75 * Total(90, 0) + 0.25 * Total(90, 30)) +
             0.25 * (0.75 * Total(95, 0) + 0.25 * Total(95, 30))},
        // Past the nadir: vertical 100 at azimuth 150 is azimuth -30, 80 down (theta 170,
        // phi 30).
        {150, 100, Total(170, 30)},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(sphere.Level(TSphereComponent::Total, c.Azimuth, c.Vertical), c.Expected, 1e-9)
            << c.Azimuth << " " << c.Vertical;
    }
    EXPECT_NEAR(sphere.Level(TSphereComponent::Cross, -30, 5), Cross(95, 30), 1e-9);
    EXPECT_THROW(sphere.Level(TSphereComponent::Total, NAN, 0), EInvalidOp);
    const TMeasuredSphere bare(TSphereAxes::Clockwise, {-90, 90}, {0, 180}, {0, 0, 0, 0}, {}, {});
    EXPECT_THROW(bare.Level(TSphereComponent::Co, 0, 0), EInvalidOp);
    EXPECT_THROW(TMeasuredSphere(TSphereAxes::Clockwise, {-90, 90}, {0, 180}, {0, 0, 0}, {}, {}),
                 EInvalidOp);
}

}  // namespace
}  // namespace ostrel
