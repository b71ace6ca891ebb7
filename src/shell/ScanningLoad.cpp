#include "shell/ScanningLoad.h"

#include <algorithm>
#include <optional>

namespace ostrel {

TScanningLoad::TScanningLoad(std::vector<std::string> given, std::function<void()> onReady,
                             TOrderedLoad::TLoadFunction load, TScan scan, int threads)
    : FOnReady(std::move(onReady)),
      FScan(scan ? std::move(scan)
                 : TScan([](const std::string& path) { return ScanPatternPaths({path}); })),
      FLoad(TOrderedLoad::TPathsToCome{}, threads,
            load ? std::move(load) : TOrderedLoad::TLoadFunction([this](const std::string& path) {
                return LoadKeptOrRead(path);
            }),
            FOnReady) {
    if (std::none_of(given.begin(), given.end(), IsFolderPath)) {
        Scan(given, {});
        return;
    }
    FScanner = std::jthread(
        [this, given = std::move(given)](const std::stop_token& stop) { Scan(given, stop); });
}

TScanningLoad::~TScanningLoad() {
    FScanner.request_stop();
    FLoad.Cancel();
}

void TScanningLoad::Scan(const std::vector<std::string>& given, const std::stop_token& stop) {
    for (const std::string& path : given) {
        if (stop.stop_requested()) break;
        Hand(FScan(path));
    }
    FLoad.EndInput();
}

TLoadResult TScanningLoad::LoadKeptOrRead(const std::string& path) {
    std::optional<std::string> bytes;
    {
        const std::lock_guard lock(FKeptMutex);
        const auto found = FKept.find(path);
        if (found != FKept.end()) {
            bytes = std::move(found->second);
            FKept.erase(found);
        }
    }
    return LoadPatternResult(path, bytes ? &*bytes : nullptr);
}

void TScanningLoad::Hand(std::vector<TScannedPath> scanned) {
    std::vector<std::string> files;
    bool problems = false;
    {
        const std::lock_guard lock(FMutex);
        const std::lock_guard keptLock(FKeptMutex);
        for (TScannedPath& one : scanned) {
            if (one.Problem.empty()) {
                // The scan had to read it to know it: the load parses these bytes.
                if (one.Bytes) FKept.insert_or_assign(one.Path, std::move(*one.Bytes));
                files.push_back(std::move(one.Path));
            } else {
                FProblems.push_back(std::move(one.Problem));
                FAnyProblem = true;
                problems = true;
            }
        }
    }
    // Reasons first, so that the taker has them before the files listed after them.
    if (problems && FOnReady) FOnReady();
    FLoad.Append(std::move(files));
}

std::vector<std::string> TScanningLoad::TakeProblems() {
    const std::lock_guard lock(FMutex);
    return std::exchange(FProblems, {});
}

bool TScanningLoad::FoundNothing() {
    const std::lock_guard lock(FMutex);
    return !FAnyProblem && FLoad.InputEnded() && FLoad.Total() == 0;
}

}  // namespace ostrel
