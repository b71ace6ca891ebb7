#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/FileReport.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

TRun Inspect(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    TRun run;
    run.Status = RunInspect(arguments, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

std::string Panel() {
    return OstrelText(
        "FREQUENCY 1850\r\nH_WIDTH 65\r\nGAIN 15.85 dBd\r\n", [](double a) { return a / 10; },
        [](double a) { return a / 20; });
}

TEST(Inspect, OneBlockPerFileInOrderSeparatedByAnEmptyLine) {
    TTempDir folder;
    const std::string good = folder.Write("panel.txt", Panel());
    const std::string bad = folder.Write("broken.msi", "HORIZONTAL 360\r\n0 0\r\n");
    const TRun run = Inspect({good, bad});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "file: " + good +
                           "\nloaded: yes\nfrequency: 1850\ngain: 17.99\ngain_text: 18.0 (15.8)\n"
                           "horz_width: 65\nvert_width: \n\nfile: " +
                           bad + "\nloaded: no\nerror: Cannot find Vertical section.\n");
    EXPECT_EQ(Inspect({good, good}).Status, 0);
}

TEST(Inspect, CutsListAngleAndTheThreeCutsFor361Angles) {
    TTempDir folder;
    const std::string good = folder.Write("panel.txt", Panel());
    const TRun run = Inspect({"--cuts", good});
    ASSERT_EQ(run.Status, 0);
    const size_t cuts = run.Out.find("cuts:\n");
    ASSERT_NE(cuts, std::string::npos);
    std::istringstream lines(run.Out.substr(cuts + 6));
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(lines, line)) rows.push_back(line);
    ASSERT_EQ(rows.size(), 361u);
    EXPECT_EQ(rows.front(), "-180\t-18\t-9\t-18");
    EXPECT_EQ(rows[180], "0\t0\t0\t0");
    EXPECT_EQ(rows[181], "1\t-0.1\t-0.05\t-0.1");
    EXPECT_EQ(rows.back(), "180\t-18\t-9\t-18");
}

TEST(Inspect, UsageErrorsExitWith2) {
    TRun run = Inspect({});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err,
              "usage: ostrel-inspect [--cuts] [--edx EDXFILE]... [-r FOLDER]... [FILE]...\n"
              "       ostrel-inspect --edx-table EDXFILE\n");
    run = Inspect({"--cuts"});
    EXPECT_EQ(run.Status, 2);
    run = Inspect({"--verbose", "x.msi"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("unknown option '--verbose'"), std::string::npos);
    EXPECT_EQ(run.Out, "");
    // After "--" every argument is a file, even one that looks like an option.
    run = Inspect({"--", "--cuts"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Out.find("file: --cuts\nloaded: no\nerror: Cannot open file"), std::string::npos);
}

TEST(Inspect, EdxFilesGiveOneBlockPerCutOrTheClipboardTable) {
    TTempDir folder;
    const std::string edx =
        folder.Write("site.doc", EdxText(
                                     72, [](int a) { return a / 10.0; },
                                     [](int c, int e) { return c + (e + 90) / 1000.0; }));
    const std::string panel = folder.Write("panel.txt", Panel());
    TRun run = Inspect({"--cuts", "--edx", edx, panel});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    const std::string firstBlock =
        "file: az_angle_ref_AZ 0\nloaded: yes\nfrequency: \ngain: 0\ngain_text: 0.0 (-2.1)\n"
        "horz_width: \nvert_width: \ncuts:\n-180\t-18\t-60\t-18.09\n";
    EXPECT_EQ(run.Out.substr(0, firstBlock.size()), firstBlock);
    EXPECT_NE(run.Out.find("\n0\t0\t-0.09\t-0.09\n"), std::string::npos);
    EXPECT_NE(run.Out.find("\n\nfile: az_angle_ref_AZ 355\nloaded: yes\n"), std::string::npos);
    EXPECT_NE(run.Out.find("\n\nfile: " + panel + "\nloaded: yes\n"), std::string::npos);
    size_t blocks = 0;
    for (size_t at = run.Out.find("file: "); at != std::string::npos;
         at = run.Out.find("file: ", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(blocks, 73u);

    run = Inspect({"--edx-table", edx});
    EXPECT_EQ(run.Status, 0);
    ASSERT_EQ(run.Out.substr(0, 15), "\tAZ 180\tAZ 185\t");
    EXPECT_EQ(run.Out.substr(run.Out.size() - 8), "\t36.18\r\n");

    const std::string shortFile =
        folder.Write("short.doc", EdxText(
                                      70, [](int) { return 0.0; }, [](int, int) { return 1.0; }));
    for (const char* option : {"--edx", "--edx-table"}) {
        run = Inspect({option, shortFile});
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Out, "file: " + shortFile +
                               "\nloaded: no\nerror: The file has 70 vertical cuts; the cut table "
                               "needs at least 72\n");
    }
    EXPECT_EQ(Inspect({"--edx-table", edx, panel}).Status, 2);
    EXPECT_EQ(Inspect({"--edx"}).Status, 2);
}

}  // namespace
}  // namespace ostrel
