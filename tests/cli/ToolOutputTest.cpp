#include "cli/ToolOutput.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/ConvertJob.h"
#include "cli/FileReport.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

// What a tool writes on standard output arrives whole, or the tool says that it did not and
// fails: a full disk never leaves an empty file behind an exit status of 0.
TEST(ToolOutput, OutputThatCannotBeWrittenFailsTheToolWithTheReason) {
    const TTempDir dir;
    const std::string samples = OSTREL_SAMPLES_DIR "/";
    const std::string panel = dir.Write("panel.msi", ReadFileBytes(samples + "tilted_6deg.msi"));
    const std::vector<std::vector<std::string>> cases = {
        {"--cuts", samples + "sector65_2freq.nsm", panel},
        {"--csv", samples + "sector65_2freq.nsm", panel},
        {"--edx-table", samples + "sector65_edx.doc"},
        {"--grid3d", "1", panel},  // about 1 MB, many buffers
        {"--help"},
        {"convert", "--to", "csv", "-o", dir.Path(), panel},
    };
    for (const std::vector<std::string>& c : cases) {
        SCOPED_TRACE(c.front());
        const bool convert = c.front() == "convert";
        const char* tool = convert ? "ostrel-convert" : "ostrel-inspect";
        const auto run = [&](std::ostream& out, std::ostream& err) {
            return convert ? RunConvert({c.begin() + 1, c.end()}, out, err)
                           : RunInspect(c, out, err);
        };
        std::ostringstream expected;
        std::ostringstream err;
        EXPECT_EQ(run(expected, err), 0);
        const std::string copy = dir.File("copy.txt");
        const int copyFd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_EQ(RunWithCheckedOutput(tool, run, err, copyFd), 0);
        EXPECT_EQ(ReadFileBytes(copy), expected.str());
        EXPECT_EQ(RunWithCheckedOutput(tool, run, err, ::open("/dev/full", O_WRONLY)), 1);
        EXPECT_EQ(err.str(),
                  std::string(tool) + ": cannot write standard output: No space left on device\n");
    }
}

}  // namespace
}  // namespace ostrel
