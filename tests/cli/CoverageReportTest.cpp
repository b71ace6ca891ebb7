#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/FileReport.h"
#include "support/ToolRun.h"

namespace ostrel {
namespace {

const std::string kTwoCuts = OSTREL_SAMPLES_DIR "/sector65_dbd.txt";

TToolRun Inspect(const std::vector<std::string>& arguments) {
    return RunTool(RunInspect, arguments);
}

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST(InspectCoverage, KeyDistancesThenProfileThenGridRowByRow) {
    const TToolRun run = Inspect({"--coverage", kTwoCuts, "--mech-tilt", "6", "--radius", "0.1",
                                  "--step", "50", "--height", "40", "--model", "hata-urban"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::vector<std::string> lines = Lines(run.Out);
    ASSERT_EQ(lines.size(), 2u + 4u + 10u + 25u);
    EXPECT_EQ(lines[0], "model: hata-urban");
    EXPECT_EQ(lines[1], "note: outside the model's range: frequency 1850 MHz (150-1500 MHz)");
    // 38.5 m below the antenna, 6 degrees down.
    EXPECT_EQ(lines[2], "beam_hit_m: 366.3");
    EXPECT_EQ(lines[3].rfind("inner_3db_m: ", 0), 0u);
    EXPECT_EQ(lines[6].rfind("profile 10 ", 0), 0u);
    EXPECT_EQ(lines[15].rfind("profile 100 ", 0), 0u);
    EXPECT_EQ(lines[16].rfind("-100 100 ", 0), 0u);
    EXPECT_EQ(lines[18].rfind("0 100 ", 0), 0u);
    EXPECT_EQ(lines[28].rfind("0 0 ", 0), 0u);
    EXPECT_EQ(lines.back().rfind("100 -100 ", 0), 0u);
    // The grid's boresight point at 100 m is the profile's last point.
    EXPECT_EQ(lines[18].substr(6), lines[15].substr(12));
}

TEST(InspectCoverage, WrongValuesAreUsageErrorsNamingTheOption) {
    struct TCase {
        std::vector<std::string> Arguments;
        const char* Problem;
    };
    const TCase cases[] = {
        {{"--height", "high"}, "--height: not a number: 'high'"},
        {{"--height", "1"}, "--height: the antenna must be above the receiver"},
        {{"--rx-height", "1,5"}, "--rx-height: not a number"},
        {{"--radius", "0"}, "--radius: "},
        {{"--step", "-5"}, "--step: "},
        {{"--power", "nan"}, "--power: not a number"},
        {{"--model", "okumura"}, "--model: unknown model 'okumura'"},
        {{"--method", "exact"}, "--method: unknown method 'exact'"},
        {{"--method", "measured"}, "--method: the file holds two cuts, no measured sphere"},
        {{"--cuts"}, "--coverage takes one file and only its own options"},
        {{kTwoCuts}, "--coverage takes one file"},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> arguments = {"--coverage", kTwoCuts};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        const TToolRun run = Inspect(arguments);
        EXPECT_EQ(run.Status, 2) << c.Problem;
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find(c.Problem), std::string::npos) << run.Err;
    }
    EXPECT_EQ(Inspect({"--height", "20", kTwoCuts}).Status, 2);
    EXPECT_EQ(Inspect({"--coverage", OSTREL_SAMPLES_DIR "/missing.msi"}).Status, 1);
}

}  // namespace
}  // namespace ostrel
