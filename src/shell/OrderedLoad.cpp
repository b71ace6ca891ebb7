#include "shell/OrderedLoad.h"

#include <algorithm>
#include <unordered_map>

#include "formats/PatternLoaders.h"

namespace ostrel {

namespace {

TLoadResult Result(const std::string& path, TLoadedFile loaded) {
    TLoadResult result;
    static_cast<TLoadedFile&>(result) = std::move(loaded);
    result.Path = path;
    return result;
}

TLoadResult LoadOneFile(const std::string& path) {
    return Result(path, LoadPatternFile(path));
}

}  // namespace

int WorkersBesideTaker() {
    return static_cast<int>(std::max(2u, std::thread::hardware_concurrency())) - 1;
}

TLoadResult LoadPatternResult(const std::string& path, const std::string* bytes) {
    return bytes ? Result(path, LoadPatternBytes(path, *bytes)) : LoadOneFile(path);
}

TOrderedLoad::TLoadFunction LoadScannedFiles(std::vector<TScannedPath>& scanned) {
    // Looked up, never changed, while the workers run.
    auto kept = std::make_shared<std::unordered_map<std::string, std::string>>();
    for (TScannedPath& file : scanned) {
        if (file.Bytes) kept->emplace(file.Path, std::move(*file.Bytes));
        file.Bytes.reset();
    }
    if (kept->empty()) return LoadOneFile;
    return [kept](const std::string& path) {
        const auto found = kept->find(path);
        if (found == kept->end()) return LoadOneFile(path);
        return Result(path, LoadPatternBytes(path, found->second));
    };
}

TOrderedLoad::TOrderedLoad(std::vector<std::string> paths, int threads, TLoadFunction load,
                           std::function<void()> onReady, int maxAhead)
    : FPaths(std::make_move_iterator(paths.begin()), std::make_move_iterator(paths.end())),
      FSlots(FPaths.size()),
      FTotal(static_cast<int>(FPaths.size())),
      FLoad(load ? std::move(load) : TLoadFunction(LoadOneFile)),
      FMaxAhead(maxAhead),
      FOnReady(std::move(onReady)) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    StartWorkers(std::min(threads, std::max(1, Total())));
}

TOrderedLoad::TOrderedLoad(TPathsToCome, int threads, TLoadFunction load,
                           std::function<void()> onReady)
    : FInputEnded(false),
      FLoad(load ? std::move(load) : TLoadFunction(LoadOneFile)),
      FOnReady(std::move(onReady)) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    StartWorkers(threads);
}

void TOrderedLoad::StartWorkers(int threads) {
    FGivenBack.resize(static_cast<size_t>(threads));
    FWorkerEnded.resize(static_cast<size_t>(threads));
    FWorkers.reserve(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) FWorkers.emplace_back([this, i] { Work(i); });
}

TOrderedLoad::TSlot& TOrderedLoad::SlotAt(int index) {
    const std::lock_guard lock(FMutex);
    return FSlots[static_cast<size_t>(index)];
}

void TOrderedLoad::Append(std::vector<std::string> paths) {
    if (paths.empty()) return;
    {
        const std::lock_guard lock(FMutex);
        for (std::string& path : paths) {
            FPaths.push_back(std::move(path));
            FSlots.emplace_back();
        }
        FTotal.store(static_cast<int>(FPaths.size()));
    }
    FInputChanged.notify_all();
}

void TOrderedLoad::EndInput() {
    {
        const std::lock_guard lock(FMutex);
        FInputEnded.store(true);
    }
    FInputChanged.notify_all();
    FReadyChanged.notify_all();
    // The taker learns that the load is done, also when the last paths gave no file.
    if (FOnReady && !FNotified.exchange(true)) FOnReady();
}

TOrderedLoad::~TOrderedLoad() {
    Cancel();
    FWorkers.clear();  // joins
}

void TOrderedLoad::FreeGivenBack(int worker, bool last) {
    std::vector<TLoadResult> given;
    {
        const std::lock_guard lock(FMutex);
        given.swap(FGivenBack[static_cast<size_t>(worker)]);
        if (last) FWorkerEnded[static_cast<size_t>(worker)] = true;
    }
    // Freed here, outside the lock.
}

void TOrderedLoad::GiveBack(TLoadResult& result, int reader) {
    if (reader < 0) return;
    const std::lock_guard lock(FMutex);
    if (!FWorkerEnded[static_cast<size_t>(reader)]) {
        FGivenBack[static_cast<size_t>(reader)].push_back(std::move(result));
    }
}

