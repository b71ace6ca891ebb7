#include "cli/PrintJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "formats/TextLines.h"
#include "model/Settings.h"
#include "support/RecordingDrawer.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

const std::string kSamples = OSTREL_SAMPLES_DIR "/";

// Records what each job drew and the request it was set up from.
class TRecordingTarget : public TPdfTarget {
public:
    class TDrawer : public TRecordingDrawer {
    public:
        explicit TDrawer(TRecordingTarget& target) : FTarget(target) {}
        ~TDrawer() override { FTarget.Calls = Calls; }

    private:
        TRecordingTarget& FTarget;
    };

    std::unique_ptr<TDeviceDrawer> CreateDrawer(const TPrintRequest& request) override {
        ++Jobs;
        Request = request;
        return std::make_unique<TDrawer>(*this);
    }
    const TGraphic* Logo() override { return nullptr; }
    std::string Finish(const TPrintRequest&) override { return FinishFailure; }

    int Jobs = 0;
    TPrintRequest Request;
    std::vector<TDrawCall> Calls;
    std::string FinishFailure;
};

bool HasText(const std::vector<TDrawCall>& calls, const std::string& text) {
    return std::any_of(calls.begin(), calls.end(), [&text](const TDrawCall& call) {
        return call.Op == "TextOut" && call.Text == text;
    });
}

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun RunTool(const std::vector<std::string>& arguments, TRecordingTarget& target) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunPrint(arguments, out, err, target);
    return {status, out.str(), err.str()};
}

TEST(PrintJob, UsageErrorsAndHelp) {
    const std::vector<std::vector<std::string>> usageErrors = {
        {},
        {"-o", "x.pdf"},
        {kSamples + "omni_850.msi"},
        {"--mode", "all", "-o", "x.pdf", kSamples + "omni_850.msi"},
        {"--scale", "30", "-o", "x.pdf", kSamples + "omni_850.msi"},
        {"--paper", "legal", "-o", "x.pdf", kSamples + "omni_850.msi"},
        {"--colour", "-o", "x.pdf", kSamples + "omni_850.msi"},
        {kSamples + "omni_850.msi", "-o"},
        {"-o", "x.pdf", kSamples + "omni_850.msi", "--cut"},
        // A value-taking option never swallows the next option.
        {"-o", "--landscape", kSamples + "omni_850.msi"},
    };
    for (const auto& arguments : usageErrors) {
        TRecordingTarget target;
        const TRun run = RunTool(arguments, target);
        EXPECT_EQ(run.Status, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.Err.find("usage: ostrel-print"), std::string::npos);
        EXPECT_EQ(target.Jobs, 0);
    }
    TRecordingTarget target;
    const TRun wrongValue = RunTool({"--mode", "all", "-o", "x.pdf", "a.msi"}, target);
    EXPECT_EQ(wrongValue.Err.rfind("ostrel-print: --mode: 'all' is none of single, overlay, both\n"
                                   "usage: ostrel-print ",
                                   0),
              0u);
    const TRun help = RunTool({"--help"}, target);
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--landscape"), std::string::npos);
    EXPECT_EQ(target.Jobs, 0);
}

TEST(PrintJob, OptionsReachTheJobAndLeaveTheSettingsAlone) {
    struct TCase {
        std::vector<std::string> Options;
        double Floor;
        bool Log;
        THCut HCut;
    } cases[] = {
        {{}, -40, false, THCut::Azimuth},
        {{"--scale", "25", "--cut", "horizontal"}, -25, false, THCut::Horizontal},
        {{"--scale", "log"}, -20, true, THCut::Azimuth},
    };
    const TSettings before = GetSettings();
    for (const TCase& c : cases) {
        std::vector<std::string> arguments = c.Options;
        for (const char* a : {"--graph", "cartesian", "--paper", "a4", "--landscape", "-o"}) {
            arguments.push_back(a);
        }
        arguments.push_back("out.pdf");
        arguments.push_back(kSamples + "omni_850.msi");
        TRecordingTarget target;
        const TRun run = RunTool(arguments, target);
        EXPECT_EQ(run.Status, 0) << run.Err;
        ASSERT_EQ(target.Jobs, 1);
        const TViewState state = PrintViewState(target.Request);
        EXPECT_DOUBLE_EQ(state.RadialFloorDb, c.Floor);
        EXPECT_EQ(state.LogScale, c.Log);
        EXPECT_EQ(state.HCut, c.HCut);
        // The Cartesian level axes of the pages were drawn on that scale.
        EXPECT_EQ(HasText(target.Calls, "-3 dB"), c.Log);
        EXPECT_EQ(HasText(target.Calls, "-40 dB"), c.Floor == -40);
        EXPECT_TRUE(target.Request.A4);
        EXPECT_TRUE(target.Request.Landscape);
        EXPECT_EQ(target.Request.Output, "out.pdf");
        EXPECT_FALSE(target.Calls.empty());
        EXPECT_DOUBLE_EQ(GetSettings().FRadialFloor, before.FRadialFloor);
        EXPECT_EQ(GetSettings().FHCut, before.FHCut);
    }
}

