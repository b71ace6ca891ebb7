#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"
#include "cli/FileReport.h"
#include "formats/PatternLoaders.h"
#include "support/PatternText.h"
#include "support/TempDir.h"
#include "support/ToolRun.h"

namespace ostrel {
namespace {

// Two patterns alike but for 3.215 dB less of the second at 41 degrees of azimuth; the first
// falls 0.1 dB a degree each way, so its -10 dB main lobe is -100..100.
double Falling(double angle) {
    return std::min(angle, 360 - angle) / 10;
}

struct TTwoFiles {
    TTempDir Folder;
    std::string A = Folder.Write(
        "a.msi", OstrelText(
                     "FREQUENCY 1710\r\nGAIN 15 dBd\r\n", [](double a) { return Falling(a); },
                     [](double a) { return a / 20; }));
    std::string B =
        Folder.Write("b.msi", OstrelText(
                                  "FREQUENCY 2170\r\nGAIN 15 dBd\r\n",
                                  [](double a) { return Falling(a) + (a == 41 ? 3.215 : 0); },
                                  [](double a) { return a / 20; }));
    std::string NoGain =
        Folder.Write("plain.msi", OstrelText(
                                      "", [](double) { return 0; }, [](double) { return 0; }));
};

TEST(DerivedCommands, InspectComparesPerCutWithThreeDecimals) {
    const TTwoFiles files;
    const TToolRun run = RunTool(RunInspect, {"--compare", files.A, files.B, "--cuts"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    const std::string statistics =
        "reference: a\ncompared: b\nrelative: no\n"
        "az_max_diff: -3.215 at 41\naz_rms: 0.169\naz_rms_main: 0.227\n"
        "v_max_diff: 0.000 at 0\nv_rms: 0.000\nv_rms_main: 0.000\n"
        "h_max_diff: -3.215 at 41\nh_rms: 0.169\nh_rms_main: 0.227\n"
        "diff: angle az v h\n-180\t0.000\t0.000\t0.000\n";
    EXPECT_EQ(run.Out.substr(0, statistics.size()), statistics);
    EXPECT_NE(run.Out.find("\n41\t-3.215\t0.000\t-3.215\n"), std::string::npos);
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 13 + 361);
}

TEST(DerivedCommands, UsageErrorsExit2AndPatternsThatCannotBeMadeExit1) {
    const TTwoFiles files;
    struct TCase {
        std::vector<std::string> Arguments;
        int Status;
        std::string Message;
    };
    const TCase cases[] = {
        {{"--relative", files.A, files.B}, 2, "--relative goes with --compare"},
        {{"--envelope"}, 2, "--envelope needs files"},
        {{"--envelope", "--compare", files.A, files.B}, 2, "go one at a time"},
        {{"--interpolate", "speed", "1", files.A, files.B}, 2, "'speed' is not freq or tilt"},
        {{"--interpolate", "freq", "x", files.A, files.B}, 2, "'x' is not a number"},
        {{"--interpolate", "freq", "1800"}, 2, "takes a value X and the files A and B"},
        {{"--compare", "--figures", files.A, files.B}, 2, "--compare takes no --figures"},
        {{"--compare", "--csv", files.A, files.B}, 2, "take files, --cuts and --figures only"},
        {{"--compare", files.A, files.B, files.A}, 2, "--compare takes the files A and B"},
        {{"--envelope", files.A, files.NoGain}, 1, "Envelope: pattern 'plain' has no gain"},
        {{"--compare", files.A}, 1, "--compare needs exactly two patterns; the files hold 1"},
        {{"--interpolate", "tilt", "2", files.A, files.B}, 1, "pattern 'a' has no electrical tilt"},
        {{"--interpolate", "freq", "2200", files.A, files.B},
         1,
         "2200 MHz lies outside 1710 MHz to 2170 MHz"},
        {{"--envelope", files.A, files.Folder.File("none.msi")}, 1, "none.msi: "},
    };
    for (const TCase& c : cases) {
        const TToolRun run = RunTool(RunInspect, c.Arguments);
        EXPECT_EQ(run.Status, c.Status) << c.Message;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
}

TEST(DerivedCommands, ConvertWritesTheDerivedPatternUnderItsOwnName) {
    const TTwoFiles files;
    TTempDir output;
    TToolRun run = RunTool(RunConvert, {"--to", "msi", "-o", output.Path(), "--interpolate", "freq",
                                        "1825", files.A, files.B});
    EXPECT_EQ(run.Status, 0) << run.Err;
    const std::string written = output.File("a \u2194 b at 1825 MHz.msi");
    const auto back = LoadPatternFile(written).TakeFirst();
    ASSERT_NE(back, nullptr) << run.Out;
    EXPECT_EQ(back->Frequency.Value, 1825);
    // A quarter of the way: 4.1 dB at 41 degrees, plus a quarter of 3.215.
    EXPECT_NEAR(back->AzimuthCut.PointAt(180 + 41).Y, -(4.1 + 3.215 / 4), 0.0005);

    run = RunTool(RunConvert, {"--to", "vwa", "--envelope", files.A, files.B});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(std::filesystem::exists(files.Folder.File("Envelope of 2.vwa")));
    run = RunTool(RunConvert, {"--to", "msi", "--envelope", files.A, files.NoGain});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "ostrel-convert: Envelope: pattern 'plain' has no gain\n");
}

TEST(DerivedCommands, ConvertShortensLongNamesAndSaysWhereToWriteInstead) {
    const TTwoFiles files;
    // Two names of 150 bytes each, made of two-byte characters: their interpolation's name
    // is longer than a file name may be.
    std::string longName;
    for (int i = 0; i < 75; ++i) longName += "\u00E9";
    const std::string a = files.Folder.File(longName + ".msi");
    const std::string b = files.Folder.File(longName + "b.msi");
    std::filesystem::copy_file(files.A, a);
    std::filesystem::copy_file(files.B, b);
    TTempDir output;
    TToolRun run = RunTool(
        RunConvert, {"--to", "msi", "-o", output.Path(), "--interpolate", "freq", "1825", a, b});
    EXPECT_EQ(run.Status, 0) << run.Err;
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(output.Path())) {
        written.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(written.size(), 1u);
    EXPECT_LE(written[0].size(), 255u);
    EXPECT_EQ(written[0].substr(written[0].size() - 16), " at 1825 MHz.msi");
    // Cut between characters: every \u00E9 kept whole.
    EXPECT_EQ(std::count(written[0].begin(), written[0].end(), '\xC3'),
              std::count(written[0].begin(), written[0].end(), '\xA9'));
    EXPECT_NE(LoadPatternFile(output.File(written[0])).TakeFirst(), nullptr);

    // Beside the first input, in a folder nobody may write.
    std::filesystem::permissions(files.Folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    run = RunTool(RunConvert, {"--to", "msi", "--envelope", files.A, files.B});
    std::filesystem::permissions(files.Folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "ostrel-convert: " + files.Folder.File("Envelope of 2.msi") +
                           ": cannot be written beside " + files.A +
                           ": Permission denied; use -o DIR\n");
}

}  // namespace
}  // namespace ostrel
