#include "shell/OpenBatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/PatternFolders.h"
#include "formats/PatternLoaders.h"
#include "formats/TextLines.h"
#include "model/MainModel.h"
#include "support/PatternText.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

std::string GoodFile(int frequency) {
    return OstrelText(
        "FREQUENCY " + std::to_string(frequency) + "\r\nGAIN 17 dBi\r\n",
        [](double a) { return std::min(12 * std::pow(a / 65, 2), 30.0); },
        [](double a) { return 3 + a / 100; });
}

// A library with good files, files that fail, a sub-folder and files no reader is for.
std::vector<std::string> MakeLibrary(const TTempDir& dir) {
    std::filesystem::create_directories(dir.File("b/c"));
    for (int i = 0; i < 12; ++i)
        dir.Write("b/p" + std::to_string(i % 10) + std::to_string(i) + ".pln", GoodFile(700 + i));
    dir.Write("a.txt", GoodFile(1800));
    dir.Write("b/c/broken.msi", "FREQUENCY 900\r\nHORIZONTAL 360\r\n");
    dir.Write("b/c/Z.VWA", "not a verizon file");
    dir.Write("b/notes.doc", GoodFile(1));
    dir.Write("readme", GoodFile(2));
    // An EDX pattern file under a name no reader claims is found by its content.
    dir.Write("b/c/edx.dat", ReadFileBytes(OSTREL_SAMPLES_DIR "/sector90_edx.pat"));
    std::vector<std::string> files;
    for (TScannedPath& scanned : ScanPatternFolder(dir.Path())) {
        EXPECT_EQ(scanned.Problem, "");
        files.push_back(std::move(scanned.Path));
    }
    return files;
}

struct TOutcome {
    std::vector<std::pair<int, std::string>> Rows;
    std::vector<std::string> Problems;
    std::string Status;
};

TOutcome Outcome(const TMainModel& model, const TOpenReport& report) {
    TOutcome outcome;
    for (int i = 0; i < model.Patterns.Count(); ++i) {
        outcome.Rows.emplace_back(model.Patterns.Items(i).Id, model.Patterns.Items(i).FileName);
    }
    outcome.Problems = report.Problems();
    outcome.Status = report.Message().Text;
    return outcome;
}

TEST(OpenBatch, FolderListsPatternFilesInPathOrder) {
    const TTempDir dir;
    const std::vector<std::string> files = MakeLibrary(dir);
    std::vector<std::string> relative;
    for (const std::string& file : files) relative.push_back(file.substr(dir.Path().size() + 1));
    std::vector<std::string> expected = {"a.txt"};
    for (int i = 0; i < 12; ++i) {
        expected.push_back("b/p" + std::to_string(i % 10) + std::to_string(i) + ".pln");
    }
    std::sort(expected.begin() + 1, expected.end());
    expected.insert(expected.begin() + 1, {"b/c/Z.VWA", "b/c/broken.msi", "b/c/edx.dat"});
    EXPECT_EQ(relative, expected);
    // Named files stay unread; the file the scan had to read keeps its bytes for the load.
    EXPECT_EQ(ScanPatternPaths({dir.File("readme"), dir.File("b/c")}),
              (std::vector<TScannedPath>{{dir.File("readme"), ""},
                                         {dir.File("b/c/Z.VWA"), ""},
                                         {dir.File("b/c/broken.msi"), ""},
                                         {dir.File("b/c/edx.dat"), "",
                                          ReadFileBytes(OSTREL_SAMPLES_DIR "/sector90_edx.pat")}}));
}

TEST(OpenBatch, ParallelLoadGivesWhatOneByOneGives) {
    const TTempDir dir;
    std::vector<std::string> paths = MakeLibrary(dir);
    // A file given twice, and one open before the batch: the duplicate rule applies to both.
    paths.push_back(paths[3]);
    paths.push_back(paths[0]);

    for (const bool allowDuplicates : {false, true}) {
        // One by one, as the viewer always opened files.
        TMainModel syncModel;
        syncModel.AddPattern(LoadPatternFile(paths[0]).TakeFirst());
        TOpenReport syncReport;
        for (const std::string& path : paths) {
            if (!allowDuplicates && syncModel.Patterns.IndexOfFileName(path) >= 0) {
                syncReport.Duplicate(path);
                continue;
            }
            TLoadedFile loaded = LoadPatternFile(path);
            const std::string& error = loaded.Failure;
            std::unique_ptr<TPatternData> pattern = loaded.TakeFirst();
            if (pattern) {
                syncModel.AddPattern(std::move(pattern));
                syncReport.Opened(path);
            } else {
                syncReport.Failed(path, error);
            }
        }
        const TOutcome expected = Outcome(syncModel, syncReport);

        for (const int threads : {1, 2, 5}) {
            for (const int maxAhead : {0, 1, 3}) {
                SCOPED_TRACE(testing::Message() << "threads " << threads << " ahead " << maxAhead
                                                << " duplicates " << allowDuplicates);
                TMainModel model;
                model.AddPattern(LoadPatternFile(paths[0]).TakeFirst());
                TOpenBatch batch(model, allowDuplicates);
                TOrderedLoad load(paths, threads, nullptr, nullptr, maxAhead);
                while (load.TakeNext([&batch](TLoadResult& result) { batch.Add(result); })) {
                }
                EXPECT_TRUE(load.Done());
                const TOutcome got = Outcome(model, batch.Report());
                EXPECT_EQ(got.Rows, expected.Rows);
                EXPECT_EQ(got.Problems, expected.Problems);
                EXPECT_EQ(got.Status, expected.Status);
            }
        }
    }
}

