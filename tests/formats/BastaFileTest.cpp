#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/BastaFile.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "model/Errors.h"
#include "support/BastaText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// A beam in the viewer's terms, off-centre both ways so that a turned or mirrored reading
// shows: its highest sample lies at azimuth 20, 10 degrees below the horizon.
double BeamLevel(double azimuthDeg, double verticalDeg) {
    double azimuth = std::fmod(azimuthDeg, 360.0);
    if (azimuth <= -180) azimuth += 360;
    if (azimuth > 180) azimuth -= 360;
    double off = std::fmod(azimuth - 20 + 540, 360.0) - 180;
    return -std::min(12 * std::pow(off / 65, 2), 25.0) -
           std::min(12 * std::pow((verticalDeg - 6) / 15, 2), 20.0) + 0.01 * azimuth;
}

struct TSystemCase {
    const char* Name;
    double FirstTheta;
    double LastTheta;
    // The viewer's direction of a file direction, as the file's conventions read.
    double (*Azimuth)(double theta, double phi);
    double (*Vertical)(double theta, double phi);
};

const TSystemCase kSystems[] = {
    {"SPCS_CW", -90, 90, [](double, double phi) { return phi; },
     [](double t, double) { return t; }},
    {"SPCS_CCW", -90, 90, [](double, double phi) { return -phi; },
     [](double t, double) { return t; }},
    {"SPCS_Polar", 0, 180, [](double, double phi) { return -phi; },
     [](double t, double) { return t - 90; }},
    {"SPCS_Geo", -90, 90, [](double, double phi) { return phi; },
     [](double t, double) { return -t; }},
};

std::unique_ptr<TPatternData> Read(const TBastaText& file) {
    return std::move(MakeBastaPatterns(file.Text(), "sphere.json").front());
}

TBastaText BeamFile(const TSystemCase& system, bool explicitRows, unsigned seed = 1) {
    return BastaSphere(
        system.Name, Steps(system.FirstTheta, system.LastTheta, 10), Steps(0, 350, 10),
        {"MagAttenuationTP"},
        [&system](double theta, double phi) {
            return std::vector<double>{
                -BeamLevel(system.Azimuth(theta, phi), system.Vertical(theta, phi))};
        },
        explicitRows, seed);
}

