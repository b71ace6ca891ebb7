#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "formats/PatternLoaders.h"
#include "model/Errors.h"
#include "views/Coverage.h"

#include "support/MadePatterns.h"

namespace ostrel {
namespace {

// A main lobe at `peak` degrees, -3 dB 3.43 degrees from it (between the 1 degree points),
// a first null 8 degrees below it and a cut that rises again beyond; flat far above.
double Lobe(int angle, int peak) {
    const int d = angle - peak;
    if (d < -8) return -16;
    if (d <= 8) return -0.25 * d * d;
    return std::min(-5.0, -16.0 + (d - 8));
}

// The horizontal cut of a sector antenna squinted 30 degrees to the right.
double SquintedRight(int angle) {
    return -std::abs(angle - 30) / 6.0;
}

std::unique_ptr<TPatternData> LobeAt(int peak) {
    return MadePattern([](int a) { return -std::abs(a) / 6.0; },
                       [peak](int a) { return Lobe(a, peak); });
}

TCoverageSite SmallSite() {
    TCoverageSite site;
    site.RadiusKm = 1;
    site.StepM = 10;
    return site;
}

TEST(Coverage, PathLossOfEachModelFollowsItsPublishedFormula) {
    struct TCase {
        TPathModel Model;
        double FrequencyMhz;
        double DistanceKm;
        double ExpectedDb;
    };
    // Worked by hand from the formulas, hb 30 m, hm 1.5 m.
    const TCase cases[] = {
        {TPathModel::Free, 900, 5, 105.504},
        {TPathModel::HataUrban, 900, 5, 151.024},
        {TPathModel::HataSuburban, 900, 5, 141.082},
        {TPathModel::HataOpen, 900, 5, 122.518},
        {TPathModel::Cost231, 1800, 5, 160.818},
        {TPathModel::Cost231Metro, 1800, 5, 163.818},
        // Close in, free space is the floor: Hata open alone would give 38.05 dB at 20 m,
        // urban 20.73 dB at the mast (1 m).
        {TPathModel::HataOpen, 900, 0.02, 62.361},
        {TPathModel::HataUrban, 900, 0, 60.622},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(PathModelName(c.Model));
        EXPECT_NEAR(PathLossDb(c.Model, c.FrequencyMhz, c.DistanceKm, 30, 1.5), c.ExpectedDb,
                    0.001);
        EXPECT_EQ(PathModelFromName(PathModelName(c.Model)), c.Model);
    }
    EXPECT_EQ(PathModelFromName("hata"), std::nullopt);
    EXPECT_EQ(DefaultPathModel(149.9), TPathModel::Free);
    EXPECT_EQ(DefaultPathModel(150), TPathModel::HataUrban);
    EXPECT_EQ(DefaultPathModel(1500), TPathModel::HataUrban);
    EXPECT_EQ(DefaultPathModel(1500.5), TPathModel::Cost231);

    EXPECT_EQ(PathModelRangeNote(TPathModel::HataUrban, 900, 30, 1.5), "");
    EXPECT_EQ(PathModelRangeNote(TPathModel::Free, 9000, 3, 0.5), "");
    EXPECT_EQ(PathModelRangeNote(TPathModel::Cost231, 2600, 20, 1.5),
              "outside the model's range: frequency 2600 MHz (1500-2000 MHz), antenna height "
              "20 m (30-200 m)");
    EXPECT_EQ(PathModelRangeNote(TPathModel::HataOpen, 900, 30, 12),
              "outside the model's range: receiver height 12 m (1-10 m)");
}

TEST(Coverage, KeyDistancesFollowTheTiltAndItsSign) {
    struct TCase {
        int PeakDeg;
        double MechTiltDeg;
        double VOffsetDeg;
        const char* BeamHit;
        const char* Inner;
        const char* Outer;
        const char* FirstNull;
    };
    const TCase cases[] = {
        {0, 0, 0, "horizon", "475.7", "horizon", "202.8"},
        {0, 6, 0, "271.2", "171.6", "634.6", "114.3"},
        // The pattern's vertical offset tilts the antenna as the mast does.
        {0, 2, 4, "271.2", "171.6", "634.6", "114.3"},
        // Aimed above the horizon: only the null reaches the ground.
        {0, -6, 0, "horizon", "horizon", "horizon", "816.1"},
        {-6, 0, 0, "horizon", "horizon", "horizon", "816.1"},
        // Aimed more than 90 degrees down, the beam lands behind the mast.
        {80, 15, 0, "-2.5", "-4.2", "-0.8", "-6.6"},
        // Turned over: 180 degrees down is the horizon behind, 186 points above it, and a
        // whole turn more changes nothing.
        {0, 180, 0, "horizon", "horizon", "-475.7", "horizon"},
        {0, 186, 0, "horizon", "horizon", "horizon", "horizon"},
        {0, 366, 0, "271.2", "171.6", "634.6", "114.3"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.PeakDeg << " " << c.MechTiltDeg);
        auto pattern = LobeAt(c.PeakDeg);
        pattern->VRotationOffset = c.VOffsetDeg;
        TCoverageSite site = SmallSite();
        site.MechTiltDeg = c.MechTiltDeg;
        const TCoverage coverage = ComputeCoverage(*pattern, site);
        EXPECT_EQ(GroundDistanceText(coverage.BeamHit), c.BeamHit);
        EXPECT_EQ(GroundDistanceText(coverage.Inner3Db), c.Inner);
        EXPECT_EQ(GroundDistanceText(coverage.Outer3Db), c.Outer);
        EXPECT_EQ(GroundDistanceText(coverage.FirstNull), c.FirstNull);
    }
    // A cut that only falls below its main lobe has no null.
    const auto falling =
        MadePattern([](int) { return 0.0; }, [](int a) { return -std::min(40.0, 0.25 * a * a); });
    EXPECT_EQ(ComputeCoverage(*falling, SmallSite()).FirstNull.Kind, TGroundDistance::TKind::None);
}

TEST(Coverage, TheBeamLandsWhereTheAntennaPoints) {
    // Weak behind.
    auto pattern =
        MadePattern(SquintedRight, [](int a) { return std::abs(a) > 90 ? -25 : Lobe(a, 0); });
    TCoverageSite site = SmallSite();
    site.MechTiltDeg = 6;
    site.Model = TPathModel::Free;
    const TCoverage ahead = ComputeCoverage(*pattern, site);
    const int centre = ahead.GridSide / 2;
    ASSERT_EQ(ahead.GridSide, 201);
    EXPECT_EQ(ahead.GridX(0), -1000);
    EXPECT_EQ(ahead.GridY(0), 1000);
    // 280 m: near the beam's hit. The squint points right of boresight, and the profile and
    // the grid agree along boresight.
    const int hit = centre - 28;
    EXPECT_GT(ahead.GridLevel(hit, centre + 16), ahead.GridLevel(hit, centre - 16) + 5);
    EXPECT_GT(ahead.GridLevel(hit, centre), ahead.GridLevel(centre + 28, centre) + 10);
    EXPECT_NEAR(ahead.GridLevel(hit, centre), ahead.ProfileLevelDbm.at(27), 1e-4);
    EXPECT_NEAR(ahead.GridLevel(0, centre), ahead.ProfileLevelDbm.back(), 1e-4);
    EXPECT_EQ(ahead.ProfileDistanceM.size(), 100u);
    EXPECT_EQ(ahead.ProfileDistanceM.back(), 1000);

    // Turned 90 degrees clockwise, the footprint lies along +x, the profile turning with it.
    pattern->HRotationOffset = 90;
    const TCoverage turned = ComputeCoverage(*pattern, site);
    EXPECT_EQ(turned.ProfileLevelDbm, ahead.ProfileLevelDbm);
    for (int k = 1; k <= 100; k += 11) {
        EXPECT_NEAR(turned.GridLevel(centre, centre + k), ahead.GridLevel(centre - k, centre), 1e-4)
            << k;
    }
    EXPECT_NEAR(turned.GridLevel(centre + 16, centre + 28), ahead.GridLevel(hit, centre + 16),
                1e-4);
}

TEST(Coverage, BoresightPlaneReadsTheVerticalCutAndTheMastIsStraightDown) {
    // A back half unlike the horizontal cut's back, and a level straight down of its own.
    auto pattern = MadePattern([](int a) { return -std::abs(a) / 6.0; },
                               [](int a) {
                                   return a == 96 ? -27.0 : a == 90 ? -21.0 : Lobe(a, 0);
                               });
    pattern->Gain.SetValue(17);
    TCoverageSite site = SmallSite();
    site.Model = TPathModel::Free;
    site.FrequencyMhz = 900;
    const double mastLoss = PathLossDb(TPathModel::Free, 900, 0, 30, 1.5);
    for (const TCoverageLevels levels :
         {TCoverageLevels::CutSum, TCoverageLevels::WeightedBilinear}) {
        SCOPED_TRACE(CoverageLevelsName(levels));
        site.Levels = levels;
        site.MechTiltDeg = 0;
        TCoverage coverage = ComputeCoverage(*pattern, site);
        const int centre = coverage.GridSide / 2;
        EXPECT_NEAR(coverage.GridLevel(centre, centre), 43 + 17 - 21 - mastLoss, 1e-4);
        // Tilted up, straight down lies 96 degrees below the antenna's horizon: the back half.
        site.MechTiltDeg = -6;
        coverage = ComputeCoverage(*pattern, site);
        EXPECT_NEAR(coverage.GridLevel(centre, centre), 43 + 17 - 27 - mastLoss, 1e-4);
        // 10 m out: 70.67 + 6 degrees down, between the cut's -5 dB points.
        EXPECT_NEAR(coverage.ProfileLevelDbm.front(),
                    43 + 17 - 5 - PathLossDb(TPathModel::Free, 900, 0.01, 30, 1.5), 1e-9);
    }
    const auto sphereFile = LoadPatternFile(OSTREL_SAMPLES_DIR "/panel65_cw_5deg.json");
    ASSERT_EQ(sphereFile.Patterns.size(), 1u);
    const TCoverage measured = ComputeCoverage(*sphereFile.Patterns[0], SmallSite());
    EXPECT_EQ(measured.Levels, TCoverageLevels::Measured);
    for (const float level : measured.GridLevelDbm) ASSERT_TRUE(std::isfinite(level));
}

TEST(Coverage, SitesThatCannotBeComputedNameTheirOption) {
    const auto pattern = LobeAt(0);
    struct TCase {
        void (*Change)(TCoverageSite&);
        const char* Option;
    };
    const TCase cases[] = {
        {[](TCoverageSite& s) { s.HeightM = 1.5; }, "--height"},
        {[](TCoverageSite& s) { s.HeightM = NAN; }, "--height"},
        // Lengths whose squares overflow or vanish, levels beyond a float.
        {[](TCoverageSite& s) { s.HeightM = 1e160; }, "--height"},
        {[](TCoverageSite& s) { s.RxHeightM = 1e-300, s.HeightM = 2e-300; }, "--height"},
        {[](TCoverageSite& s) { s.PowerDbm = -1e39; }, "--power"},
        {[](TCoverageSite& s) { s.RxHeightM = -1; }, "--rx-height"},
        {[](TCoverageSite& s) { s.MechTiltDeg = INFINITY; }, "--mech-tilt"},
        {[](TCoverageSite& s) { s.RadiusKm = 0; }, "--radius"},
        {[](TCoverageSite& s) { s.StepM = -25; }, "--step"},
        {[](TCoverageSite& s) { s.StepM = 0.5; }, "--step"},
        // Steps beyond what an int counts.
        {[](TCoverageSite& s) { s.StepM = 1e-9; }, "--step"},
        {[](TCoverageSite& s) { s.StepM = 1e-300; }, "--step"},
        {[](TCoverageSite& s) { s.FrequencyMhz = 0; }, "--frequency"},
        {[](TCoverageSite& s) { s.Levels = TCoverageLevels::Measured; }, "--method"},
    };
    for (const TCase& c : cases) {
        TCoverageSite site;
        c.Change(site);
        const std::string problem = CoverageSiteProblem(*pattern, site);
        EXPECT_EQ(problem.rfind(std::string(c.Option) + ": ", 0), 0u) << problem;
        EXPECT_THROW(ComputeCoverage(*pattern, site), EInvalidOp) << c.Option;
    }
    EXPECT_EQ(CoverageSiteProblem(*pattern, TCoverageSite()), "");
}

}  // namespace
}  // namespace ostrel
