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
    : FPaths(std::move(paths)),
      FSlots(FPaths.size()),
      FLoad(load ? std::move(load) : TLoadFunction(LoadOneFile)),
      FMaxAhead(maxAhead),
      FOnReady(std::move(onReady)) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min(threads, std::max(1, Total()));
    FWorkers.reserve(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) FWorkers.emplace_back([this] { Work(); });
}

TOrderedLoad::~TOrderedLoad() {
    Cancel();
    FWorkers.clear();  // joins
}

void TOrderedLoad::Work() {
    for (;;) {
        if (FCancelled.load()) return;
        const int index = FNextToRead.fetch_add(1);
        if (index >= Total()) return;
        if (FMaxAhead > 0) {
            std::unique_lock lock(FMutex);
            FTakenChanged.wait(
                lock, [&] { return FCancelled.load() || index < FTaken.load() + FMaxAhead; });
            if (FCancelled.load()) return;
        }
        TSlot& slot = FSlots[static_cast<size_t>(index)];
        TLoadResult result;
        try {
            result = FLoad(FPaths[static_cast<size_t>(index)]);
        } catch (const std::exception& error) {
            // A load function that raises anyway still gives its file a reason.
            result.Failure = *error.what() != '\0' ? error.what() : "Unknown error";
        } catch (...) {
            result.Failure = "Unknown error";
        }
        result.Path = FPaths[static_cast<size_t>(index)];
        {
            const std::lock_guard lock(FMutex);
            slot.Result = std::move(result);
            slot.Ready.store(true);
        }
        FReadyChanged.notify_all();
        if (FOnReady && !FNotified.exchange(true)) FOnReady();
    }
}

int TOrderedLoad::TakeReady(const std::function<void(TLoadResult&)>& take, int maxCount) {
    FNotified.store(false);
    int handed = 0;
    while (!FCancelled.load() && FTaken < Total() && (maxCount < 0 || handed < maxCount)) {
        TSlot& slot = FSlots[static_cast<size_t>(FTaken)];
        if (!slot.Ready.load()) break;
        TLoadResult result;
        {
            const std::lock_guard lock(FMutex);
            result = std::move(slot.Result);
        }
        {
            const std::lock_guard lock(FMutex);
            ++FTaken;
        }
        if (FMaxAhead > 0) FTakenChanged.notify_all();
        ++handed;
        take(result);
    }
    return handed;
}

bool TOrderedLoad::TakeNext(const std::function<void(TLoadResult&)>& take) {
    if (FTaken >= Total()) return false;
    {
        std::unique_lock lock(FMutex);
        FReadyChanged.wait(lock, [this] {
            return FCancelled.load() || FSlots[static_cast<size_t>(FTaken)].Ready.load();
        });
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
}

}  // namespace ostrel
