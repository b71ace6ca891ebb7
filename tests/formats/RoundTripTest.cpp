#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "formats/PatternLoaders.h"
#include "formats/PlanningFiles.h"
#include "model/NumberText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// Written decimals: levels and widths keep 3 and 2 decimals; half a unit of the last
// written decimal plus the binary noise of the arithmetic on the way.
constexpr double kLevelTolerance = 0.0005 + 1e-9;
constexpr double kHeaderTolerance = 0.005 + 1e-9;

class TRandomPatterns {
public:
    explicit TRandomPatterns(unsigned seed) : FRandom(seed) {}

    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(FRandom);
    }
    int Integer(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(FRandom);
    }

    // A realistic but random Ostrel file: header lines in any letter case, some missing,
    // levels signed either way, blank lines, both line-end styles.
    std::string OstrelFile() {
        const char* end = Integer(0, 1) ? "\r\n" : "\n";
        std::string text;
        auto header = [&](const std::string& keyword, const std::string& value) {
            if (Integer(0, 5) == 0) return;
            text += (Integer(0, 3) == 0 ? LowerCase(keyword) : keyword) +
                    (Integer(0, 1) ? "\t" : " ") + value + end;
        };
        header("NAME", "Panel-" + std::to_string(Integer(1, 999)));
        header("MAKE", "Velmor");
        header("FREQUENCY", FormatGeneral(std::round(Uniform(400, 6000) * 10) / 10));
        header("H_WIDTH", FormatFixed(1, Uniform(5, 360)));
        header("V_WIDTH", FormatFixed(2, Uniform(2, 90)));
        header("FRONT_TO_BACK", FormatFixed(1, Uniform(10, 40)));
        header("GAIN", FormatFixed(2, Uniform(-3, 25)) + (Integer(0, 1) ? " dBd" : " dBi"));
        header("TILT", Integer(0, 1) ? "ELECTRICAL" : "MECHANICAL");
        const double peak = Uniform(0, 359);
        for (const char* section : {"HORIZONTAL 360", "VERTICAL 360"}) {
            text += std::string(section) + end;
            const double width = Uniform(5, 120);
            for (int angle = 0; angle < 360; ++angle) {
                double off = std::fabs(angle - peak);
                off = std::min(off, 360 - off);
                const double level = std::min(12 * std::pow(off / width, 2), Uniform(20, 45));
                const double sign = Integer(0, 9) == 0 ? -1 : 1;
                text += std::to_string(angle) + "\t" + FormatFixed(3, sign * level) + end;
                if (Integer(0, 50) == 0) text += end;
            }
        }
        return text;
    }

private:
    static std::string LowerCase(std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }
    std::mt19937 FRandom;
};

void ExpectSameCut(const TRealPointList& expected, const TRealPointList& actual,
                   const std::string& what) {
    ASSERT_EQ(actual.Count(), expected.Count()) << what;
    for (int k = 0; k < expected.Count(); ++k) {
        ASSERT_EQ(actual.GetPoint(k).X, expected.GetPoint(k).X) << what << " point " << k;
        ASSERT_NEAR(actual.GetPoint(k).Y, expected.GetPoint(k).Y, kLevelTolerance)
            << what << " point " << k;
    }
}

