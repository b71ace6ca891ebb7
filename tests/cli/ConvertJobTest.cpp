#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/ConvertJob.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "model/SafeFile.h"
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
    EXPECT_TRUE(LoadPatternFile(folder.File("-x.nsm")).TakeFirst());

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

TEST(Convert, NamesFromInsideFilesStayInTheFolderAndLostFiguresAreSaid) {
    TTempDir folder;
    std::string nsma = ReadFileBytes(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm");
    nsma.replace(nsma.find("PATFRE:,1850"), 12, "PATFRE:,1850/1860");
    nsma.replace(nsma.find("PATFRE:,2100"), 12, "PATFRE:,../x");
    const std::string input = folder.Write("two.nsm", nsma);
    TRun run = Convert({"--to", "msi", "-o", folder.Path(), input});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(LoadPatternFile(folder.File("two@1850_1860.msi")).TakeFirst());
    EXPECT_TRUE(LoadPatternFile(folder.File("two@.._x.msi")).TakeFirst());
    EXPECT_NE(run.Err.find("two@.._x.msi: note: the polarisation"), std::string::npos) << run.Err;

    // A pattern the format cannot take is refused, naming the record.
    std::string ostrel = ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi");
    ostrel.replace(ostrel.find("GAIN"), 4, "NAME");
    run = Convert({"--to", "nsm", folder.Write("none.msi", ostrel)});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("none.msi: not written, an NSMA file needs the gain (MDGAIN)"),
              std::string::npos)
        << run.Err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.nsm")));
    // An omnidirectional pattern has no horizontal beam width a BASTA file could hold.
    run = Convert({"--to", "json", "-o", folder.Path(), OSTREL_SAMPLES_DIR "/omni_850.msi"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("not written, a BASTA JSON file needs \"Phi_HPBW\""), std::string::npos);
}

TEST(Convert, KilledRunsLeaveNoTemporaryFileBehind) {
    TTempDir folder;
    // Stopped while writing: the handler removes the file being written, then the program
    // ends as the signal ends it.
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        const std::string temporary = folder.Write(".out.nsm.tmp-abcd1234", "half");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RemoveTemporaryFilesOnSignals();
            const TPendingTemporaryFile pending(temporary);
            ::raise(signalNumber);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_FALSE(std::filesystem::exists(temporary)) << signalNumber;
    }
    // What a run killed some time ago left is removed by the next run for that target.
    const std::string input =
        folder.Write("out.msi", ReadFileBytes(OSTREL_SAMPLES_DIR "/omni_850.msi"));
    const std::string stale = folder.Write(".out.nsm.tmp-0f3a9c21", "half");
    const std::string fresh = folder.Write(".out.nsm.tmp-abcd1234", "half");
    std::filesystem::last_write_time(
        stale, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    EXPECT_EQ(Convert({"--to", "nsm", input}).Status, 0);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(fresh)) << "another run may be writing it";
}

}  // namespace
}  // namespace ostrel
