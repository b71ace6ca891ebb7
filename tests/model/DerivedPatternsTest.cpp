#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/PatternLoaders.h"
#include "formats/PatternWriters.h"
#include "model/DerivedPatterns.h"
#include "model/Errors.h"
#include "support/MadePatterns.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

using TLevels = std::function<double(int)>;
using TCut = TRealPointList TPatternData::*;
constexpr TCut kAllCuts[] = {&TPatternData::AzimuthCut, &TPatternData::VerticalCut,
                             &TPatternData::HorizontalCut};

std::unique_ptr<TPatternData> Made(const char* name, const TLevels& h, const TLevels& v,
                                   double gain) {
    auto pattern = MadePattern(h, v);
    pattern->FileName = name;
    pattern->Gain.SetValue(gain);
    return pattern;
}

// Every pattern of the samples and the real files that has a gain.
std::vector<std::unique_ptr<TPatternData>> FilePatterns() {
    std::vector<std::unique_ptr<TPatternData>> patterns;
    const char* realData = std::getenv("OSTREL_REALDATA_DIR");
    for (const char* folder : {OSTREL_SAMPLES_DIR, realData ? realData : OSTREL_REALDATA_DIR}) {
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            for (auto& pattern : LoadPatternFile(entry.path().string()).Patterns) {
                if (!pattern->Gain.GetIsNull()) patterns.push_back(std::move(pattern));
            }
        }
    }
    return patterns;
}

TEST(DerivedPatterns, EnvelopeOfFilesIsTheHighestSourceAtEveryAngleAndReadsBackTheSame) {
    const auto sources = FilePatterns();
    ASSERT_GE(sources.size(), 8u);
    std::vector<const TPatternData*> views;
    for (const auto& pattern : sources) views.push_back(pattern.get());
    const auto envelope = EnvelopePattern(views);
    EXPECT_EQ(envelope->FileName, "Envelope of " + std::to_string(sources.size()));
    EXPECT_TRUE(envelope->Derived);
    EXPECT_EQ(envelope->Sphere, nullptr);
    EXPECT_TRUE(envelope->ElectricalTilt.GetIsNull());
    const double gain = envelope->Gain.Value;
    EXPECT_EQ(std::max(envelope->AzimuthCut.MaxY(), envelope->VerticalCut.MaxY()), 0);
    for (TCut cut : {&TPatternData::AzimuthCut, &TPatternData::VerticalCut}) {
        for (int k = 0; k <= 360; ++k) {
            const double e = gain + ((*envelope).*cut).PointAt(k).Y;
            double highest = -HUGE_VAL;
            for (const TPatternData* source : views) {
                const double level = source->Gain.Value + (source->*cut).PointAt(k).Y;
                EXPECT_GE(e, level - 1e-9) << source->FileName << " at " << k - 180;
                highest = std::max(highest, level);
            }
            EXPECT_NEAR(e, highest, 1e-9) << k - 180;
        }
    }

    // Read back from every format that is read as well as written.
    TTempDir folder;
    for (TPatternFormat format :
         {TPatternFormat::Ostrel, TPatternFormat::Verizon, TPatternFormat::Nsma}) {
        const std::string extension(FormatExtension(format));
        const std::string path =
            folder.Write("envelope." + extension, PatternFileText(*envelope, format, "e").Text);
        const auto back = LoadPatternFile(path).TakeFirst();
        ASSERT_NE(back, nullptr) << extension;
        // Verizon keeps each cut relative to its own peak, so its horizontal cut is not kept.
        const bool relative = format == TPatternFormat::Verizon;
        for (TCut cut : kAllCuts) {
            if (relative && cut == &TPatternData::HorizontalCut) continue;
            const double shift = relative ? ((*envelope).*cut).MaxY() : 0;
            for (int k = 0; k <= 360; ++k) {
                // Half a unit of the third written decimal; the horizontal cut is made of three
                // written levels.
                const double tolerance = cut == &TPatternData::HorizontalCut ? 0.0015 : 0.0005;
                ASSERT_NEAR((back.get()->*cut).PointAt(k).Y,
                            ((*envelope).*cut).PointAt(k).Y - shift, tolerance + 1e-9)
                    << extension << " at " << k - 180;
            }
        }
    }
}

