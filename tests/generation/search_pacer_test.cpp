// SPDX-License-Identifier: MIT
#include "generation/search_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace quillant {
namespace {

// Animation frames at 60 Hz over simulated time, each running a slice when
// one is due: steps of random work, some short, some many slices long. The
// search takes at most a fifth of the time, a step begins at most every
// 50 ms, and no slice is longer than the page lets it be.
TEST(SearchPacer, KeepsTheWorkersPaceBetweenFrames) {
    constexpr std::int64_t slice = 4000;
    constexpr std::int64_t frame = 16667;
    search_pacer pacer(slice);
    std::mt19937 engine(5);
    std::uniform_int_distribution<std::int64_t> step_work(0, 60000);

    std::int64_t work = 0;
    std::int64_t left_in_step = 0;
    std::vector<std::int64_t> step_starts;
    std::int64_t now = 0;
    for (; now < 600'000'000; now += frame) {
        if (!pacer.due(now)) continue;
        if (left_in_step == 0) {
            left_in_step = step_work(engine);
            step_starts.push_back(now);
        }
        const std::int64_t ran = std::min(left_in_step, slice);
        left_in_step -= ran;
        work += ran;
        pacer.ran(now, now + ran, left_in_step == 0);
    }
    EXPECT_LE(work, now / 5);
    EXPECT_GT(work, now / 20) << "the search is not starved";
    ASSERT_GT(step_starts.size(), 100u);
    for (std::size_t i = 1; i < step_starts.size(); ++i) {
        ASSERT_GE(step_starts[i] - step_starts[i - 1], 50000) << "step " << i;
    }
}

TEST(SearchPacer, ShortStepsBeginOnceAPeriodAndLongOnesRestFourTimesTheirWork) {
    search_pacer pacer(4000);
    EXPECT_TRUE(pacer.due(0));
    pacer.ran(0, 1000, true);  // a step of 1 ms
    EXPECT_FALSE(pacer.due(49999));
    EXPECT_TRUE(pacer.due(50000));

    // A step of three slices, 4 + 4 + 3 ms of work: each slice rests four
    // times itself, and the step rests four times all of its work.
    pacer.ran(50000, 54000, false);
    EXPECT_FALSE(pacer.due(69999));
    EXPECT_TRUE(pacer.due(70000));
    pacer.ran(70000, 74000, false);
    pacer.ran(90000, 93000, true);
    EXPECT_FALSE(pacer.due(93000 + 4 * 11000 - 1));
    EXPECT_TRUE(pacer.due(93000 + 4 * 11000));
}

}  // namespace
}  // namespace quillant