TEST(OpenBatch, AFileOfSeveralPatternsCountsOnceAndKeepsItsPartsApart) {
    const TTempDir dir;
    std::string nsma = ReadFileBytes(OSTREL_SAMPLES_DIR "/sector65_2freq.nsm");
    nsma.replace(nsma.find("PATFRE:,2100"), 12, "PATFRE:,2100.5");
    const std::string twoFrequencies = dir.Write("sector65_2freq.nsm", nsma);
    const std::string atSign = dir.Write("ant@home.txt", GoodFile(900));
    const std::string plain = dir.Write("ant", GoodFile(900));

    TMainModel model;
    for (const auto& batchPaths : {std::vector<std::string>{twoFrequencies, atSign},
                                   std::vector<std::string>{twoFrequencies, plain, atSign}}) {
        TOpenBatch batch(model, false);
        TOrderedLoad load(batchPaths, 1);
        while (load.TakeNext([&batch](TLoadResult& result) { batch.Add(result); })) {
        }
    }
    // The second batch adds only the file named like the first part of another's name.
    ASSERT_EQ(model.Patterns.Count(), 4);
    const char* names[][2] = {{"sector65_2freq@1850", "sector65_2freq.nsm@1850"},
                              {"sector65_2freq@2100.5", "sector65_2freq.nsm@2100.5"},
                              {"ant@home", "ant@home.txt"},
                              {"ant", "ant"}};
    for (int i = 0; i < 4; ++i) {
        const TPatternData& pattern = model.Patterns.Items(i);
        EXPECT_EQ(DisplayName(pattern, false), names[i][0]);
        EXPECT_EQ(DisplayName(pattern, true), names[i][1]);
        EXPECT_EQ(model.Patterns.IndexOfFileName(std::string(SourcePath(pattern))), i < 2 ? 0 : i);
    }
    EXPECT_EQ(SourcePath(model.Patterns.Items(1)), twoFrequencies);
    EXPECT_EQ(model.Patterns.IndexOfFileName(twoFrequencies + "@1850"), -1)
        << "a part is no file of its own";
}

TEST(OpenBatch, CancelKeepsWhatWasTakenAndStopsTheRest) {
    std::vector<std::string> paths;
    for (int i = 0; i < 50; ++i) paths.push_back("/lib/" + std::to_string(i) + ".txt");
    // Readers that make a pattern out of nothing, and fail on every seventh file.
    const auto fakeRead = [](const std::string& path) {
        TLoadResult result;
        if (std::stoi(FileNamePart(path)) % 7 == 6) {
            result.Failure = "bad";
        } else {
            result.Patterns.push_back(std::make_unique<TPatternData>());
            result.Patterns.back()->FileName = path;
        }
        return result;
    };
    TMainModel model;
    TOpenBatch batch(model, false);
    TOrderedLoad load(paths, 2, fakeRead);
    const auto add = [&batch](TLoadResult& result) { batch.Add(result); };
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(load.TakeNext(add));
    load.Cancel();
    EXPECT_EQ(load.TakeReady(add), 0);
    EXPECT_FALSE(load.TakeNext(add));
    EXPECT_TRUE(load.Done());
    EXPECT_EQ(load.Taken(), 9);
    ASSERT_EQ(model.Patterns.Count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(model.Patterns.Items(i).Id, i);
    EXPECT_EQ(model.Patterns.Items(7).FileName, "/lib/8.txt");
    EXPECT_EQ(batch.Report().Problems(), std::vector<std::string>{"6.txt: bad"});
    TOpenReport folderOnly;
    folderOnly.FolderProblem("no pattern files below /lib");
    EXPECT_EQ(OpenBatchMessage(folderOnly, true).Text,
              "Cancelled \u2014 no file opened \u2014 no pattern files below /lib");
}

// A file a folder scan had to read is parsed from the bytes it read, never opened again: it
// loads even when it is gone by then, while a file taken by its name is read at the load.
TEST(OpenBatch, FilesTheScanReadLoadFromTheBytesItKept) {
    const TTempDir dir;
    dir.Write("edx.dat", ReadFileBytes(OSTREL_SAMPLES_DIR "/sector90_edx.pat"));
    dir.Write("named.msi", GoodFile(900));
    dir.Write("notes.doc", "no pattern");
    std::vector<TScannedPath> scanned = ScanPatternFolder(dir.Path());
    std::filesystem::remove(dir.File("edx.dat"));
    std::filesystem::remove(dir.File("named.msi"));
    std::vector<std::string> paths;
    for (const TScannedPath& file : scanned) paths.push_back(file.Path);
    ASSERT_EQ(paths, (std::vector<std::string>{dir.File("edx.dat"), dir.File("named.msi")}));
    TOrderedLoad load(paths, 2, LoadScannedFiles(scanned));
    std::vector<std::string> failures;
    while (load.TakeNext([&](TLoadResult& result) { failures.push_back(result.Failure); })) {
    }
    EXPECT_EQ(failures,
              (std::vector<std::string>{"", "Cannot open file \"" + dir.File("named.msi") +
                                                "\". No such file or directory"}));
    EXPECT_FALSE(scanned[0].Bytes) << "the bytes moved into the load";
}

}  // namespace
}  // namespace ostrel