TEST(RoundTrip, OstrelFilesWrittenAndReadAgainKeepTheirFiguresAndPoints) {
    TRandomPatterns random(4711);
    TTempDir folder;
    for (int trial = 0; trial < 150; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const std::string original = folder.Write("original.msi", random.OstrelFile());
        TOstrelFile first;
        first.LoadFromFile(original);
        const std::string copy = folder.File("copy.msi");
        first.SaveToFile(copy);
        TOstrelFile second;
        second.LoadFromFile(copy);

        EXPECT_EQ(second.Frequency, first.Frequency);
        EXPECT_EQ(second.Make, first.Make);
        EXPECT_EQ(second.Tilt, first.Tilt);
        EXPECT_NEAR(second.HWidth, first.HWidth, kHeaderTolerance);
        EXPECT_NEAR(second.VWidth, first.VWidth, kHeaderTolerance);
        EXPECT_NEAR(second.FrontToBack, first.FrontToBack, kHeaderTolerance);
        EXPECT_NEAR(second.Gain, first.Gain, kHeaderTolerance);
        ASSERT_EQ(second.HorizontalPoints.Count(), first.HorizontalPoints.Count());
        ASSERT_EQ(second.VerticalPoints.Count(), first.VerticalPoints.Count());
        for (int k = 0; k < first.HorizontalPoints.Count(); ++k) {
            EXPECT_EQ(second.HorizontalPoints.GetPoint(k).X, first.HorizontalPoints.GetPoint(k).X);
            EXPECT_NEAR(second.HorizontalPoints.GetPoint(k).Y,
                        std::fabs(first.HorizontalPoints.GetPoint(k).Y), kLevelTolerance);
        }

        const auto before = LoadPatternFile(original).TakeFirst();
        const auto after = LoadPatternFile(copy).TakeFirst();
        ASSERT_TRUE(before && after);
        EXPECT_EQ(after->Frequency.DisplayText(), before->Frequency.DisplayText());
        EXPECT_EQ(after->HorzWidth.IsNull, before->HorzWidth.IsNull);
        EXPECT_EQ(after->VertWidth.IsNull, before->VertWidth.IsNull);
        ExpectSameCut(before->AzimuthCut, after->AzimuthCut, "azimuth");
        ExpectSameCut(before->VerticalCut, after->VerticalCut, "vertical");
        ExpectSameCut(before->HorizontalCut, after->HorizontalCut, "horizontal");
    }
}

TEST(RoundTrip, VerizonFilesComeBackWithTheVerticalCutMirrored) {
    TRandomPatterns random(1213);
    TTempDir folder;
    for (int trial = 0; trial < 100; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        // A pattern as the loaders make it, from a random Ostrel file.
        const auto pattern =
            LoadPatternFile(folder.Write("source.txt", random.OstrelFile())).TakeFirst();
        ASSERT_TRUE(pattern);
        // Absolute gains need a peak of 0 dB in each cut to come back unchanged.
        SubtractFromValues(pattern->AzimuthCut, pattern->AzimuthCut.MaxY());
        SubtractFromValues(pattern->VerticalCut, pattern->VerticalCut.MaxY());

        TVerizonFile written;
        written.ModelName = "VLM";
        written.MaxGainDbd = std::round(random.Uniform(0, 20) * 100) / 100;
        written.Frequency = std::round(random.Uniform(400, 6000));
        written.HorzBeamwidth = std::round(random.Uniform(0, 100));
        written.HorizontalPoints.Assign(pattern->AzimuthCut);
        written.VerticalPoints.Assign(pattern->VerticalCut);
        const std::string path = folder.File("copy.vwa");
        written.SaveToFile(path);

        const auto back = LoadPatternFile(path).TakeFirst();
        ASSERT_TRUE(back);
        EXPECT_EQ(back->Frequency.Value, written.Frequency);
        EXPECT_EQ(back->HorzWidth.IsNull, written.HorzBeamwidth == 0);
        EXPECT_NEAR(back->Gain.Value, written.MaxGainDbd > 0 ? written.MaxGainDbd + 2.1 : 0, 1e-9);
        ExpectSameCut(pattern->AzimuthCut, back->AzimuthCut, "azimuth");
        for (int k = 0; k <= 360; ++k) {
            ASSERT_NEAR(back->VerticalCut.GetPoint(k).Y, pattern->VerticalCut.GetPoint(360 - k).Y,
                        kLevelTolerance)
                << "angle " << k - 180;
        }
    }
}

}  // namespace
}  // namespace ostrel
