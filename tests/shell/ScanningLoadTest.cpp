#include "shell/ScanningLoad.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "formats/TextLines.h"
#include "support/TempDir.h"

namespace ostrel {
namespace {

TLoadResult Named(const std::string& path) {
    TLoadResult result;
    result.Path = path;
    return result;
}

// A folder among the given paths is listed on a worker thread, one given path after the
// other: the files of the first are taken while the second is still being listed, every
// file arrives in order, and the reasons come before the files of their path.
TEST(ScanningLoad, FoldersAreListedOnAWorkerAndTheirFilesArriveInOrderAsTheyAreListed) {
    TTempDir dir;
    std::filesystem::create_directories(dir.File("lib"));
    const std::string folder = dir.File("lib");
    std::binary_semaphore secondMayList(0);
    std::mutex mutex;
    std::vector<std::thread::id> listedOn;
    const TScanningLoad::TScan scan = [&](const std::string& given) {
        {
            const std::lock_guard lock(mutex);
            listedOn.push_back(std::this_thread::get_id());
        }
        if (given == folder)
            return std::vector<TScannedPath>{{"a1", ""}, {"bad", "pA"}, {"a2", ""}};
        secondMayList.acquire();
        if (given == "second") return std::vector<TScannedPath>{{"second", "pB"}};
        return std::vector<TScannedPath>{{given, ""}};
    };
    TScanningLoad load({folder, "second", "c1"}, nullptr, Named, scan, 2);
    std::vector<std::string> taken;
    const auto take = [&taken](TLoadResult& result) { taken.push_back(result.Path); };
    ASSERT_TRUE(load.Load().TakeNext(take));
    ASSERT_TRUE(load.Load().TakeNext(take));
    EXPECT_EQ(taken, (std::vector<std::string>{"a1", "a2"})) << "while the second path waits";
    EXPECT_EQ(load.TakeProblems(), std::vector<std::string>{"pA"});
    EXPECT_FALSE(load.Load().Done());
    secondMayList.release(2);
    while (load.Load().TakeNext(take)) {
    }
    EXPECT_EQ(taken, (std::vector<std::string>{"a1", "a2", "c1"}));
    EXPECT_EQ(load.TakeProblems(), std::vector<std::string>{"pB"});
    EXPECT_TRUE(load.Load().Done());
    EXPECT_FALSE(load.FoundNothing());
    ASSERT_EQ(listedOn.size(), 3u);
    for (const std::thread::id& id : listedOn) EXPECT_NE(id, std::this_thread::get_id());
}

// Files alone need no listing: they are in the load from the start. A folder giving nothing
// leaves its reason, and only no path at all is nothing found.
TEST(ScanningLoad, FilesAreThereAtOnceAndEmptyFoldersGiveTheirReason) {
    TTempDir dir;
    TScanningLoad files({dir.Write("a.msi", ""), dir.File("gone.msi")}, nullptr, Named);
    EXPECT_TRUE(files.Load().InputEnded());
    EXPECT_EQ(files.Load().Total(), 2);

    std::filesystem::create_directories(dir.File("empty/sub"));
    TScanningLoad empty({dir.File("empty")}, nullptr, Named);
    EXPECT_FALSE(empty.Load().TakeNext([](TLoadResult&) {}));
    EXPECT_EQ(empty.TakeProblems(),
              std::vector<std::string>{"no pattern files below " + dir.File("empty")});
    EXPECT_FALSE(empty.FoundNothing());
    EXPECT_TRUE(TScanningLoad({}, nullptr, Named).FoundNothing());
}

// A file the scan had to read to know it is parsed from the bytes the scan kept: it loads
// even when it is gone by the time its turn comes, and is never read a second time.
TEST(ScanningLoad, TheBytesAScanKeptAreWhatLoads) {
    TTempDir dir;
    std::filesystem::create_directories(dir.File("lib"));
    const std::string kept = dir.File("lib/made.dat");
    const std::string text = ReadFileBytes(OSTREL_SAMPLES_DIR "/sector90_edx.pat");
    const TScanningLoad::TScan scan = [&](const std::string&) {
        return std::vector<TScannedPath>{{kept, "", text}, {dir.File("lib/gone.msi"), ""}};
    };
    TScanningLoad load({dir.File("lib")}, nullptr, nullptr, scan, 1);
    std::vector<TLoadResult> results;
    while (load.Load().TakeNext([&results](TLoadResult& r) { results.push_back(std::move(r)); })) {
    }
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Path, kept);
    EXPECT_TRUE(results[0].Loaded()) << results[0].Failure;
    EXPECT_FALSE(results[1].Loaded()) << "a file not kept is read, and this one is not there";
}

}  // namespace
}  // namespace ostrel
