// SPDX-License-Identifier: MIT
#include "generation/generation_step.h"
#include "generation/random_source.h"
#include "generation/worker.h"
#include "platform/platform.h"
#include "roses/rose_set.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <thread>
#include <vector>

namespace quillant {
namespace {


// Milliseconds slept after a step of e µs.
std::uint32_t sleep_after(std::int64_t e) { return sleep_milliseconds(pause_microseconds(e)); }

TEST(WorkerPacing, ShortStepsFillThePeriodAndLongStepsRestFourTimesAsLong) {
    const struct {
        std::int64_t elapsed;
        std::int64_t pause;
        std::uint32_t sleep;
    } cases[] = {
        {0, 50000, 50},      {2000, 48000, 48},     {9999, 40001, 40},
        {10000, 40000, 40},  {12345, 49380, 49},    {30000, 120000, 120},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pause_microseconds(c.elapsed), c.pause) << "step of " << c.elapsed << " us";
        EXPECT_EQ(sleep_after(c.elapsed), c.sleep) << "step of " << c.elapsed << " us";
    }
}

TEST(WorkerPacing, ShortPausesAreSkipped) {
    EXPECT_EQ(sleep_milliseconds(5000), 0u);
    EXPECT_EQ(sleep_milliseconds(5001), 5u);
    EXPECT_EQ(sleep_milliseconds(-7), 0u);
}

// A step stretched by a clock jump: 32-bit arithmetic would overflow here.
TEST(WorkerPacing, ClockJumpsNeitherOverflowNorSleepForever) {
    EXPECT_EQ(sleep_after(600 * 1000000LL), 2400000u) << "forward by ten minutes";
    EXPECT_EQ(sleep_after(-10 * 1000000LL), 10050u) << "back by ten seconds";
    EXPECT_EQ(sleep_after(std::int64_t{1} << 50), 0xFFFFFFFEu) << "never the infinite sleep";
}

TEST(WorkerPacing, ElapsedTimeCrossesSecondBoundaries) {
    EXPECT_EQ(elapsed_microseconds({100, 999990}, {101, 10}), 20);
    EXPECT_EQ(elapsed_microseconds({5, 0}, {5, 250}), 250);
    EXPECT_EQ(elapsed_microseconds({7, 10}, {5, 10}), -2000000);
    // The seconds wrap at 2^32 like the stamps themselves.
    EXPECT_EQ(elapsed_microseconds({2147483647, 999999}, {-2147483647 - 1, 1}), 2);
}

TEST(WorkerPacing, TimeOfDayCountsFromNineteenSeventy) {
    // 1970-01-01 00:00:01.000002 UTC in 100-ns intervals since 1601.
    const std::uint64_t count = (11644473600ULL + 1) * 10000000ULL + 20;
    const time_stamp t = time_of_day_at(count);
    EXPECT_EQ(t.seconds, 1);
    EXPECT_EQ(t.microseconds, 2);

    const time_stamp later = time_of_day_at(count + 9999999);  // 999999.9 us later
    EXPECT_EQ(later.seconds, 2);
    EXPECT_EQ(later.microseconds, 1);
}

TEST(WorkerPacing, TimeOfDayFollowsTheSystemClock) {
    const time_stamp now = time_of_day();
    const std::time_t calendar = std::time(nullptr);
    EXPECT_GE(now.microseconds, 0);
    EXPECT_LT(now.microseconds, 1000000);
    EXPECT_LE(std::abs(static_cast<std::int64_t>(calendar) - now.seconds), 2);
}

// The worker's steps against the window thread's ageing, for real: after
// every ageing the set is consistent, and the shown slots alternate.
TEST(Worker, StepsAndAgeingShareTheSetSafely) {
    constexpr int lifetimes = 50;
    testing::silenced_diagnostics quiet;
    reseed_random_engine(77);
    rose_set set;
    set.fit_roses(1024, 768);
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop.load()) generation_step(set);
    });

    int shown = 0;
    int last_slot = -1;
    const traj_rose* last_rose = nullptr;
    std::int32_t last_progress = 0;
    bool consistent = true;
    while (consistent && shown < lifetimes) {
        set.age_roses();
        platform::scoped_lock held(set.lock);
        const std::uint32_t count = set.rose_count.load();
        consistent = count <= static_cast<std::uint32_t>(set.max_roses) &&
                     count == set.roses.size();
        int showing = 0;
        for (std::size_t i = 0; i < set.slots.size(); ++i) {
            const std::int32_t state = set.slot_states[i].load();
            consistent = consistent &&
                         (state == slot_free || state == slot_ready || state == slot_showing);
            if (state != slot_showing) continue;
            ++showing;
            int roses_of_slot = 0;
            for (const auto& rose : set.roses) roses_of_slot += rose->slot_index == int(i);
            consistent = consistent && roses_of_slot == 1;
        }
        consistent = consistent && showing == static_cast<int>(set.roses.size());
        // A new rose may reuse the old one's memory, but its progress starts over.
        if (!set.roses.empty()) {
            const traj_rose& rose = *set.roses.front();
            if (&rose != last_rose || rose.progress < last_progress) {
                consistent = consistent && rose.slot_index != last_slot;
                last_slot = rose.slot_index;
                ++shown;
            }
            last_rose = &rose;
            last_progress = rose.progress;
        }
    }
    stop.store(true);
    worker.join();
    EXPECT_TRUE(consistent) << "after " << shown << " roses";
    EXPECT_EQ(shown, lifetimes);
}

}  // namespace
}  // namespace quillant
