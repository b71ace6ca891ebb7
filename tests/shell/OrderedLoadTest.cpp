#include "shell/OrderedLoad.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

namespace ostrel {
namespace {

// A window schedules one TakeReady per ready call: the call comes once for all the results
// that became ready since the last TakeReady, and TakeReady hands out at most maxCount of
// them, in order. One worker reads files only when the test lets it, so each step is known
// without a clock: once the worker begins a file, it has made the ready call for the last.
TEST(OrderedLoad, OneReadyCallPerTakeAndTakeReadyKeepsToItsCount) {
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    int calls = 0;
    const auto note = [&](int& counter) {
        const std::lock_guard lock(mutex);
        ++counter;
        changed.notify_all();
    };
    std::counting_semaphore<> go(0);
    TOrderedLoad load(
        {"a", "b", "c", "d", "e"}, 1,
        [&](const std::string&) {
            note(started);
            go.acquire();
            return TLoadResult();
        },
        [&] { note(calls); });
    // Lets `count` more files finish and waits until the worker is at the given counts.
    const auto finish = [&](int count, int startedAtLeast, int callsAtLeast) {
        go.release(count);
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started >= startedAtLeast && calls >= callsAtLeast; });
        return calls;
    };
    std::vector<std::string> taken;
    const auto take = [&](int maxCount) {
        return load.TakeReady([&](TLoadResult& result) { taken.push_back(result.Path); }, maxCount);
    };
    EXPECT_EQ(finish(1, 2, 1), 1);  // "a" ready: the first call
    EXPECT_EQ(finish(2, 4, 1), 1);  // "b" and "c" ready while "a" waits: no call
    EXPECT_EQ(take(2), 2);
    EXPECT_EQ(take(-1), 1);
    EXPECT_EQ(take(-1), 0) << "d is not read yet";
    EXPECT_EQ(finish(1, 5, 2), 2);  // "d" ready after a take: a new call
    EXPECT_EQ(take(1), 1);
    EXPECT_EQ(finish(1, 5, 3), 3);
    EXPECT_EQ(take(5), 1);
    EXPECT_EQ(taken, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    go.release(5);  // lets a worker stuck by a failure above finish
}

// A taker that would wait reads files of the batch itself. The one worker holds the first file
// it begins until the taker has read three (the bound only ends a failing run), so the batch
// goes on only through the taker; every result still comes out once, in order.
TEST(OrderedLoad, TakeNextReadsFilesItselfRatherThanWait) {
    const std::thread::id taker = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable changed;
    int readByTaker = 0;
    bool held = false;
    TOrderedLoad load({"a", "b", "c", "d"}, 1, [&](const std::string& path) {
        std::unique_lock lock(mutex);
        if (std::this_thread::get_id() == taker) {
            ++readByTaker;
            changed.notify_all();
        } else if (!held) {
            held = true;
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return readByTaker >= 3; });
        }
        TLoadResult result;
        result.Failure = "read " + path;
        return result;
    });
    std::vector<std::string> taken;
    while (load.TakeNext([&](TLoadResult& result) { taken.push_back(result.Failure); })) {
    }
    EXPECT_GE(readByTaker, 3);
    EXPECT_EQ(taken, (std::vector<std::string>{"read a", "read b", "read c", "read d"}));
}

// Workers held to a window of results ahead of the taker, small or odd, still hand every
// result out once and in order (a lost wake-up would hang here).
TEST(OrderedLoad, EveryWindowHandsOutEveryResultInOrder) {
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i) paths.push_back(std::to_string(i));
    for (const int ahead : {1, 2, 3, 5, 16}) {
        TOrderedLoad load(
            paths, 3,
            [](const std::string& path) {
                TLoadResult result;
                result.Failure = path;
                return result;
            },
            nullptr, ahead);
        std::vector<std::string> taken;
        while (load.TakeNext([&](TLoadResult& result) { taken.push_back(result.Failure); })) {
        }
        EXPECT_EQ(taken, paths) << "window " << ahead;
    }
}

}  // namespace
}  // namespace ostrel
