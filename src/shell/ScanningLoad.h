#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "formats/PatternFolders.h"
#include "shell/OrderedLoad.h"

namespace ostrel {

// Opening what the user gave: files, and folders that stand for the pattern files below
// them. Folders are listed on a worker thread, one given path after the other, and the files
// each one gives join the ordered load as soon as it is listed, so that no listing (100,000
// names take a good while) keeps the window waiting; the files keep the order of the given
// paths and of each folder's listing. The reasons of folders that gave nothing, or not
// everything, are kept in order for the taker, ready before the files of their given path. Given
// paths that are all files need no listing: they are in the load from the start.
class TScanningLoad {
public:
    // The pattern files and folder reasons one given path stands for.
    using TScan = std::function<std::vector<TScannedPath>(const std::string& given)>;

    // `onReady` is called on a worker thread whenever something new is there to take (a
    // result, a reason, the end); `load` and `threads` are the ordered load's; `scan` is
    // ScanPatternPaths of the one path by default.
    TScanningLoad(std::vector<std::string> given, std::function<void()> onReady,
                  TOrderedLoad::TLoadFunction load = nullptr, TScan scan = nullptr,
                  int threads = 0);
    TScanningLoad(const TScanningLoad&) = delete;
    TScanningLoad& operator=(const TScanningLoad&) = delete;
    // Stops listing after the path being listed, and stops the load.
    ~TScanningLoad();

    TOrderedLoad& Load() { return FLoad; }
    const TOrderedLoad& Load() const { return FLoad; }
    // The folder reasons found since the last call, in order.
    std::vector<std::string> TakeProblems();
    // No folder reason, and the load is done without a path: nothing was there to open.
    bool FoundNothing();

private:
    // Lists `given` in order, handing on what each gives; stops early when asked.
    void Scan(const std::vector<std::string>& given, const std::stop_token& stop);
    void Hand(std::vector<TScannedPath> scanned);

    // The default load: a file whose bytes the scan kept is parsed from them.
    TLoadResult LoadKeptOrRead(const std::string& path);

    std::function<void()> FOnReady;
    TScan FScan;
    // The bytes the scan read of files whose names do not say what they are; each is taken
    // by the load of its file. Before FLoad, whose workers use them until it is gone.
    std::mutex FKeptMutex;
    std::unordered_map<std::string, std::string> FKept;
    TOrderedLoad FLoad;
    std::mutex FMutex;
    std::vector<std::string> FProblems;
    bool FAnyProblem = false;
    // Last, so that it stops before the load goes.
    std::jthread FScanner;
};

}  // namespace ostrel
