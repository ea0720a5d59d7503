// Work shared over the cores: every part runs once, the parts meet, and a
// failure comes back to the caller instead of ending the program.

#include "runtime/cores.h"
#include "support/memory_limit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <numeric>
#include <stdexcept>
#include <vector>

using namespace kestrune;
using kestrune::test::RunInChildWithSpareMemory;

TEST(Cores, WhatAPartThrowsReachesTheCallerOnceEveryPartHasEnded) {
    // Out of memory on another core reaches the caller.
    EXPECT_THROW(RunBeside([] { throw std::bad_alloc(); }, [] {}), std::bad_alloc);

    // The caller's own part fails while the other still runs: that one ends first.
    std::atomic<bool> done = false;
    EXPECT_THROW(RunBeside(
                     [&] {
                         for (int i = 0; i < 1000000; ++i) {
                             done.store(i == 999999);
                         }
                     },
                     [] { throw std::runtime_error("the caller's own failure"); }),
                 std::runtime_error);
    EXPECT_TRUE(done.load());

    int result = 0;
    RunBeside([&] { result = 42; }, [] {});
    EXPECT_EQ(result, 42);

    // Of several failures the first part's is told.
    try {
        RunOnCores(4, [](WorkPart& part) {
            if (part.index() >= 1) {
                throw std::out_of_range(std::to_string(part.index()));
            }
        });
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "1");
    }
}

TEST(Cores, PartsShareEveryItemOnceAndSeeWhatOthersWroteBeforeAMeeting) {
    for (const std::size_t wanted : {1u, 2u, 3u, 7u}) {
        SCOPED_TRACE(wanted);
        constexpr std::size_t kItems = 1001;
        std::vector<int> seen(kItems, 0);
        std::vector<std::size_t> sums(wanted, 0);
        std::vector<std::size_t> totals(wanted, 0);
        std::atomic<std::size_t> calls = 0;
        const std::size_t ran = RunOnCores(wanted, [&](WorkPart& part) {
            ++calls;
            EXPECT_EQ(part.parts(), wanted);
            const WorkPart::Range mine = part.share(kItems);
            for (std::size_t i = mine.begin; i < mine.end; ++i) {
                ++seen[i];
            }
            // Rounds of writing and reading across the meetings.
            for (std::size_t round = 1; round <= 3; ++round) {
                sums[part.index()] = (mine.end - mine.begin) * round;
                part.meet();
                totals[part.index()] = std::accumulate(sums.begin(), sums.end(), std::size_t{0});
                part.meet();
                EXPECT_EQ(totals[part.index()], kItems * round);
            }
        });
        EXPECT_EQ(ran, wanted);
        EXPECT_EQ(calls.load(), wanted);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(kItems));
    }
}

TEST(Cores, ASmallRangeStaysOnOneCoreAndALargeOneKeepsHalfTheThresholdAPart) {
    constexpr std::size_t kThreshold = 1 << 15;
    EXPECT_EQ(PartsFor(0, kThreshold), 1u);
    EXPECT_EQ(PartsFor(kThreshold - 1, kThreshold), 1u);
    EXPECT_EQ(PartsFor(kThreshold, kThreshold), std::min<std::size_t>(2, MachineCores()));
    EXPECT_EQ(PartsFor(std::size_t{1} << 40, kThreshold), MachineCores());
    for (std::size_t count = kThreshold; count < 40 * kThreshold; count += kThreshold / 3) {
        EXPECT_GE(count / PartsFor(count, kThreshold), kThreshold / 2) << count;
    }
}

TEST(Cores, WithoutMemoryForMoreThreadsFewerPartsDoAllTheWork) {
    SKIP_WHERE_MEMORY_CANNOT_BE_LIMITED();
    // Room for no new thread's stack (a few that ended before may be kept
    // for reuse): the work is still done, once, by fewer parts.
    constexpr std::size_t kWanted = 64;
    const int status = RunInChildWithSpareMemory(std::size_t{1} << 20, [] {
        std::vector<int> seen(1000, 0);
        std::atomic<std::size_t> parts = 0;
        const std::size_t ran = RunOnCores(kWanted, [&](WorkPart& part) {
            parts = part.parts();
            const WorkPart::Range mine = part.share(seen.size());
            for (std::size_t i = mine.begin; i < mine.end; ++i) {
                ++seen[i];
            }
            part.meet();
        });
        const bool allSeenOnce = std::count(seen.begin(), seen.end(), 1) == 1000;
        return ran < kWanted && parts == ran && allSeenOnce ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}