TEST(PrintJob, BadFilesAreReportedAndSkipped) {
    TRecordingTarget target;
    const TRun run =
        RunTool({"--mode", "both", "-o", "out.pdf", kSamples + "broken/no_vertical_section.txt",
                 kSamples + "sector65_dbd.txt", kSamples + "panel_1900.vwa"},
                target);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("no_vertical_section.txt: Cannot find Vertical section."),
              std::string::npos)
        << run.Err;
    ASSERT_EQ(target.Jobs, 1);
    // The loaded files are numbered from 0 in argument order; the title is the first one.
    ASSERT_FALSE(target.Calls.empty());
    EXPECT_EQ(target.Calls[0].Text, "sector65_dbd");
    bool first = false;
    bool second = false;
    for (const TDrawCall& call : target.Calls) {
        first = first || (call.Op == "TextOut" && call.Text == "(0) ");
        second = second || (call.Op == "TextOut" && call.Text == "(1) ");
    }
    EXPECT_TRUE(first && second);

    TRecordingTarget none;
    const TRun nothing = RunTool(
        {"-o", "out.pdf", kSamples + "broken/level_with_unit.msi", kSamples + "missing.txt"}, none);
    EXPECT_EQ(nothing.Status, 1);
    EXPECT_EQ(none.Jobs, 0) << "no PDF when no file loads";
    EXPECT_NE(nothing.Err.find("missing.txt"), std::string::npos);

    // A folder of -r that gives nothing is a reason, not a usage error; the rest still prints.
    TTempDir folder;
    std::filesystem::create_directories(folder.File("empty"));
    TRecordingTarget some;
    const TRun partly =
        RunTool({"-o", "out.pdf", "-r", folder.File("empty"), kSamples + "omni_850.msi"}, some);
    EXPECT_EQ(partly.Status, 1);
    EXPECT_EQ(partly.Err, "ostrel-print: no pattern files below " + folder.File("empty") + "\n");
    EXPECT_EQ(some.Jobs, 1);
}

TEST(PrintJob, OutputsThatAreInputsOrCannotBeWrittenAreRefusedWithTheReason) {
    TTempDir folder;
    const std::string input = folder.Write("s.txt", ReadFileBytes(kSamples + "sector65_dbd.txt"));
    std::filesystem::create_symlink(input, folder.File("link.pdf"));
    std::filesystem::create_hard_link(input, folder.File("hard.pdf"));
    for (const char* output : {"s.txt", "link.pdf", "hard.pdf"}) {
        TRecordingTarget target;
        const TRun run =
            RunTool({"-o", folder.File(output), kSamples + "omni_850.msi", input}, target);
        EXPECT_EQ(run.Status, 2) << output;
        EXPECT_EQ(run.Err, "ostrel-print: the output " + folder.File(output) +
                               " is the input file " + input + "; nothing was read or written\n");
        EXPECT_EQ(target.Jobs, 0);
    }

    TRecordingTarget notPdf;
    const std::string other = folder.Write("t.txt", "HORIZONTAL 360\r\n");
    EXPECT_EQ(RunTool({"-o", other, input}, notPdf).Status, 2) << "as '-o *.txt' would give";
    EXPECT_EQ(notPdf.Jobs, 0);
    EXPECT_EQ(ReadFileBytes(other), "HORIZONTAL 360\r\n");
    // A temporary file a killed run left beside the output goes.
    const std::string stale = folder.Write(".old.pdf.tmp-0f3a9c21", "half");
    std::filesystem::last_write_time(
        stale, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    TRecordingTarget pdf;
    EXPECT_EQ(RunTool({"-o", folder.Write("old.pdf", "%PDF-1.4 old"), input}, pdf).Status, 0);
    EXPECT_FALSE(std::filesystem::exists(stale));

    const std::pair<std::string, std::string> unwritable[] = {
        {folder.File("missing/out.pdf"), "No such file or directory"},
        {folder.Path(), "Is a directory"},
    };
    for (const auto& [output, reason] : unwritable) {
        TRecordingTarget target;
        const TRun run = RunTool({"-o", output, input}, target);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, "ostrel-print: cannot write " + output + ": " + reason + "\n");
        EXPECT_EQ(target.Jobs, 0) << "refused before anything is read";
    }

    TRecordingTarget full;
    full.FinishFailure = "No space left on device";
    const TRun run = RunTool({"-o", folder.File("out.pdf"), input}, full);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "ostrel-print: cannot write " + folder.File("out.pdf") +
                           ": No space left on device\n");
    EXPECT_EQ(ReadFileBytes(input), ReadFileBytes(kSamples + "sector65_dbd.txt"));
}

}  // namespace
}  // namespace ostrel
