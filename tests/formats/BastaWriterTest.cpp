#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formats/BastaWriter.h"
#include "model/NumberText.h"

#include "support/MadePatterns.h"

namespace ostrel {
namespace {

// A 65 degree wide beam, 10 degrees high, 180 x 3 / 32.5 = 16.6154 dB down behind.
std::unique_ptr<TPatternData> Beam() {
    auto beam = MadePattern([](int a) { return -std::min(25.0, std::abs(a) * 3.0 / 32.5); },
                            [](int a) { return -std::min(25.0, std::abs(a) * 3.0 / 5.0); });
    beam->Frequency.SetValue(1850);
    return beam;
}

// The JSON value of a top-level key as written, up to the end of its line.
std::string ValueOf(const std::string& text, const std::string& key) {
    const size_t at = text.find("\n  \"" + key + "\": ");
    if (at == std::string::npos) return "<missing>";
    const size_t start = at + key.size() + 7;
    std::string value = text.substr(start, text.find('\n', start) - start);
    if (value.ends_with(',')) value.pop_back();
    return value;
}

double AttenuationAt(const std::string& text, int theta, int phi) {
    const std::string row = "\n    [" + FormatGeneral(theta) + ", " + FormatGeneral(phi) + ", ";
    const size_t at = text.find(row);
    if (at == std::string::npos) return NAN;
    return ParseNumber(text.substr(at + row.size(), text.find(']', at) - at - row.size()))
        .value_or(NAN);
}

TEST(BastaWriter, RefusesWhatItWouldHaveToMakeUpNamingTheKey) {
    const auto flat = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    flat->Frequency.SetValue(850);
    const auto noFrequency = Beam();
    noFrequency->Frequency.SetIsNull(true);
    const auto stated = MadePattern([](int) { return 0.0; }, [](int) { return 0.0; });
    stated->Frequency.SetValue(850);
    stated->HorzWidth.SetValue(360);
    stated->VertWidth.SetValue(9.5);
    const auto zeroWidth = Beam();
    zeroWidth->HorzWidth.SetValue(0);  // "not stated": the computed width is written
    const struct {
        const TPatternData* Pattern;
        const char* Refused;  // "" when written
    } cases[] = {
        {noFrequency.get(), "\"Frequency\""},
        {flat.get(), "\"Phi_HPBW\""},
        {stated.get(), "\"Front_to_Back\""},
        {zeroWidth.get(), ""},
    };
    for (const auto& c : cases) {
        const TWrittenPattern written =
            BastaJsonText(*c.Pattern, "x", PatternSphereLevels(*c.Pattern), "2026-01-02");
        EXPECT_NE(written.Failure.find(c.Refused), std::string::npos) << written.Failure;
        EXPECT_EQ(written.Text.empty(), *c.Refused != '\0') << c.Refused;
    }
    stated->FrontToBack.SetValue(18.5);
    const std::string text =
        BastaJsonText(*stated, "x", PatternSphereLevels(*stated), "2026-01-02").Text;
    EXPECT_EQ(ValueOf(text, "Phi_HPBW"), "360");
    EXPECT_EQ(ValueOf(text, "Theta_HPBW"), "9.5");
    EXPECT_EQ(ValueOf(text, "Front_to_Back"), "18.5");

    // A level source that fails somewhere refuses the file too.
    const TSphereLevels broken{[](double az, double v) { return az == 7 && v == -3 ? NAN : 0; },
                               ""};
    EXPECT_NE(
        BastaJsonText(*stated, "x", broken, "2026-01-02").Failure.find("azimuth 7, vertical -3"),
        std::string::npos);
}

TEST(BastaWriter, HeaderComesFromThePatternAndNamesAreJsonText) {
    auto beam = Beam();
    struct TCase {
        std::string Key, Expected;
    };
    const std::string text =
        BastaJsonText(*beam, "caf\xE9 \"A\\B\"\x01", PatternSphereLevels(*beam), "2026-01-02").Text;
    const TCase plain[] = {
        {"Antenna_Model", "\"caf\\u00E9 \\\"A\\\\B\\\"\\u0001\""},
        {"Supplier", "\"Unknown\""},
        {"Released_Date", "\"2026-01-02\""},
        {"Coordinate_System", "\"SPCS_CW\""},
        {"Frequency", "{\"value\": 1850, \"unit\": \"MHz\"}"},
        {"Gain", "null"},
        {"Theta_Electrical_Tilt", "null"},
        {"Nominal_Polarization", "\"Total\""},
        // Computed from the cuts: -3 dB at 32.5 and 5 degrees, four decimals.
        {"Phi_HPBW", "65"},
        {"Theta_HPBW", "10"},
        {"Front_to_Back", "16.6154"},
        {"Theta_Sampling", "[-90, 1, 90]"},
        {"Phi_Sampling", "[-180, 1, 179]"},
        {"Data_Set_Row_Structure", "[\"Theta\", \"Phi\", \"MagAttenuationTP\"]"},
    };
    for (const TCase& c : plain) EXPECT_EQ(ValueOf(text, c.Key), c.Expected) << c.Key;

    beam->Gain.SetValue(17.25);
    beam->ElectricalTilt.SetValue(-2.5);
    beam->AzimuthPolarization = beam->VerticalPolarization = "+45/+45";
    TWrittenPattern written =
        BastaJsonText(*beam, "caf\xC3\xA9", PatternSphereLevels(*beam), "2026-01-02");
    const TCase stated[] = {
        {"Antenna_Model", "\"caf\xC3\xA9\""},
        {"Gain", "{\"value\": 17.25, \"unit\": \"dBi\"}"},
        {"Theta_Electrical_Tilt", "-2.5"},
        {"Nominal_Polarization", "\"P45\""},
    };
    for (const TCase& c : stated) EXPECT_EQ(ValueOf(written.Text, c.Key), c.Expected) << c.Key;
    EXPECT_TRUE(written.Notes.empty());
    // A cross-polar cut names no nominal polarisation: written as Total, and said.
    beam->AzimuthPolarization = beam->VerticalPolarization = "V/H";
    written = BastaJsonText(*beam, "x", PatternSphereLevels(*beam), "2026-01-02");
    EXPECT_EQ(ValueOf(written.Text, "Nominal_Polarization"), "\"Total\"");
    ASSERT_EQ(written.Notes.size(), 1u);
    EXPECT_NE(written.Notes[0].find("V/H"), std::string::npos);
}

TEST(BastaWriter, RowsHoldTheLevelSourceLevelledToItsMaximum) {
    const auto beam = Beam();
    // Highest (+5 dB) straight ahead on the horizon; every side of it told apart: 1 dB
    // less at negative azimuths (counter-clockwise), 2 dB less above the horizon.
    const TSphereLevels levels{[](double az, double v) {
                                   return 5 - (std::abs(az) + 2 * std::abs(v)) / 10 -
                                          (az < 0 ? 1 : 0) - (v < 0 ? 2 : 0);
                               },
                               "made"};
    const std::string text = BastaJsonText(*beam, "x", levels, "2026-01-02").Text;
    EXPECT_EQ(ValueOf(text, "Optional_Comments"), "\"made\"");
    const struct {
        int Theta, Phi;
        double Attenuation;
    } rows[] = {
        {0, 0, 0}, {10, -30, 6}, {-30, 10, 9}, {-90, -180, 39}, {90, 179, 35.9}, {-3, 7, 3.3},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(AttenuationAt(text, row.Theta, row.Phi), row.Attenuation, 1e-9)
            << row.Theta << ", " << row.Phi;
    }
    EXPECT_TRUE(std::isnan(AttenuationAt(text, 0, 180))) << "180 is -180";
    EXPECT_TRUE(text.ends_with("    [90, 179, 35.9]\n  ]\n}\n"));
}

}  // namespace
}  // namespace ostrel
