// The main queue's delayed work: a delay too long for one timer is not cut
// short.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "foundation/MainQueue.h"
#include "foundation/MainQueueTask.h"

namespace {

TEST(MainQueueTest, ADelayBeyondTheTimersRangeDoesNotComeRoundEarly) {
    // 2^32 ms and 50 ms more: counted in 32 bits it would be 50 ms.
    auto ran = std::make_shared<bool>(false);  // the work outlives the test, never run
    dispatch_after(4294967.296 + 0.05, [ran] { *ran = true; });
    bool soon = false;
    dispatch_after(0.01, [&soon] { soon = true; });
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until) {
        drainMainQueue();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(soon);
    EXPECT_FALSE(*ran);
}

// An owned task runs once for a burst of requests, may queue itself again
// from its work, and never runs after its owner is gone.
TEST(MainQueueTest, AnOwnedTaskRunsOncePerBurstAndNotAfterItsOwner) {
    int runs = 0;
    zv::MainQueueTask task([&runs] { ++runs; });
    task.schedule();
    task.schedule();
    task.schedule();
    drainMainQueue();
    EXPECT_EQ(runs, 1);

    int again = 0;
    zv::MainQueueTask* self = nullptr;
    zv::MainQueueTask twice([&] {
        if (++again == 1) self->schedule();
    });
    self = &twice;
    twice.schedule();
    drainMainQueue();
    drainMainQueue();
    EXPECT_EQ(again, 2);

    auto gone = std::make_unique<zv::MainQueueTask>([&runs] { ++runs; });
    gone->schedule();
    gone->scheduleAfter(std::chrono::milliseconds(1));
    gone.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    drainMainQueue();
    EXPECT_EQ(runs, 1);
}

}  // namespace
