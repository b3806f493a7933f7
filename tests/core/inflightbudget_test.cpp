#include "results/inflightbudget.h"

#include <gtest/gtest.h>

#include <thread>

namespace salvyn {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;

TEST(InFlightBudget, BoundsBytesAndItemsButAlwaysLetsOneThrough)
{
    InFlightBudget budget(64 * kMiB, 3);
    EXPECT_TRUE(budget.tryAcquire(256 * kMiB)); // alone, however large
    EXPECT_FALSE(budget.tryAcquire(1));
    budget.release(256 * kMiB);
    EXPECT_TRUE(budget.tryAcquire(40 * kMiB));
    EXPECT_FALSE(budget.tryAcquire(25 * kMiB)); // 65 MiB would be in flight
    EXPECT_TRUE(budget.tryAcquire(24 * kMiB));
    EXPECT_TRUE(budget.tryAcquire(0));
    EXPECT_FALSE(budget.tryAcquire(0)); // three items at most
}

// The thumbnail pool hands bytes back on its own threads while the search waits to add more.
TEST(InFlightBudgetThreads, AWaitingAddGoesOnWhenAnotherThreadReleases)
{
    InFlightBudget budget(64 * kMiB, 8);
    budget.acquire(60 * kMiB);
    std::thread pool([&budget] { budget.release(60 * kMiB); });
    budget.acquire(10 * kMiB);
    pool.join();
    budget.release(10 * kMiB);
    budget.waitUntilIdle();
}

} // namespace
} // namespace salvyn
