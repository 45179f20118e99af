// SPDX-License-Identifier: MIT
#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace quillant {
namespace {

TEST(RandomSource, ScalesOutputsToTheHalfOpenUnitInterval) {
    EXPECT_EQ(scale_engine_output(0), 0.0);
    EXPECT_EQ(scale_engine_output(4294967295u), 0.9999999997671694);
    EXPECT_LT(scale_engine_output(4294967295u), 1.0);
    EXPECT_EQ(scale_engine_output(2147483648u), 0.5);
    EXPECT_EQ(uniform_source.factor, 1.0 / 4294967296.0);
}

TEST(RandomSource, SeedUsesTheLowThirtyTwoBitsOfTheCalendarTime) {
    EXPECT_EQ(seed_from_calendar_time(static_cast<std::time_t>(1700000000)), 1700000000u);
    if (sizeof(std::time_t) > 4) {
        const auto later = static_cast<std::time_t>((std::int64_t{1} << 32) + 5);
        EXPECT_EQ(seed_from_calendar_time(later), 5u);
    }
}

TEST(RandomSource, EachValueConsumesExactlyOneStandardEngineOutput) {
    reseed_random_engine(2024);
    std::mt19937 reference(2024);
    for (int i = 0; i < 2000; ++i) {
        const auto expected = static_cast<std::uint32_t>(reference());
        if (i % 3 == 0) {
            ASSERT_EQ(next_engine_output(), expected) << "output " << i;
        } else {
            ASSERT_EQ(draw_uniform(), static_cast<double>(expected) / 4294967296.0) << "value " << i;
        }
    }
}

TEST(RandomSource, ReseedingRepeatsTheSequence) {
    reseed_random_engine(99);
    std::vector<double> first;
    for (int i = 0; i < 10; ++i) first.push_back(draw_uniform());
    reseed_random_engine(99);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(draw_uniform(), first[i]);
}

// Two threads drawing at once must together take exactly the engine's
// sequence: no output lost, repeated or torn.
TEST(RandomSource, DrawsFromTwoThreadsAreIndivisible) {
    constexpr int per_thread = 20000;
    reseed_random_engine(5);
    std::vector<std::uint32_t> drawn_by_worker(per_thread);
    std::vector<std::uint32_t> drawn_here(per_thread);
    std::thread worker([&] {
        for (auto& value : drawn_by_worker) {
            value = static_cast<std::uint32_t>(draw_uniform() * 4294967296.0);
        }
    });
    for (auto& value : drawn_here) value = next_engine_output();
    worker.join();

    std::vector<std::uint32_t> all(drawn_by_worker);
    all.insert(all.end(), drawn_here.begin(), drawn_here.end());
    std::vector<std::uint32_t> expected(2 * per_thread);
    std::mt19937 reference(5);
    for (auto& value : expected) value = static_cast<std::uint32_t>(reference());
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}

}  // namespace
}  // namespace quillant
