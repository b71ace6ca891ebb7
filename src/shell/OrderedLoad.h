#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "formats/PatternFolders.h"
#include "formats/PatternLoaders.h"

namespace ostrel {

// One file of a batch after its reader ran: its patterns, or the reason it did not load.
struct TLoadResult : TLoadedFile {
    std::string Path;
};

// Reads and parses a batch of pattern files on worker threads (one per core) and hands the
// results out strictly in the order the paths were given, so whoever takes them adds rows,
// numbers and reasons exactly as a one-by-one load would. Cancel stops the workers after
// the file each one is reading; results handed out before stay with their taker.
class TOrderedLoad {
public:
    using TLoadFunction = std::function<TLoadResult(const std::string& path)>;

    // Starts reading at once. `threads` 0 means one per core. `load` reads one file
    // (LoadPatternFile by default) and must be safe to call on several threads at a time.
    // `onReady` is called on a worker thread when a result becomes ready while none was
    // waiting since the last TakeReady, so a window can schedule one TakeReady on its own
    // thread per call rather than one per file. `maxAhead` > 0 keeps the workers at most
    // that many results ahead of the taker, so a reader that writes as it goes holds only
    // a window of patterns in memory.
    explicit TOrderedLoad(std::vector<std::string> paths, int threads = 0,
                          TLoadFunction load = nullptr, std::function<void()> onReady = nullptr,
                          int maxAhead = 0);
    TOrderedLoad(const TOrderedLoad&) = delete;
    TOrderedLoad& operator=(const TOrderedLoad&) = delete;
    // Cancels and waits for the workers.
    ~TOrderedLoad();

    // Hands the results that are ready, in order and each once, to `take`; at most
    // `maxCount` of them. Returns how many were handed out. Never waits.
    int TakeReady(const std::function<void(TLoadResult&)>& take, int maxCount = -1);
    // Waits until the next result in order is ready (or the load is cancelled) and hands it
    // to `take`. False when there is nothing more to hand out.
    bool TakeNext(const std::function<void(TLoadResult&)>& take);
    void Cancel();

    int Total() const { return static_cast<int>(FSlots.size()); }
    int Taken() const { return FTaken.load(); }
    bool Cancelled() const { return FCancelled.load(); }
    // Every result has been handed out, or the load was cancelled.
    bool Done() const { return FCancelled.load() || FTaken == Total(); }

private:
    struct TSlot {
        std::atomic<bool> Ready{false};
        TLoadResult Result;
    };
    void Work();

    std::vector<std::string> FPaths;
    std::vector<TSlot> FSlots;
    TLoadFunction FLoad;
    std::atomic<int> FNextToRead{0};
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FNotified{false};
    std::atomic<int> FTaken{0};  // only the taking thread changes it
    int FMaxAhead;
    std::mutex FMutex;
    std::condition_variable FReadyChanged;
    std::condition_variable FTakenChanged;
    std::function<void()> FOnReady;
    std::vector<std::jthread> FWorkers;
};

// The load of the files a scan found: a file whose bytes the scan kept is parsed from them,
// without opening it again; any other is read as LoadPatternFile reads it. The kept bytes
// move into the function, which may be called on several threads at a time.
TOrderedLoad::TLoadFunction LoadScannedFiles(std::vector<TScannedPath>& scanned);

}  // namespace ostrel