// The same sphere in every coordinate system, uniform or shuffled, reads to the same cuts
// and figures; the reading's orientation is checked against the beam itself.
TEST(BastaFile, EveryCoordinateSystemReadsTheSameSphere) {
    const std::unique_ptr<TPatternData> reference = Read(BeamFile(kSystems[0], false));
    const double peak = BeamLevel(20, 10);
    EXPECT_NEAR(reference->AzimuthCut.PointAt(180 + 20).Y, BeamLevel(20, 0) - peak, 1e-9);
    EXPECT_NEAR(reference->AzimuthCut.PointAt(180 - 70).Y, BeamLevel(-70, 0) - peak, 1e-9);
    EXPECT_NEAR(reference->VerticalCut.PointAt(180 + 30).Y, BeamLevel(0, 30) - peak, 1e-9);
    EXPECT_NEAR(reference->VerticalCut.PointAt(180 - 40).Y, BeamLevel(0, -40) - peak, 1e-9);
    // Over the pole: vertical 130 looks at azimuth 180, 50 below the horizon.
    EXPECT_NEAR(reference->VerticalCut.PointAt(180 + 130).Y, BeamLevel(180, 50) - peak, 1e-9);
    EXPECT_NEAR(reference->VerticalCut.PointAt(180 - 150).Y, BeamLevel(180, -30) - peak, 1e-9);
    // Between samples, bilinear in the file's angles.
    EXPECT_NEAR(reference->AzimuthCut.PointAt(180 + 24).Y,
                0.6 * BeamLevel(20, 0) + 0.4 * BeamLevel(30, 0) - peak, 1e-9);
    const TSphereFigures& expected = reference->Sphere->Figures();
    EXPECT_DOUBLE_EQ(expected.PeakAzimuthDeg, 20);
    EXPECT_DOUBLE_EQ(expected.PeakVerticalDeg, 10);

    for (const TSystemCase& system : kSystems) {
        for (const bool explicitRows : {false, true}) {
            SCOPED_TRACE(std::string(system.Name) + (explicitRows ? " shuffled" : " uniform"));
            const std::unique_ptr<TPatternData> pattern = Read(BeamFile(system, explicitRows, 7));
            for (int k = 0; k <= 360; ++k) {
                EXPECT_NEAR(pattern->AzimuthCut.PointAt(k).Y, reference->AzimuthCut.PointAt(k).Y,
                            1e-9);
                EXPECT_NEAR(pattern->VerticalCut.PointAt(k).Y, reference->VerticalCut.PointAt(k).Y,
                            1e-9);
            }
            const TSphereFigures& figures = pattern->Sphere->Figures();
            EXPECT_DOUBLE_EQ(figures.PeakAzimuthDeg, expected.PeakAzimuthDeg);
            EXPECT_DOUBLE_EQ(figures.PeakVerticalDeg, expected.PeakVerticalDeg);
            EXPECT_NEAR(figures.DirectivityDbi, expected.DirectivityDbi, 1e-9);
            for (auto share :
                 {&TSphereFigures::EasCell, &TSphereFigures::EasInt1, &TSphereFigures::EasInt2,
                  &TSphereFigures::EasInt3, &TSphereFigures::EasEmf, &TSphereFigures::EasWasted}) {
                EXPECT_NEAR(figures.*share, expected.*share, 1e-9);
            }
            for (auto error :
                 {&TSphereFigures::RmsCutSum, &TSphereFigures::MaxCutSum,
                  &TSphereFigures::RmsWeightedBilinear, &TSphereFigures::MaxWeightedBilinear}) {
                ASSERT_TRUE((figures.*error).has_value());
                EXPECT_NEAR(*(figures.*error), *(expected.*error), 1e-9);
            }
        }
    }
}

