#include "shell/OrderedLoad.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <semaphore>
#include <string>
#include <vector>

namespace ostrel {
namespace {

// A load whose files finish only when the test lets them, on one worker, so every step is
// known without waiting on a clock: the worker has stored a result and made its ready call
// once it has begun reading the next file.
class TGatedLoad {
public:
    TGatedLoad()
        : FLoad(
              {"a", "b", "c", "d", "e"}, 1,
              [this](const std::string& path) {
                  Note([&] { ++FStarted; });
                  FGo.acquire();
                  TLoadResult result;
                  result.Error = "read " + path;
                  return result;
              },
              [this] { Note([&] { ++FReadyCalls; }); }) {}
    ~TGatedLoad() { FGo.release(5); }

    // Lets `count` more files finish, then waits until `started` reads have begun and
    // `readyCalls` ready calls were made.
    void Finish(int count, int started, int readyCalls) {
        FGo.release(count);
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [&] { return FStarted >= started && FReadyCalls >= readyCalls; });
    }
    int ReadyCalls() {
        const std::lock_guard lock(FMutex);
        return FReadyCalls;
    }
    int TakeReady(int maxCount = -1) {
        return FLoad.TakeReady([this](TLoadResult& result) { Taken.push_back(result.Path); },
                               maxCount);
    }

    std::vector<std::string> Taken;

private:
    template <class TChange>
    void Note(TChange change) {
        {
            const std::lock_guard lock(FMutex);
            change();
        }
        FChanged.notify_all();
    }

    std::mutex FMutex;
    std::condition_variable FChanged;
    int FStarted = 0;
    int FReadyCalls = 0;
    std::counting_semaphore<> FGo{0};
    TOrderedLoad FLoad;
};

// A window schedules one TakeReady per ready call: the call comes once for all the results
// that became ready since the last TakeReady, and TakeReady hands out at most maxCount of
// them, in order.
TEST(OrderedLoad, OneReadyCallPerTakeAndTakeReadyKeepsToItsCount) {
    TGatedLoad load;
    load.Finish(1, 2, 1);  // "a" ready: the first call
    load.Finish(2, 4, 1);  // "b" and "c" ready while "a" waits: no call
    EXPECT_EQ(load.ReadyCalls(), 1);
    EXPECT_EQ(load.TakeReady(2), 2);
    EXPECT_EQ(load.Taken, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(load.ReadyCalls(), 1) << "c was ready before the take";
    EXPECT_EQ(load.TakeReady(), 1);
    EXPECT_EQ(load.TakeReady(), 0) << "d is not read yet";
    load.Finish(1, 5, 2);  // "d" ready after a take: a new call
    EXPECT_EQ(load.TakeReady(1), 1);
    load.Finish(1, 5, 3);  // "e" too
    EXPECT_EQ(load.TakeReady(5), 1);
    EXPECT_EQ(load.Taken, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(load.ReadyCalls(), 3);
}

}  // namespace
}  // namespace ostrel
