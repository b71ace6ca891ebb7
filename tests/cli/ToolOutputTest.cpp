#include "cli/ToolOutput.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"
#include "cli/FileReport.h"
#include "cli/PrintJob.h"
#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

const std::string kSamples = OSTREL_SAMPLES_DIR "/";

// Help and version need no pages.
class TNoPdf : public TPdfTarget {
public:
    std::unique_ptr<TDeviceDrawer> CreateDrawer(const TPrintRequest&) override { return nullptr; }
    const TGraphic* Logo() override { return nullptr; }
    std::string Finish(const TPrintRequest&) override { return "not expected"; }
};

struct TToolCase {
    const char* Tool;
    std::vector<std::string> Arguments;
};

int RunCase(const TToolCase& c, std::ostream& out, std::ostream& err) {
    const std::string tool = c.Tool;
    if (tool == "ostrel-inspect") return RunInspect(c.Arguments, out, err);
    if (tool == "ostrel-convert") return RunConvert(c.Arguments, out, err);
    TNoPdf target;
    return RunPrint(c.Arguments, out, err, target);
}

// What a tool writes on standard output arrives whole, or the tool says that it did not and
// fails: a full disk never leaves an empty file behind an exit status of 0.
TEST(ToolOutput, OutputThatCannotBeWrittenFailsTheToolWithTheReason) {
    const TTempDir dir;
    const std::string panel = dir.Write("panel.msi", ReadFileBytes(kSamples + "tilted_6deg.msi"));
    const std::vector<TToolCase> cases = {
        {"ostrel-inspect", {"--cuts", kSamples + "sector65_2freq.nsm", panel}},
        {"ostrel-inspect", {"--csv", kSamples + "sector65_2freq.nsm", panel}},
        {"ostrel-inspect", {"--edx-table", kSamples + "sector65_edx.doc"}},
        {"ostrel-inspect", {"--grid3d", "1", panel}},
        {"ostrel-inspect", {"--help"}},
        {"ostrel-inspect", {"--version"}},
        {"ostrel-convert", {"--to", "csv", "-o", dir.Path(), panel}},
        {"ostrel-convert", {"--help"}},
        {"ostrel-print", {"--help"}},
        {"ostrel-print", {"--version"}},
    };
    for (const TToolCase& c : cases) {
        SCOPED_TRACE(c.Tool + (" " + c.Arguments.front()));
        std::ostringstream expected;
        std::ostringstream ignored;
        const int status = RunCase(c, expected, ignored);
        EXPECT_EQ(status, 0);

        const std::string copy = dir.File("copy.txt");
        std::ostringstream err;
        EXPECT_EQ(RunWithCheckedOutput(
                      c.Tool, [&](std::ostream& o, std::ostream& e) { return RunCase(c, o, e); },
                      err, ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)),
                  0);
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(ReadFileBytes(copy), expected.str());

        EXPECT_EQ(RunWithCheckedOutput(
                      c.Tool, [&](std::ostream& o, std::ostream& e) { return RunCase(c, o, e); },
                      err, ::open("/dev/full", O_WRONLY | O_CLOEXEC)),
                  1);
        EXPECT_EQ(err.str(), std::string(c.Tool) +
                                 ": cannot write standard output: No space left on device\n");
    }
}

}  // namespace
}  // namespace ostrel