// The header fields, the level columns and their levelling.
TEST(BastaFile, HeaderAndLevelColumns) {
    // Attenuations: TP 2 dB under the beam, Co 5 dB, Cr as Co ahead (phi > 0) and 20 dB
    // lower elsewhere.
    auto attenuation = [](const std::string& column, double theta, double phi) {
        const double beam = -BeamLevel(phi, theta);
        if (column == "MagAttenuationTP") return beam + 2;
        if (column == "MagAttenuationCo") return beam + 5;
        return beam + 5 + (phi > 0 ? 0 : 20);
    };
    auto file = [&attenuation](const std::vector<std::string>& columns) {
        return BastaSphere(
            "SPCS_CW", Steps(-90, 90, 30), Steps(-180, 150, 30), columns,
            [&](double theta, double phi) {
                std::vector<double> values;
                for (const std::string& column : columns)
                    values.push_back(attenuation(column, theta, phi));
                return values;
            },
            true);
    };
    TBastaText tp = file({"MagAttenuationTP", "MagAttenuationCo", "MagAttenuationCr"});
    tp.Set("Frequency", "{\"value\": 2.6, \"unit\": \"GHz\"}");
    tp.Set("Gain", "{\"value\": 15.5, \"unit\": \"dBd\"}");
    tp.Set("RF_Port", "\"2\"");
    tp.Set("Beam_ID", "\"B1\"");
    tp.Set("Theta_Electrical_Tilt", "6");
    const std::unique_ptr<TPatternData> pattern = Read(tp);
    EXPECT_DOUBLE_EQ(pattern->Frequency.Value, 2600);
    EXPECT_DOUBLE_EQ(pattern->Gain.Value, 15.5 + kDipoleGainDbi);
    EXPECT_DOUBLE_EQ(pattern->HorzWidth.Value, 65);
    EXPECT_DOUBLE_EQ(pattern->VertWidth.Value, 7);
    EXPECT_DOUBLE_EQ(pattern->FrontToBack.Value, 30);
    EXPECT_DOUBLE_EQ(pattern->ElectricalTilt.Value, 6);
    EXPECT_EQ(pattern->Make, "Velmor");
    EXPECT_EQ(pattern->Model, "VLM-3D port 2 beam B1");
    EXPECT_EQ(pattern->Clone()->Sphere, pattern->Sphere) << "copies share the sphere";
    const TMeasuredSphere& sphere = *pattern->Sphere;
    ASSERT_EQ(sphere.Components().size(), 3u);
    // Levelled to 0 dB at the total peak, Co and Cr moved alike.
    EXPECT_NEAR(sphere.Level(TSphereComponent::Total, 30, 0), 0, 1e-9);
    EXPECT_NEAR(sphere.Level(TSphereComponent::Co, 30, 0), -3, 1e-9);
    EXPECT_NEAR(sphere.Level(TSphereComponent::Cross, 30, 0), -3, 1e-9);
    EXPECT_NEAR(sphere.Level(TSphereComponent::Cross, -30, 0),
                -3 - 20 + BeamLevel(-30, 0) - BeamLevel(30, 0), 1e-9);

    // The total: -TP, else the power sum of Co and Cr, else -Co; compared between a direction
    // where Cr matches Co and one where it lies 20 dB lower.
    auto power = [](double attenuationDb) { return std::pow(10.0, -attenuationDb / 10); };
    const struct {
        std::vector<std::string> Columns;
        double (*Total)(double co, double cr, double tp, double (*power)(double));
    } levelCases[] = {
        {{"MagAttenuationCo", "MagAttenuationCr", "MagAttenuationTP"},
         [](double, double, double tp, double (*)(double)) { return -tp; }},
        {{"MagAttenuationCr", "MagAttenuationCo"},
         [](double co, double cr, double, double (*p)(double)) {
             return 10 * std::log10(p(co) + p(cr));
         }},
        {{"MagAttenuationCo"}, [](double co, double, double, double (*)(double)) { return -co; }},
    };
    for (const auto& levelCase : levelCases) {
        const std::unique_ptr<TPatternData> read = Read(file(levelCase.Columns));
        auto expected = [&](double phi) {
            return levelCase.Total(attenuation("MagAttenuationCo", 0, phi),
                                   attenuation("MagAttenuationCr", 0, phi),
                                   attenuation("MagAttenuationTP", 0, phi), power);
        };
        EXPECT_NEAR(read->Sphere->Level(TSphereComponent::Total, 30, 0) -
                        read->Sphere->Level(TSphereComponent::Total, -150, 0),
                    expected(30) - expected(-150), 1e-9)
            << levelCase.Columns.size();
        EXPECT_EQ(read->Sphere->Has(TSphereComponent::Cross), levelCase.Columns.size() > 1);
    }
    TBastaText nullGain = file({"MagAttenuationTP"});
    nullGain.Set("Gain", "null");
    EXPECT_TRUE(Read(nullGain)->Gain.IsNull);
}

