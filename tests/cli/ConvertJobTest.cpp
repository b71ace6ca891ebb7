#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/ConvertJob.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"
#include "support/ToolRun.h"

namespace ostrel {
namespace {

using TRun = TToolRun;

TRun Convert(const std::vector<std::string>& arguments) {
    return RunTool(RunConvert, arguments);
}

TEST(Convert, UsageErrorsHelpAndVersion) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
        {{}, ""},
        {{"a.msi"}, "--to is required"},
        {{"--to", "pdf", "a.msi"}, "unknown format 'pdf'"},
        {{"--to=nsm"}, "no file given"},
        {{"--to", "nsm", "-o", "/no/such/folder", "a"}, "'/no/such/folder' is not a folder"},
        {{"--to", "nsm", "--fast", "a"}, "unknown option '--fast'"},
        {{"a", "--to"}, "--to needs a value"},
    };
    for (const auto& [arguments, message] : usage) {
        const TRun run = Convert(arguments);
        EXPECT_EQ(run.Status, 2) << message;
        EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
        EXPECT_NE(run.Err.find("usage: ostrel-convert"), std::string::npos);
    }
    const TRun help = Convert({"a", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--to FORMAT"), std::string::npos);
    EXPECT_EQ(Convert({"--version"}).Status, 0);
}

TEST(Convert, WritesOneFilePerPatternAndNeverOverAnInput) {
    TTempDir folder;
    const std::string sample = OSTREL_SAMPLES_DIR "/omni_850.msi";
    const std::string input = folder.Write("omni.msi", ReadFileBytes(sample));
    // Options after files, "--" before a file named like an option.
    const std::string dashed =
        folder.Write("-x.vwa", ReadFileBytes(OSTREL_SAMPLES_DIR "/panel_1900.vwa"));
    TRun run = Convert({input, "-o", folder.Path(), "--to", "nsm", "--", "-x.vwa"});
    EXPECT_EQ(run.Status, 1);  // "-x.vwa" is not in the working folder
    run = Convert({input, "-o", folder.Path(), "--to", "nsm", "--", dashed});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, input + " -> " + folder.File("omni.nsm") + "\n" + dashed + " -> " +
                           folder.File("-x.nsm") + "\n");
    EXPECT_TRUE(LoadPatternData(folder.File("-x.nsm")));

    // The output would be the input itself: refused, the input untouched.
    const std::string before = ReadFileBytes(input);
    run = Convert({"--to", "msi", input});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("is an input file"), std::string::npos) << run.Err;
    EXPECT_EQ(ReadFileBytes(input), before);

    // Two inputs of the same name: the second would replace the first's output.
    const std::string twin = folder.Write("omni.txt", before);
    run = Convert({"--to", "csv", input, twin});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("was already written in this run"), std::string::npos) << run.Err;
    EXPECT_TRUE(ReadFileBytes(folder.File("omni.csv")).starts_with("angle_deg,azimuth_db"));
}

}  // namespace
}  // namespace ostrel