void TOrderedLoad::Work(int worker) {
    struct TEnd {
        TOrderedLoad& Load;
        int Worker;
        ~TEnd() { Load.FreeGivenBack(Worker, true); }
    } end{*this, worker};
    for (;;) {
        FreeGivenBack(worker, false);
        if (FCancelled.load()) return;
        const int index = FNextToRead.fetch_add(1);
        std::string path;
        {
            // The path may still have to come.
            std::unique_lock lock(FMutex);
            FInputChanged.wait(lock, [&] {
                return FCancelled.load() || FInputEnded.load() || index < FTotal.load();
            });
            if (FCancelled.load() || index >= FTotal.load()) return;
            path = FPaths[static_cast<size_t>(index)];
        }
        if (FMaxAhead > 0) {
            std::unique_lock lock(FMutex);
            FTakenChanged.wait(
                lock, [&] { return FCancelled.load() || index < FTaken.load() + FMaxAhead; });
            if (FCancelled.load()) return;
        }
        LoadInto(index, std::move(path), worker);
    }
}

void TOrderedLoad::LoadInto(int index, std::string path, int worker) {
    TSlot& slot = SlotAt(index);
    TLoadResult result;
    try {
        result = FLoad(path);
    } catch (const std::exception& error) {
        // A load function that raises anyway still gives its file a reason.
        result.Failure = *error.what() != '\0' ? error.what() : "Unknown error";
    } catch (...) {
        result.Failure = "Unknown error";
    }
    result.Path = std::move(path);
    bool awaited = false;
    {
        const std::lock_guard lock(FMutex);
        slot.Result = std::move(result);
        slot.Reader = worker;
        slot.Ready.store(true);
        awaited = index == FTaken.load();
    }
    // Only the next result in order can end a taker's wait.
    if (awaited) FReadyChanged.notify_all();
    if (FOnReady && !FNotified.exchange(true)) FOnReady();
}

bool TOrderedLoad::LoadOneAhead() {
    int index = FNextToRead.load();
    do {
        if (FCancelled.load() || index >= FTotal.load() ||
            (FMaxAhead > 0 && index >= FTaken.load() + FMaxAhead)) {
            return false;
        }
    } while (!FNextToRead.compare_exchange_weak(index, index + 1));
    std::string path;
    {
        const std::lock_guard lock(FMutex);
        path = FPaths[static_cast<size_t>(index)];
    }
    LoadInto(index, std::move(path), -1);
    return true;
}

int TOrderedLoad::TakeReady(const std::function<void(TLoadResult&)>& take, int maxCount) {
    FNotified.store(false);
    int handed = 0;
    while (!FCancelled.load() && FTaken < Total() && (maxCount < 0 || handed < maxCount)) {
        TSlot& slot = SlotAt(FTaken);
        if (!slot.Ready.load()) break;
        TLoadResult result;
        int reader = -1;
        int taken = 0;
        {
            const std::lock_guard lock(FMutex);
            result = std::move(slot.Result);
            reader = slot.Reader;
            taken = ++FTaken;
        }
        // Only the worker whose file has just come inside the window can go on.
        if (FMaxAhead > 0 && FNextToRead.load() >= taken + FMaxAhead) FTakenChanged.notify_all();
        ++handed;
        take(result);
        GiveBack(result, reader);
    }
    return handed;
}

bool TOrderedLoad::TakeNext(const std::function<void(TLoadResult&)>& take) {
    auto nextReady = [this] {
        return FCancelled.load() ||
               (FTaken < FTotal.load() ? FSlots[static_cast<size_t>(FTaken)].Ready.load()
                                       : FInputEnded.load());
    };
    // A taker that would wait reads a file of the batch itself instead: on a machine of few
    // cores the workers then never wait for a core the taker holds idle, and the taker is
    // rarely put to sleep and woken again for every file.
    for (;;) {
        {
            const std::lock_guard lock(FMutex);
            if (nextReady()) break;
        }
        if (!LoadOneAhead()) break;
    }
    {
        std::unique_lock lock(FMutex);
        FReadyChanged.wait(lock, nextReady);
        if (FTaken >= FTotal.load()) return false;
    }
    return TakeReady(take, 1) == 1;
}

void TOrderedLoad::Cancel() {
    {
        const std::lock_guard lock(FMutex);
        FCancelled.store(true);
    }
    FReadyChanged.notify_all();
    FTakenChanged.notify_all();
    FInputChanged.notify_all();
}

}  // namespace ostrel
