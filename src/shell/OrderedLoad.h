#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
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
// numbers and reasons exactly as a one-by-one load would. The paths may also arrive while
// the load runs (a folder still being listed): Append adds them behind the others, EndInput
// says that no more will come. Cancel stops the workers after the file each one is reading;
// results handed out before stay with their taker.
class TOrderedLoad {
public:
    using TLoadFunction = std::function<TLoadResult(const std::string& path)>;
    // Chooses the constructor whose paths arrive later.
    struct TPathsToCome {};

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
    // As above, with no path yet: the paths come through Append, until EndInput.
    explicit TOrderedLoad(TPathsToCome, int threads = 0, TLoadFunction load = nullptr,
                          std::function<void()> onReady = nullptr);
    TOrderedLoad(const TOrderedLoad&) = delete;
    TOrderedLoad& operator=(const TOrderedLoad&) = delete;
    // Cancels and waits for the workers.
    ~TOrderedLoad();

    // Hands the results that are ready, in order and each once, to `take`; at most
    // `maxCount` of them. Returns how many were handed out. Never waits.
    int TakeReady(const std::function<void(TLoadResult&)>& take, int maxCount = -1);
    // Waits until the next result in order is ready (or the load is cancelled) and hands it
    // to `take`; while it would wait, the calling thread reads files of the batch itself. False
    // when there is nothing more to hand out.
    bool TakeNext(const std::function<void(TLoadResult&)>& take);
    void Cancel();
    // More paths to read, behind those given before; any thread may call it.
    void Append(std::vector<std::string> paths);
    // No more paths will be appended.
    void EndInput();

    // The paths given so far.
    int Total() const { return FTotal.load(); }
    int Taken() const { return FTaken.load(); }
    bool Cancelled() const { return FCancelled.load(); }
    bool InputEnded() const { return FInputEnded.load(); }
    // Every result has been handed out and no more paths will come, or the load was
    // cancelled.
    bool Done() const { return FCancelled.load() || (FInputEnded.load() && FTaken == Total()); }

private:
    struct TSlot {
        std::atomic<bool> Ready{false};
        TLoadResult Result;
        // The worker that read it, or -1 for the taking thread.
        int Reader = -1;
    };
    void Work(int worker);
    // Reads the file at `index` and makes its result ready; `worker` -1 is the taking thread.
    void LoadInto(int index, std::string path, int worker);
    // What is left of a result once taken goes back to the worker that read it.
    void GiveBack(TLoadResult& result, int reader);
    // Frees what the taker gave back to `worker`; `last` when the worker ends.
    void FreeGivenBack(int worker, bool last);
    // Claims the next file no worker has taken and reads it on the calling thread; false when
    // there is none to claim now (all claimed, still to come, or too far ahead of the taker).
    bool LoadOneAhead();
    void StartWorkers(int threads);
    // The slot of a path; its place never moves while paths are appended.
    TSlot& SlotAt(int index);

    // Appended under FMutex; a deque keeps the places of the slots already there.
    std::deque<std::string> FPaths;
    std::deque<TSlot> FSlots;
    std::atomic<int> FTotal{0};
    std::atomic<bool> FInputEnded{true};
    TLoadFunction FLoad;
    std::atomic<int> FNextToRead{0};
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FNotified{false};
    std::atomic<int> FTaken{0};  // only the taking thread changes it
    int FMaxAhead = 0;
    std::mutex FMutex;
    std::condition_variable FReadyChanged;
    std::condition_variable FTakenChanged;
    std::condition_variable FInputChanged;
    std::function<void()> FOnReady;
    // Taken results, by the worker that read them, until that worker frees them. The memory of
    // a pattern is best freed by the thread that made it: freed on the taking thread, it makes
    // the allocator lock the worker's heap while the worker allocates there, and the two take
    // turns through the kernel. Guarded by FMutex, as is FWorkerEnded.
    std::vector<std::vector<TLoadResult>> FGivenBack;
    std::vector<bool> FWorkerEnded;
    std::vector<std::jthread> FWorkers;
};

// How many workers a batch taken with TakeNext wants: the taking thread reads files too while
// it would wait, so one less than the cores keeps them all busy without their taking turns on
// one core.
int WorkersBesideTaker();

// The load of the files a scan found: a file whose bytes the scan kept is parsed from them,
// without opening it again; any other is read as LoadPatternFile reads it. The kept bytes
// move into the function, which may be called on several threads at a time.
TOrderedLoad::TLoadFunction LoadScannedFiles(std::vector<TScannedPath>& scanned);

// The result of loading one file: parsed from `bytes` when given (what a scan kept), else
// read as LoadPatternFile reads it.
TLoadResult LoadPatternResult(const std::string& path, const std::string* bytes);

}  // namespace ostrel
