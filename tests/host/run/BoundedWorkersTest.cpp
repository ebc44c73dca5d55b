// The writers of `run --all`: no more work in flight than the bound, every
// job done, and a failure, thrown or returned, reported once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "host/run/BoundedWorkers.h"

namespace {
TEST(BoundedWorkers, SubmitAndWaitForRoomWaitWhileTheBoundIsReached) {
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    std::atomic<int> done{0};
    BoundedWorkers workers(2);
    auto held = [&] {
        std::lock_guard<std::mutex> pass(gate);
        ++done;
        return std::string();
    };
    workers.Submit(held);
    workers.Submit(held);
    std::atomic<bool> roomSeen{false}, thirdIn{false};
    std::thread submitter([&] {
        workers.WaitForRoom();
        roomSeen = true;
        workers.Submit(held);
        thirdIn = true;
    });
    // However long this waits, there is no room for a third job, and it
    // must not get in, while two hold their images.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(roomSeen);
    EXPECT_FALSE(thirdIn);
    closed.unlock();
    submitter.join();
    EXPECT_EQ(workers.Finish(), "");
    EXPECT_EQ(done, 3);
}

TEST(BoundedWorkers, KeepsTheFirstFailureAndStillFinishesEveryJob) {
    std::atomic<int> done{0};
    BoundedWorkers workers(1);  // one thread: the jobs run in the order given
    workers.Submit([&] { return ++done, std::string(); });
    workers.Submit([&]() -> std::string {
        ++done;
        throw std::runtime_error("no room");
    });
    workers.Submit([&] { return ++done, std::string("second failure"); });
    EXPECT_EQ(workers.Finish(), "out of resources: no room");
    EXPECT_TRUE(workers.Failed());
    EXPECT_EQ(done, 3);
}
}  // namespace
