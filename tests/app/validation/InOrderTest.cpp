#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "validation/InOrder.h"

namespace {

using vantor::validation::RunInOrder;

// Counts the scopes made, as a thread's cache would be.
struct CountingScope {
    explicit CountingScope(std::atomic<int>& made) { ++made; }
};

TEST(InOrderTest, TakesEveryResultOnceInOrderOnTheCallingThread) {
    for (const unsigned threads : {1U, 2U, 4U}) {
        SCOPED_TRACE(threads);
        constexpr std::size_t kCount = 1000;
        std::atomic<int> scopes{0};
        std::atomic<int> onOtherThreads{0};
        const auto caller = std::this_thread::get_id();
        std::vector<std::size_t> taken;
        RunInOrder<std::size_t>(
            kCount, threads, [&scopes] { return CountingScope(scopes); },
            [&](std::size_t i) {
                if (std::this_thread::get_id() != caller) {
                    ++onOtherThreads;
                }
                // Uneven work, so that later items often finish first.
                volatile std::size_t spin = 0;
                for (std::size_t k = 0; k < (i % 7) * 200; ++k) {
                    spin = spin + k;
                }
                return i * 3;
            },
            [&](std::size_t i, std::size_t& result) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                EXPECT_EQ(result, i * 3);
                taken.push_back(i);
            },
            /*run=*/8, /*ahead=*/3);
        ASSERT_EQ(taken.size(), kCount);
        for (std::size_t i = 0; i < kCount; ++i) {
            ASSERT_EQ(taken[i], i);
        }
        if (threads == 1) {
            EXPECT_EQ(onOtherThreads, 0);
            EXPECT_EQ(scopes, 1);
        } else {
            EXPECT_EQ(onOtherThreads, static_cast<int>(kCount)) << "the caller only takes";
            EXPECT_GE(scopes, 1);
            EXPECT_LE(scopes, static_cast<int>(threads)) << "one scope per worker thread";
        }
    }
}

// The results before a failing item are taken, the workers stop instead of running
// to the end, and the error reaches the caller; likewise for a failure while taking.
TEST(InOrderTest, AFailureInWorkOrInTakeStopsTheWork) {
    for (const bool inTake : {false, true}) {
        for (const unsigned threads : {1U, 2U}) {
            SCOPED_TRACE(testing::Message()
                         << threads << " threads, failure in " << (inTake ? "take" : "work"));
            std::vector<std::size_t> taken;
            std::atomic<std::size_t> started{0};
            EXPECT_THROW(RunInOrder<std::size_t>(
                             10000, threads, [] { return 0; },
                             [&](std::size_t i) {
                                 ++started;
                                 if (!inTake && i == 37) {
                                     throw std::runtime_error("item 37");
                                 }
                                 return i;
                             },
                             [&](std::size_t i, std::size_t& result) {
                                 if (inTake && i == 37) {
                                     throw std::runtime_error("taking 37");
                                 }
                                 taken.push_back(result);
                             },
                             /*run=*/4, /*ahead=*/2),
                         std::runtime_error);
            ASSERT_EQ(taken.size(), 37U);
            EXPECT_EQ(taken.back(), 36U);
            EXPECT_LT(started.load(), 10000U);
        }
    }
}

}  // namespace
