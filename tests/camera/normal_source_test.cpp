// SPDX-License-Identifier: MIT
#include "camera/normal_source.h"
#include "generation/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace quillant {
namespace {

// u1 = 1/4 puts the angle at a right angle; u2 = 1 - e^(-1/2) makes the
// radius exactly one.
const double quarter_turn = 0.25;
const double unit_radius = 1.0 - std::exp(-0.5);

TEST(NormalSource, StartsStandardWithNoSpare) {
    EXPECT_EQ(standard_normal.mean, 0.0);
    EXPECT_EQ(standard_normal.standard_deviation, 1.0);
    EXPECT_FALSE(standard_normal.have_spare);
    EXPECT_EQ(two_pi, 6.283185307179586);
}

TEST(NormalSource, PairGivesTheCosineValueFirstAndKeepsTheSine) {
    normal_distribution d{0.0, 1.0, false, 0.0, 0.0};
    const double first = start_normal_pair(d, quarter_turn, unit_radius);
    EXPECT_TRUE(d.have_spare);
    EXPECT_NEAR(d.radius, 1.0, 1e-15);
    EXPECT_NEAR(first, 6.1e-17, 0.1e-17);
    const double second = take_normal_spare(d);
    EXPECT_FALSE(d.have_spare);
    EXPECT_NEAR(second, 1.0, 1e-15);
}

TEST(NormalSource, PairIsShiftedByTheMeanAndScaledByTheDeviation) {
    normal_distribution d{5.0, 2.0, false, 0.0, 0.0};
    EXPECT_NEAR(start_normal_pair(d, 0.5, unit_radius), 3.0, 1e-14);
    EXPECT_NEAR(take_normal_spare(d), 5.0, 1e-14);
}

// The radius takes the logarithm of 1 - u2, which the half-open interval
// keeps away from zero: the extremes of the uniform values stay finite.
TEST(NormalSource, ExtremeUniformValuesGiveFiniteValues) {
    normal_distribution d{0.0, 1.0, false, 0.0, 0.0};
    EXPECT_EQ(start_normal_pair(d, 0.0, 0.0), 0.0);
    EXPECT_EQ(take_normal_spare(d), 0.0);

    const double largest = scale_engine_output(4294967295u);
    const double first = start_normal_pair(d, 0.0, largest);
    EXPECT_NEAR(first, std::sqrt(64.0 * std::log(2.0)), 1e-6);
    EXPECT_TRUE(std::isfinite(take_normal_spare(d)));
}

// Odd draws take two engine outputs, u1 then u2; even draws take none and
// return the other half of the same pair.
TEST(NormalSource, DrawsFollowTheEngineTwoOutputsPerPair) {
    std::mt19937 engine(4242);
    std::mt19937 reference(4242);
    normal_distribution normal_source = standard_normal;
    for (int pair = 0; pair < 3; ++pair) {
        const double u1 = static_cast<std::uint32_t>(reference()) / 4294967296.0;
        const double u2 = static_cast<std::uint32_t>(reference()) / 4294967296.0;
        const double radius = std::sqrt(-2.0 * std::log(1.0 - u2));
        EXPECT_DOUBLE_EQ(draw_normal(normal_source, engine),
                         radius * std::cos(6.283185307179586 * u1)) << pair;
        EXPECT_DOUBLE_EQ(draw_normal(normal_source, engine),
                         radius * std::sin(6.283185307179586 * u1)) << pair;
        // Nothing more was taken: the engine is where the reference is.
        EXPECT_EQ(engine(), reference()) << pair;
    }
}

TEST(NormalSource, DrawsHaveMeanZeroAndVarianceOne) {
    std::mt19937 engine(77);
    normal_distribution normal_source = standard_normal;
    constexpr int count = 20000;
    double sum = 0.0;
    double sum_of_squares = 0.0;
    for (int i = 0; i < count; ++i) {
        const double value = draw_normal(normal_source, engine);
        sum += value;
        sum_of_squares += value * value;
    }
    const double mean = sum / count;
    const double variance = sum_of_squares / count - mean * mean;
    // Some five standard errors either way.
    EXPECT_NEAR(mean, 0.0, 0.035);
    EXPECT_NEAR(variance, 1.0, 0.05);
}

}  // namespace
}  // namespace quillant
