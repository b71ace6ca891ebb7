#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/FileReport.h"
#include "support/PatternText.h"
#include "support/TempDir.h"
#include "support/ToolRun.h"

namespace ostrel {
namespace {

using TRun = TToolRun;

TRun Inspect(const std::vector<std::string>& arguments) {
    return RunTool(RunInspect, arguments);
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
    EXPECT_EQ(run.Err.rfind("usage: ostrel-inspect [--cuts] [--figures] [--edx EDXFILE]... "
                            "[-r FOLDER]... [FILE]...\n",
                            0),
              0u);
    run = Inspect({"--cuts"});
    EXPECT_EQ(run.Status, 2);
    run = Inspect({"--verbose", "x.msi"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("unknown option '--verbose'"), std::string::npos);
    EXPECT_EQ(run.Out, "");
    // An option that takes a value never swallows the next option.
    run = Inspect({"--edx", "--cuts", "x.doc"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("--edx needs a value"), std::string::npos);
    // Help and version go to standard output and succeed, wherever they stand.
    run = Inspect({"x.msi", "--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.rfind("usage: ostrel-inspect", 0), 0u);
    EXPECT_EQ(run.Err, "");
    run = Inspect({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.rfind("ostrel-inspect ", 0), 0u);
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

namespace ostrel {
namespace {

// 0.4 dB per degree away from 0 on both cuts: widths 15 and 50, F/B 60 and 72, no side lobes.
std::string VBeam() {
    auto level = [](double a) { return 0.4 * std::min(a, 360 - a); };
    return OstrelText("FREQUENCY 1850\r\nH_WIDTH 65\r\nFRONT_TO_BACK 25\r\nTILT 2\r\n", level,
                      level);
}

TEST(Inspect, FiguresAndCsvListEveryFigureAndTheHeaderCheck) {
    TTempDir folder;
    const std::string path = folder.Write("v,\"beam\".txt", VBeam());
    const TRun figures = Inspect({"--figures", path});
    EXPECT_EQ(figures.Status, 0);
    const std::string check = "h_width 65 vs 15.0; fb 25 vs 60.0/72.0; tilt 2 vs 0.0";
    EXPECT_NE(figures.Out.find("vert_width: \nh_width_3db: 15.0\nh_width_10db: 50.0\n"
                               "squint: 0.0\nfb_30: 60.0\nfb_180: 72.0\nh_peak_sidelobe: \n"
                               "v_width_3db: 15.0\nv_width_10db: 50.0\ntilt: 0.0\nusls: \n"
                               "null_fill: \nheader_check: " +
                               check + "\n"),
              std::string::npos)
        << figures.Out;

    const TRun csv = Inspect({"--csv", path, folder.Path() + "/missing.txt"});
    EXPECT_EQ(csv.Status, 1);
    EXPECT_NE(csv.Err.find("missing.txt"), std::string::npos);
    EXPECT_EQ(csv.Out,
              "ID,File name,\"Frequency, MHz\",\"Gain, dBi (dBd)\",Horz. Width,Vert. Width,"
              "H Rotation Offset,V Rotation Offset,h_width_3db,h_width_10db,squint,fb_30,fb_180,"
              "h_peak_sidelobe,v_width_3db,v_width_10db,tilt,usls,null_fill,peak_azimuth,"
              "peak_vertical,directivity,efficiency,eas_cell,eas_int1,eas_int2,eas_int3,eas_emf,"
              "eas_wasted,rms_cutsum,max_cutsum,rms_wbi,max_wbi,header_check\r\n"
              "0,\"v,\"\"beam\"\".txt\",1850,,65,,0,0,15.0,50.0,0.0,60.0,72.0,,15.0,"
              "50.0,0.0,,,,,,,,,,,,,,,,," +
                  check + "\r\n");
    EXPECT_EQ(Inspect({"--csv", "--cuts", path}).Status, 2);
}

TEST(Inspect, Grid3dPrintsOneLinePerDirectionAndRefusesStepsThatDoNotDivideNinety) {
    TTempDir folder;
    const std::string panel = folder.Write("panel.txt", Panel());
    const TRun run = Inspect({"--grid3d", "45", panel});
    EXPECT_EQ(run.Status, 0) << run.Err;
    std::istringstream lines(run.Out);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(all.size(), 1u + 9u * 5u);
    EXPECT_EQ(all[0], "azimuth vertical level");
    EXPECT_EQ(all[1].rfind("-180 -90 ", 0), 0u) << all[1];
    EXPECT_EQ(all[1 + 4 * 5 + 2], "0 0 0.000") << "straight ahead";
    EXPECT_EQ(all[1 + 4 * 5 + 3], "0 45 -2.250") << "the vertical cut below the boresight";
    EXPECT_EQ(all.back().rfind("180 90 ", 0), 0u) << all.back();

    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--grid3d", "7", panel},
                                                  {"--grid3d", "0", panel},
                                                  {"--grid3d", "2.5", panel},
                                                  {"--grid3d", "5"}}) {
        const TRun refused = Inspect(wrong);
        EXPECT_EQ(refused.Status, 2) << wrong[1];
        EXPECT_TRUE(refused.Out.empty());
        EXPECT_NE(refused.Err.find("--grid3d STEP FILE"), std::string::npos);
    }
    EXPECT_EQ(Inspect({"--grid3d", "5", folder.Path() + "/missing.msi"}).Status, 1);
}

// A 3D file adds the figures of its sphere, and its grid is the measured one unless told.
TEST(Inspect, SphereFilesShowTheirFiguresAndMeasuredGrid) {
    const std::string sphere = OSTREL_SAMPLES_DIR "/panel65_cw_5deg.json";
    const std::string twoCuts = OSTREL_SAMPLES_DIR "/sector65_dbd.txt";
    const TRun figures = Inspect({"--figures", sphere, twoCuts});
    EXPECT_EQ(figures.Status, 0) << figures.Err;
    const size_t second = figures.Out.find("file: " + twoCuts);
    for (const char* line : {"\npeak_azimuth: 0.0\n", "\npeak_vertical: 5.0\n",
                             "\ndirectivity: ", "\neas_cell: ", "\nmax_wbi: "}) {
        EXPECT_LT(figures.Out.find(line), second) << line;
        EXPECT_EQ(figures.Out.find(line, second), std::string::npos) << line;
    }
    // Three decimals for the directivity, two for the shares.
    const size_t directivity = figures.Out.find("directivity: ") + 13;
    EXPECT_EQ(figures.Out.find('\n', directivity) - figures.Out.find('.', directivity), 4u);

    const TRun measured = Inspect({"--grid3d", "30", sphere, "--method", "measured"});
    EXPECT_EQ(measured.Status, 0) << measured.Err;
    EXPECT_EQ(Inspect({"--grid3d", "30", sphere}).Out, measured.Out);
    EXPECT_NE(Inspect({"--grid3d", "30", sphere, "--method", "wbi"}).Out, measured.Out);
    EXPECT_EQ(Inspect({"--grid3d", "30", twoCuts}).Out,
              Inspect({"--grid3d", "30", "--method", "wbi", twoCuts}).Out);
    const TRun refused = Inspect({"--grid3d", "30", "--method", "measured", twoCuts});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_TRUE(refused.Out.empty());
    EXPECT_NE(refused.Err.find("no measured sphere"), std::string::npos) << refused.Err;
    EXPECT_EQ(Inspect({"--grid3d", "30", "--method", "best", sphere}).Status, 2);
    EXPECT_EQ(Inspect({"--method", "wbi", sphere}).Status, 2);
}

}  // namespace
}  // namespace ostrel

namespace ostrel {
namespace {

// The CSV and the 3D grid take every pattern of a file, as the blocks do: a file of two
// frequencies is two rows (the next file's ID follows them) and two grids.
TEST(Inspect, EveryOutputTakesEveryPatternOfAFile) {
    const std::string twoFrequencies = OSTREL_SAMPLES_DIR "/sector65_2freq.nsm";
    const std::string omni = OSTREL_SAMPLES_DIR "/omni_850.msi";
    const TRun csv = Inspect({"--csv", twoFrequencies, omni});
    EXPECT_EQ(csv.Status, 0) << csv.Err;
    for (const char* row : {"\r\n0,sector65_2freq.nsm@1850,", "\r\n1,sector65_2freq.nsm@2100,",
                            "\r\n2,omni_850.msi,"}) {
        EXPECT_NE(csv.Out.find(row), std::string::npos) << row;
    }

    const TRun grid = Inspect({"--grid3d", "90", twoFrequencies});
    EXPECT_EQ(grid.Status, 0) << grid.Err;
    EXPECT_EQ(grid.Out.find("file: " + twoFrequencies + "@1850\nazimuth vertical level\n"), 0u);
    EXPECT_NE(grid.Out.find("\n\nfile: " + twoFrequencies + "@2100\nazimuth vertical level\n"),
              std::string::npos);
}

// A folder of -r that cannot be read or holds no pattern file is a failed block.
TEST(Inspect, FoldersThatGiveNothingAreFailedBlocks) {
    TTempDir folder;
    std::filesystem::create_directories(folder.File("empty"));
    std::filesystem::create_directories(folder.File("lib"));
    const std::string panel = folder.Write("lib/panel.txt", Panel());
    const std::string empty = folder.File("empty");
    const std::string gone = folder.File("gone");
    TRun run = Inspect({"-r", empty, "-r", folder.File("lib"), "-r", gone});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out.rfind("file: " + empty + "\nloaded: no\nerror: no pattern files below " +
                                empty + "\n\nfile: " + panel + "\nloaded: yes\n",
                            0),
              0u)
        << run.Out;
    EXPECT_NE(run.Out.find("\n\nfile: " + gone + "\nloaded: no\nerror: cannot read folder " + gone +
                           ": No such file or directory\n"),
              std::string::npos);
    run = Inspect({"--csv", "-r", empty});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "ostrel-inspect: no pattern files below " + empty + "\n");
}

}  // namespace
}  // namespace ostrel