// Every refusal names what fails.
TEST(BastaFile, RefusesNamingTheKeyRowOrAngles) {
    auto good = [] {
        return BastaSphere(
            "SPCS_CW", Steps(-90, 90, 30), Steps(0, 330, 30), {"MagAttenuationTP"},
            [](double theta, double phi) {
                return std::vector<double>{std::fabs(theta + phi / 10)};
            },
            true);
    };
    auto uniform = [] {
        return BastaSphere(
            "SPCS_Polar", Steps(0, 180, 30), Steps(-180, 180, 30), {"MagAttenuationTP"},
            [](double theta, double phi) {
                return std::vector<double>{theta / 10 + (phi == 180 ? 0.5 : 0.0)};
            },
            false);
    };
    const struct {
        std::function<void(TBastaText&)> Break;
        const char* Message;
        bool Uniform = false;
    } cases[] = {
        {[](TBastaText& f) { f.Set("Coordinate_System", "\"SPCS_Foo\""); },
         "\"Coordinate_System\" is \"SPCS_Foo\"; expected SPCS_Polar, SPCS_CW, SPCS_CCW or "
         "SPCS_Geo"},
        {[](TBastaText& f) { f.Remove("Supplier"); }, "\"Supplier\" is missing"},
        {[](TBastaText& f) { f.Remove("EIRP"); }, "\"EIRP\" is missing"},
        {[](TBastaText& f) { f.Set("Antenna_Type", "7"); },
         "\"Antenna_Type\" is 7; expected a string"},
        {[](TBastaText& f) { f.Set("Gain", "{\"value\": 3, \"unit\": \"dB\"}"); },
         "\"Gain.unit\" is \"dB\"; expected dBi or dBd"},
        {[](TBastaText& f) { f.Set("Frequency", "{\"unit\": \"MHz\"}"); },
         "\"Frequency.value\" is missing"},
        {[](TBastaText& f) { f.Set("Frequency", "null"); },
         "\"Frequency\" is null; expected an object"},
        {[](TBastaText& f) { f.Set("Phi_HPBW", "0"); },
         "\"Phi_HPBW\" is 0; expected a number above 0"},
        {[](TBastaText& f) { f.Set("Nominal_Polarization", "\"P45M1000\""); },
         "\"Nominal_Polarization\" is \"P45M1000\"; expected Total, P45"},
        {[](TBastaText& f) { f.Set("Theta_Sampling", "[1, 2]"); },
         "\"Theta_Sampling\" is an array; expected an array of 3 numbers or null"},
        {[](TBastaText& f) { f.Set("Data_Set_Row_Structure", "[\"Theta\", \"Phi\", \"Gain\"]"); },
         "\"Data_Set_Row_Structure\" item 3 is \"Gain\"; expected Theta, Phi"},
        {[](TBastaText& f) {
             f.Set("Data_Set_Row_Structure", "[\"Theta\", \"Phi\", \"PhaseCo\"]");
         },
         "names neither MagAttenuationTP nor MagAttenuationCo"},
        {[](TBastaText& f) {
             f.Set("Data_Set_Row_Structure", "[\"Theta\", \"Theta\", \"MagAttenuationTP\"]");
         },
         "names Theta twice"},
        {[](TBastaText& f) { f.Set("Data_Set", "[[0, 0, 1], [0, 30], [0, 60, 1]]"); },
         "Data_Set row 2 has 2 numbers; \"Data_Set_Row_Structure\" names 3 columns"},
        {[](TBastaText& f) { f.Set("Data_Set", "[[0, 0, 1], [0, \"30\", 1]]"); },
         "Data_Set row 2 item 2 is \"30\"; expected a number"},
        {[](TBastaText& f) { f.Set("Data_Set", "[]"); }, "\"Data_Set\" holds no rows"},
        {[](TBastaText& f) {
             f.Set("Data_Set", "[[-90, 0, 1], [-90, 180, 1], [90, 0, 1], [90, 0, 2]]");
         },
         "Data_Set rows 3 and 4 both give Theta 90, Phi 0"},
        {[](TBastaText& f) { f.Set("Data_Set", "[[-90, 0, 1], [-90, 180, 1], [90, 0, 1]]"); },
         "Data_Set has no row for Theta 90, Phi 180"},
        {[](TBastaText& f) {
             f.Set("Data_Set", "[[-90, 0, 1], [-90, 180, 1], [0, 0, 1], [0, 180, 1]]");
         },
         "The file covers Theta -90 to 0 only; a sphere needs -90 to 90 in SPCS_CW"},
        {[](TBastaText& f) {
             f.Set("Data_Set", "[[-90, 0, 1], [-90, 180, 1], [95, 0, 1], [95, 180, 1]]");
         },
         "Theta 95 lies beyond a pole; SPCS_CW runs from -90 to 90"},
        {[](TBastaText& f) {
             f.Set("Data_Set", "[[-90, 0, 1], [-90, 90, 1], [90, 0, 1], [90, 90, 1]]");
         },
         "The file covers Phi 0 to 90 only; a sphere needs Phi all round"},
        {[](TBastaText& f) { f.Set("Data_Set", "[[-90, 0, 1], [90, 0, 1]]"); },
         "a single direction of Phi"},
        {[](TBastaText&) {},
         "Phi 180 and Phi -180 are one direction but differ by 0.50 dB at Theta 0", true},
        {[](TBastaText& f) { f.Set("Phi_Sampling", "[-180, 30, 150]"); },
         "Data_Set has 91 rows; Theta_Sampling and Phi_Sampling make 7 x 12", true},
        {[](TBastaText& f) { f.Set("Phi_Sampling", "[-180, 0, 180]"); },
         "\"Phi_Sampling\" [-180, 0, 180] makes no whole number of steps", true},
        {[](TBastaText& f) { f.Set("Theta_Sampling", "null"); },
         "\"Theta_Sampling\" is null; rows without Theta and Phi need [start, step, stop]", true},
    };
    for (const auto& refusal : cases) {
        TBastaText file = refusal.Uniform ? uniform() : good();
        refusal.Break(file);
        try {
            Read(file);
            ADD_FAILURE() << "read: " << refusal.Message;
        } catch (const EFormatError& error) {
            EXPECT_NE(std::string(error.what()).find(refusal.Message), std::string::npos)
                << error.what();
        }
    }
    EXPECT_THROW(MakeBastaPatterns("{\"Data_Set\": [", "x.json"), EFormatError);
    EXPECT_THROW(MakeBastaPatterns("[1, 2]", "x.json"), EFormatError);
    // Phi and phi + 360 agreeing are one direction; polarisations of other angles are fine.
    TBastaText agreeing = uniform();
    agreeing.Set("Nominal_Polarization", "\"M120P5\"");
    agreeing.Set("Data_Set_Row_Structure", "[\"MagAttenuationCo\"]");
    std::string rows;
    for (int k = 0; k < 7 * 13; ++k) rows += (k > 0 ? ", [" : "[") + std::to_string(k / 13) + "]";
    agreeing.Set("Data_Set", "[" + rows + "]");
    const std::unique_ptr<TPatternData> read = Read(agreeing);
    EXPECT_EQ(read->Sphere->PhiCount(), 12);
}

