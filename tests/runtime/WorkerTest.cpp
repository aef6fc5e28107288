// The copy run's worker: a job runs beside the caller, and wait returns once it is done.
#include "runtime/Worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(WorkerTest, AJobRunsBesideTheCallerAndIsDoneOnWait) {
    const std::unique_ptr<core::Worker> worker = rt::makeWorker();
    if (!worker) {
        GTEST_SKIP() << "this computer has one processor: the copy run takes no worker";
    }
    // A job that waits for the caller returns from start only where it runs beside it.
    std::atomic<bool> released{false};
    bool finished = false;
    worker->start([&] {
        while (!released) {
        }
        finished = true;
    });
    released = true;
    worker->wait();
    EXPECT_TRUE(finished);
    std::vector<int> done;
    for (int k = 0; k < 1000; ++k) {
        worker->start([&done, k] { done.push_back(k); });
        worker->wait();
        ASSERT_EQ(done.size(), static_cast<std::size_t>(k + 1));
        ASSERT_EQ(done.back(), k);
    }
    EXPECT_NE(rt::makeWorker(), nullptr); // and one that never worked ends as well
}

} // namespace
