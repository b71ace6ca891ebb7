#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formats/BastaFile.h"
#include "formats/BastaWriter.h"

#include "support/BastaText.h"
#include "support/MadePatterns.h"

namespace ostrel {
namespace {

// The JSON value of a top-level key as written, up to the end of its line (with the first
// note up to its reason, for the polarisation); or the failure up to its reason.
std::string ValueOf(const TPatternData& pattern, const std::string& name, const std::string& key) {
    const TWrittenPattern written =
        BastaJsonText(pattern, name, PatternSphereLevels(pattern), "2026-01-02");
    const size_t at = written.Text.find("\n  \"" + key + "\": ");
    if (at == std::string::npos) return written.Failure.substr(0, written.Failure.find(", which"));
    const size_t start = at + key.size() + 7;
    std::string value = written.Text.substr(start, written.Text.find('\n', start) - start);
    if (value.ends_with(',')) value.pop_back();
    if (written.Notes.empty() || key != "Nominal_Polarization") return value;
    return value + " | " + written.Notes[0].substr(0, written.Notes[0].find(':'));
}

TEST(BastaWriter, HeaderIsStatedOrComputedNeverMadeUp) {
    // 65 degrees wide (-3 dB at 32.5), 10 high (-3 dB at 5), 180 x 3 / 32.5 dB down behind.
    const auto beam = MadePattern([](int a) { return -std::abs(a) * 3.0 / 32.5; },
                                  [](int a) { return -std::min(25.0, std::abs(a) * 0.6); });
    const auto stated = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    const auto noBack = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    const auto noFrequency = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    for (TPatternData* p : {beam.get(), stated.get(), noBack.get()}) {
        p->Frequency.SetValue(1850.5);
        p->HorzWidth.SetValue(p == beam.get() ? 0 : 360);  // 0: "not stated"
        p->VertWidth.SetValue(9.5);
    }
    beam->VertWidth.SetIsNull(true);
    beam->AzimuthPolarization = beam->VerticalPolarization = "V/H";
    stated->FrontToBack.SetValue(-18.5);
    stated->Gain.SetValue(17.25);
    stated->ElectricalTilt.SetValue(-2.5);
    stated->AzimuthPolarization = stated->VerticalPolarization = "+45/+45";
    const struct {
        const TPatternData* Pattern;
        const char* Name;
        std::string Key, Expected;
    } cases[] = {
        {beam.get(), "x", "Phi_HPBW", "65"},
        {beam.get(), "x", "Theta_HPBW", "10"},
        {beam.get(), "x", "Front_to_Back", "16.6154"},
        {beam.get(), "x", "Frequency", "{\"value\": 1850.5, \"unit\": \"MHz\"}"},
        {beam.get(), "x", "Gain", "null"},
        // A cross-polar cut names no nominal polarisation: written as Total, and said.
        {beam.get(), "x", "Nominal_Polarization",
         "\"Total\" | the polarisation (H V/H, V V/H) is written as Total"},
        // Not UTF-8: single-byte text, its bytes taken as Latin-1.
        {stated.get(), "caf\xE9 \"A\\B\"\x01", "Antenna_Model",
         "\"caf\\u00E9 \\\"A\\\\B\\\"\\u0001\""},
        {stated.get(), "caf\xC3\xA9", "Antenna_Model", "\"caf\xC3\xA9\""},
        {stated.get(), "x", "Phi_HPBW", "360"},
        {stated.get(), "x", "Front_to_Back", "18.5"},
        {stated.get(), "x", "Gain", "{\"value\": 17.25, \"unit\": \"dBi\"}"},
        {stated.get(), "x", "Theta_Electrical_Tilt", "-2.5"},
        {stated.get(), "x", "Nominal_Polarization", "\"P45\""},
        {noBack.get(), "x", "Phi_HPBW", "a BASTA JSON file needs \"Front_to_Back\" above 0"},
        {noFrequency.get(), "x", "", "a BASTA JSON file needs the frequency (\"Frequency\")"},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueOf(*c.Pattern, c.Name, c.Key), c.Expected) << c.Key;
}

TEST(BastaWriter, RowsHoldTheLevelSourceLevelledToItsMaximum) {
    const auto pattern = MadePattern([](int a) { return -std::abs(a) * 0.1; },
                                     [](int a) { return -std::abs(a) * 0.2; });
    pattern->Frequency.SetValue(900);
    // +5 dB straight ahead, falling 0.1 dB per degree of azimuth and 0.2 per degree of
    // vertical angle, 1 dB lower counter-clockwise or above the horizon. Rows [theta, phi, dB].
    TSphereLevels levels{[](double az, double v) {
                             return 5 - std::abs(az) / 10 - std::abs(v) / 5 - (az < 0 || v < 0);
                         },
                         "made"};
    const std::string text = BastaJsonText(*pattern, "x", levels, "2026-01-02").Text;
    EXPECT_NE(text.find("\n  \"Optional_Comments\": \"made\",\n"), std::string::npos);
    for (const char* row :
         {"[0, 0, 0]", "[10, -30, 6]", "[-30, 10, 8]", "[90, 179, 35.9]\n  ]\n}"}) {
        EXPECT_NE(text.find(std::string("\n    ") + row), std::string::npos) << row;
    }
    levels.Level = [](double az, double v) { return az == 7 && v == -3 ? NAN : 0; };
    EXPECT_FALSE(BastaJsonText(*pattern, "x", levels, "").Failure.empty());
}

// Written and read back, a pattern keeps its cuts up to the one constant that levels the
// written sphere to 0 dB, and a measured sphere (co and cross, shuffled polar rows) its total
// levels at its own samples; the header says where the levels and names came from.
TEST(BastaWriter, ReadsBackToTheSameCutsAndSphere) {
    // Cuts that agree where they meet, straight ahead and straight behind.
    auto twoCuts = MadePattern([](int a) { return -std::min(std::abs(a - 20) * 0.3, 28.0); },
                               [](int a) { return -std::min(std::abs(a - 6) * 1.0, 28.0); });
    twoCuts->Frequency.SetValue(1850);
    // Off-centre and tilted, with a lobe behind; the cross-polar part 12 dB down and flatter.
    const TBastaLevels beam = [](double theta, double phi) {
        const double off = std::abs(std::remainder(phi - 20, 360.0)) * 0.25;
        return std::vector<double>{std::min(off + std::abs(theta - 96) * 0.4, 20 + off / 5),
                                   std::abs(theta - 96) * 0.3 + 12};
    };
    const std::string sphereFile =
        BastaSphere("SPCS_Polar", Steps(0, 180, 5), Steps(0, 355, 5),
                    {"MagAttenuationCo", "MagAttenuationCr"}, beam, true, 3)
            .Text();
    const std::pair<std::unique_ptr<TPatternData>, std::string> cases[] = {
        {std::move(twoCuts), "\"Supplier\": \"Unknown\",\n  \"Antenna_Model\": \"made\","},
        {std::move(MakeBastaPatterns(sphereFile, "sphere.json").front()),
         "\"Supplier\": \"Velmor\",\n  \"Antenna_Model\": \"VLM-3D\","},
    };
    for (const auto& [source, names] : cases) {
        const TWrittenPattern written =
            BastaJsonText(*source, "made", PatternSphereLevels(*source), "2026-01-02");
        EXPECT_NE(written.Text.find(names), std::string::npos) << names << written.Failure;
        EXPECT_NE(written.Text.find(source->Sphere ? "\"Measured total" : "\"Levels estimated"),
                  std::string::npos);
        const auto read = std::move(MakeBastaPatterns(written.Text, "back.json").front());
        for (const auto cut : {&TPatternData::VerticalCut, &TPatternData::HorizontalCut}) {
            const TRealPointList &before = (*source).*cut, &after = (*read).*cut;
            ASSERT_EQ(after.Count(), before.Count());
            const double shift = after.PointAt(180).Y - before.PointAt(180).Y;
            for (int i = 0; i < before.Count(); ++i) {
                EXPECT_NEAR(after.PointAt(i).Y - before.PointAt(i).Y, shift, 0.001) << i;
            }
        }
        const TMeasuredSphere* sphere = source->Sphere.get();
        for (int t = 0; sphere && t < sphere->ThetaCount(); ++t) {
            for (int p = 0; p < sphere->PhiCount(); ++p) {
                const TSphereDirection at = sphere->SampleDirection(t, p);
                EXPECT_NEAR(
                    read->Sphere->Level(TSphereComponent::Total, at.AzimuthDeg, at.VerticalDeg),
                    sphere->SampleLevel(TSphereComponent::Total, t, p), 0.001);
            }
        }
    }
}

}  // namespace
}  // namespace ostrel