// Chosen by content under any name; other JSON is no pattern file.
TEST(BastaFile, ToldByContent) {
    const struct {
        const char* Head;
        bool Basta;
    } heads[] = {
        {"{\"BASTA_AA_WP_version\": \"3.0\", \"Supplier\"", true},
        {"\xEF\xBB\xBF\r\n  {\"Data_Set\": [[", true},
        {"{\"Data_Set_Row_Structure\": [\"Theta\"]", false},
        {"[{\"BASTA_AA_WP_version\": \"3.0\"}]", false},
        {"{\"name\": \"package\", \"version\": \"1.0\"}", false},
        {"NAME BASTA_AA_WP_version Data_Set", false},
        {"", false},
    };
    for (const auto& head : heads)
        EXPECT_EQ(LooksLikeBastaText(head.Head), head.Basta) << head.Head;

    TTempDir folder;
    const std::string sphere = folder.Write("sphere.txt", BeamFile(kSystems[2], true).Text());
    const std::string other = folder.Write("settings.json", "{\"Data\": 1}");
    const TLoadedFile loaded = LoadPatternFile(sphere);
    ASSERT_EQ(loaded.Patterns.size(), 1u) << loaded.Failure;
    EXPECT_TRUE(loaded.Patterns.front()->Sphere);
    EXPECT_TRUE(HasPatternFileContent(ReadFileBytes(sphere)));
    EXPECT_FALSE(HasPatternFileContent(ReadFileBytes(other)));
}

}  // namespace
}  // namespace ostrel