TEST(DerivedPatterns, InterpolationGivesTheSourcesAtTheEndsAndMixesLinearlyInDb) {
    auto a = Made(
        "/x/a.msi", [](int angle) { return std::abs(angle) / 10.0; },
        [](int angle) { return std::abs(angle) / 4.0; }, 15);
    auto b = Made(
        "/x/b.msi", [](int angle) { return std::abs(angle) / 5.0; },
        [](int angle) { return angle == 0 ? 1 : std::abs(angle) / 2.0; }, 17);
    a->Frequency.SetValue(1710);
    b->Frequency.SetValue(2170);
    a->ElectricalTilt.SetValue(2);
    b->ElectricalTilt.SetValue(8);
    struct TCase {
        TInterpolationAxis Axis;
        double Value;
        double T;
        const char* Name;
    };
    const TCase cases[] = {
        {TInterpolationAxis::Frequency, 1710, 0, "a \u2194 b at 1710 MHz"},
        {TInterpolationAxis::Frequency, 2170, 1, "a \u2194 b at 2170 MHz"},
        {TInterpolationAxis::Frequency, 1824.5, 114.5 / 460, "a \u2194 b at 1824.5 MHz"},
        {TInterpolationAxis::ElectricalTilt, 5, 0.5, "a \u2194 b at 5\u00b0 tilt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto result = InterpolatePattern(*a, *b, c.Axis, c.Value);
        EXPECT_EQ(result->FileName, c.Name);
        EXPECT_EQ(DisplayName(*result, false), c.Name);
        EXPECT_NEAR(result->Gain.Value, 15 + 2 * c.T, 1e-12);
        const bool byFrequency = c.Axis == TInterpolationAxis::Frequency;
        EXPECT_EQ((byFrequency ? result->Frequency : result->ElectricalTilt).Value, c.Value);
        EXPECT_TRUE((byFrequency ? result->ElectricalTilt : result->Frequency).GetIsNull());
        for (TCut cut : kAllCuts) {
            for (int k = 0; k <= 360; ++k) {
                const double expected =
                    (1 - c.T) * ((*a).*cut).PointAt(k).Y + c.T * ((*b).*cut).PointAt(k).Y;
                ASSERT_NEAR(((*result).*cut).PointAt(k).Y, expected, 1e-12) << k - 180;
            }
        }
    }
}

TEST(DerivedPatterns, ImpossibleInputsThrowNamingThePatternOrTheValue) {
    const TLevels flat = [](int) { return 0.0; };
    auto a = Made("/x/a.msi", flat, flat, 10);
    auto b = Made("/x/b.msi", flat, flat, 12);
    auto noGain = Made("/x/plain.msi", flat, flat, 0);
    noGain->Gain = TDoubleObject();
    auto shortCuts = Made("/x/short.msi", flat, flat, 10);
    shortCuts->VerticalCut.Clear();
    a->Frequency.SetValue(1710);
    b->Frequency.SetValue(2170);
    auto sameFrequency = Made("/x/same.msi", flat, flat, 10);
    sameFrequency->Frequency.SetValue(1710);
    using F = TInterpolationAxis;
    struct TCase {
        std::function<void()> Run;
        const char* Message;
    };
    const TCase cases[] = {
        {[&] { EnvelopePattern({a.get()}); }, "Envelope: it needs two or more patterns"},
        {[&] {
             EnvelopePattern({a.get(), noGain.get()});
         },
         "Envelope: pattern 'plain' has no gain"},
        {[&] {
             EnvelopePattern({shortCuts.get(), a.get()});
         },
         "Envelope: pattern 'short' has no full cuts"},
        {[&] { InterpolatePattern(*a, *b, F::Frequency, 2500); },
         "Interpolation: 2500 MHz lies outside 1710 MHz to 2170 MHz"},
        {[&] { InterpolatePattern(*a, *b, F::Frequency, 1709.99); },
         "Interpolation: 1709.99 MHz lies outside 1710 MHz to 2170 MHz"},
        {[&] { InterpolatePattern(*a, *sameFrequency, F::Frequency, 1710); },
         "Interpolation: both patterns have the frequency 1710 MHz"},
        {[&] { InterpolatePattern(*a, *b, F::ElectricalTilt, 3); },
         "Interpolation: pattern 'a' has no electrical tilt"},
        {[&] { InterpolatePattern(*a, *b, F::Frequency, NAN); }, "Interpolation: no value given"},
        {[&] { ComparePatterns(*a, *noGain, false); }, "Comparison: pattern 'plain' has no gain"},
        {[&] { ComparePatterns(*a, *shortCuts, true); },
         "Comparison: pattern 'short' has no full cuts"},
    };
    for (const TCase& c : cases) {
        try {
            c.Run();
            ADD_FAILURE() << "no error: " << c.Message;
        } catch (const EInvalidOp& error) {
            EXPECT_EQ(std::string(error.what()), c.Message);
        }
    }
    EXPECT_NO_THROW(ComparePatterns(*a, *noGain, true));
    // Reversed sources: the value still lies between them.
    EXPECT_NEAR(InterpolatePattern(*b, *a, F::Frequency, 1800)->Gain.Value, 12 - 2 * 370.0 / 460,
                1e-12);
}

TEST(DerivedPatterns, ComparisonFindsTheLargestDifferenceAndTheMainLobeRms) {
    // The reference falls 0.5 dB a degree to a 25 dB floor: its -10 dB main lobe holds the
    // 41 points -20..20 in both cuts.
    const TLevels reference = [](int angle) { return std::min(std::abs(angle) / 2.0, 25.0); };
    auto a = Made("/x/a.msi", reference, reference, 10);
    struct TCase {
        const char* Name;
        TLevels Difference;  // B - A, in dB
        double Max, MaxAngle, Rms, RmsMain;
    };
    const TCase cases[] = {
        {"equal magnitudes at equal distances: the smaller angle",
         [](int angle) { return angle == 30    ? -2.0
                                : angle == -30 ? 2.0
                                               : 0.0; }, 2, -30,
         std::sqrt(8.0 / 360), 0},
        {"equal magnitudes: the angle nearest 0",
         [](int angle) { return angle == 50    ? -2.0
                                : angle == -60 ? 2.0
                                               : 0.0; }, -2, 50,
         std::sqrt(8.0 / 360), 0},
        {"the lobe alone differs", [](int angle) { return std::abs(angle) <= 20 ? 1.0 : 0.0; }, 1,
         0, std::sqrt(41.0 / 360), 1},
        {"just outside the lobe", [](int angle) { return std::abs(angle) == 21 ? 3.0 : 0.0; }, 3,
         -21, std::sqrt(18.0 / 360), 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLevels levels = [&](int angle) { return reference(angle) + c.Difference(angle); };
        auto b = Made("/x/b.msi", levels, levels, 10);
        const TPatternComparison comparison = ComparePatterns(*a, *b, false);
        for (const TCutComparison* cut : {&comparison.Azimuth, &comparison.Vertical}) {
            ASSERT_EQ(cut->DifferenceDb.size(), 361u);
            // A level is stored as -|level|: B is below A where the difference is positive.
            EXPECT_NEAR(-cut->MaxDifferenceDb, c.Max, 1e-12);
            EXPECT_EQ(cut->MaxDifferenceAngleDeg, c.MaxAngle);
            EXPECT_NEAR(cut->RmsDb, c.Rms, 1e-12);
            EXPECT_NEAR(cut->RmsMainLobeDb, c.RmsMain, 1e-12);
        }
    }

    // Gains count unless relative; a reference that never falls 10 dB has the whole cut as
    // its main lobe.
    const TLevels flat = [](int) { return 0.0; };
    auto omni = Made("/x/omni.msi", flat, flat, 10);
    auto higher = Made(
        "/x/higher.msi", flat, [](int angle) { return angle == 90 ? 3.0 : 0.0; }, 12);
    const TPatternComparison absolute = ComparePatterns(*omni, *higher, false);
    EXPECT_EQ(absolute.Horizontal.MaxDifferenceDb, 2);
    EXPECT_EQ(absolute.Horizontal.MaxDifferenceAngleDeg, 0);
    EXPECT_NEAR(absolute.Vertical.RmsDb, std::sqrt((359 * 4.0 + 1) / 360), 1e-12);
    EXPECT_EQ(absolute.Vertical.RmsMainLobeDb, absolute.Vertical.RmsDb);
    const TPatternComparison relative = ComparePatterns(*omni, *higher, true);
    EXPECT_TRUE(relative.Relative);
    EXPECT_EQ(relative.Azimuth.RmsDb, 0);
    EXPECT_EQ(relative.Vertical.MaxDifferenceDb, -3);
    EXPECT_EQ(relative.Vertical.MaxDifferenceAngleDeg, 90);

    // Magnitudes equal in the files' decimals tie, whatever the rounding of the sums:
    // |(15.7 - 15.3) - (17.2 - 19.9)| and |(15.7 - 1.8) - (17.2 - 0.2)| are both 3.1.
    const auto twoLevels = [](double at10, double at20) -> TLevels {
        return [=](int angle) { return angle == 10 ? at10 : angle == 20 ? at20 : 0.0; };
    };
    auto tiedA = Made("/x/ta.msi", twoLevels(19.9, 0.2), twoLevels(19.9, 0.2), 17.2);
    auto tiedB = Made("/x/tb.msi", twoLevels(15.3, 1.8), twoLevels(15.3, 1.8), 15.7);
    const TPatternComparison tied = ComparePatterns(*tiedA, *tiedB, false);
    for (const TCutComparison* cut : {&tied.Azimuth, &tied.Vertical}) {
        EXPECT_EQ(cut->MaxDifferenceAngleDeg, 10);
        EXPECT_NEAR(cut->MaxDifferenceDb, 3.1, 1e-12);
    }
}

}  // namespace
}  // namespace ostrel
