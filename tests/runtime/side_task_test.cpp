// Work on the second core hands its failure back instead of ending the program.

#include "runtime/side_task.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>

using namespace kestrune;

TEST(SideTask, WhatTheWorkThrowsIsThrownByWaitAndAnOwnerLeavingEarlyWaitsForIt) {
    // Out of memory on the second core reaches the thread that waits.
    SideTask failing([] { throw std::bad_alloc(); });
    EXPECT_THROW(failing.wait(), std::bad_alloc);
    EXPECT_NO_THROW(failing.wait()); // told once

    // The owner fails while the work still runs: the work ends first.
    std::atomic<bool> done = false;
    EXPECT_THROW(
        {
            std::optional<SideTask> task;
            task.emplace([&] {
                for (int i = 0; i < 1000000; ++i) {
                    done.store(i == 999999);
                }
            });
            throw std::runtime_error("the owner's own failure");
        },
        std::runtime_error);
    EXPECT_TRUE(done.load());

    int result = 0;
    std::optional<SideTask> none;
    WaitFor(none);
    std::optional<SideTask> some;
    some.emplace([&] { result = 42; });
    WaitFor(some);
    EXPECT_EQ(result, 42);
}
