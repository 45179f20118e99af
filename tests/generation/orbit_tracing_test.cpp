// SPDX-License-Identifier: MIT
#include "generation/orbit_tracing.h"
#include "generation/random_source.h"
#include "tests/support/allocation_hook.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

namespace quillant {
namespace {

using testing::diagnostics_capture;

struct traced {
    bool rejected;
    std::string diagnostics;
};

traced trace(orbit_slot& slot, float re, float im) {
    diagnostics_capture err(diagnostic_stream::error);
    const bool rejected = trace_orbit(slot, re, im);
    return {rejected, err.text()};
}

TEST(OrbitTracing, NewSlotHasItsDefaults) {
    const orbit_slot slot;
    EXPECT_EQ(slot.start, complex_f(0.0f, 0.0f));
    EXPECT_EQ(slot.points_per_hop, 9);
    EXPECT_EQ(slot.max_hops, 384);
    EXPECT_EQ(slot.hops, 0);
    EXPECT_EQ(slot.n, 0);
    ASSERT_EQ(slot.points.size(), 3456u);
    EXPECT_EQ(slot.points.back(), complex_f(0.0f, 0.0f));
    EXPECT_EQ(slot.centroid, complex_f(0.0f, 0.0f));
}

TEST(OrbitTracing, EscapingOrbitIsRejectedSilently) {
    orbit_slot slot;
    const traced result = trace(slot, 2.0f, 2.0f);
    EXPECT_TRUE(result.rejected);
    EXPECT_EQ(slot.hops, 1);
    EXPECT_EQ(slot.n, 9);
    EXPECT_EQ(result.diagnostics, "");
    EXPECT_EQ(slot.start, complex_f(2.0f, 2.0f));
    EXPECT_EQ(slot.points[0], complex_f(2.0f, 2.0f));
}

TEST(OrbitTracing, OrbitVanishingAtOnceIsRejected) {
    orbit_slot slot;
    const traced result = trace(slot, 0.0f, 0.0f);
    EXPECT_TRUE(result.rejected);
    EXPECT_EQ(slot.hops, 1);
    EXPECT_EQ(slot.n, 9);
    EXPECT_EQ(result.diagnostics, "vanished after 1; radius 0\n");
}

TEST(OrbitTracing, OrbitVanishingBeforeThirtyTwoHopsIsRejectedWhateverItsShape) {
    orbit_slot slot;
    slot.centroid = complex_f(-0.369944543f, 0.330788672f);
    const traced result = trace(slot, -0.15f, 0.45f);
    EXPECT_TRUE(result.rejected);
    EXPECT_EQ(slot.hops, 22);
    EXPECT_EQ(slot.n, 9 * 22);
    EXPECT_FALSE(rejects_shape(slot.radius, slot.angle)) << "the shape alone would pass";
    EXPECT_EQ(result.diagnostics, "vanished after 22; radius 0.250174\n");
}

TEST(OrbitTracing, OrbitVanishingLaterGoesToTheAcceptanceTest) {
    orbit_slot slot;
    slot.centroid = complex_f(-0.269158781f, -0.376288265f);
    const traced result = trace(slot, -0.37f, -0.48f);
    EXPECT_FALSE(result.rejected);
    EXPECT_EQ(slot.hops, 51);
    EXPECT_EQ(slot.n, 9 * 51);
    EXPECT_EQ(result.diagnostics, "vanished after 51; radius 0.317828\n");

    // The same orbit measured from a new slot's centroid is too wide.
    orbit_slot fresh;
    const traced wide = trace(fresh, -0.37f, -0.48f);
    EXPECT_TRUE(wide.rejected);
    EXPECT_GT(fresh.radius, 0.45f);
    EXPECT_EQ(fresh.hops, 51);
}

TEST(OrbitTracing, BoundedOrbitRunsEveryHopAndFillsTheStorage) {
    orbit_slot slot;
    slot.centroid = complex_f(-0.371634066f, 0.298084497f);
    const traced accepted = trace(slot, -0.2f, 0.64f);
    EXPECT_FALSE(accepted.rejected);
    EXPECT_EQ(slot.hops, 384);
    EXPECT_EQ(slot.n, 3456);
    EXPECT_EQ(accepted.diagnostics, "finished with radius 0.389005\n");

    // z -> z^2 - 1 cycles between -1 and 0: far from the new slot's centroid.
    orbit_slot cycling;
    const traced rejected = trace(cycling, -1.0f, 0.0f);
    EXPECT_TRUE(rejected.rejected);
    EXPECT_EQ(cycling.hops, 384);
    EXPECT_EQ(cycling.n, 3456);
    EXPECT_EQ(cycling.radius, 1.0f);
    EXPECT_EQ(rejected.diagnostics, "finished with radius 1\n");
}

TEST(OrbitTracing, CentroidIsInheritedFromThePreviousTrace) {
    orbit_slot slot;
    trace(slot, -1.0f, 0.0f);
    EXPECT_FLOAT_EQ(slot.centroid.real(), -0.5f);
    EXPECT_EQ(slot.centroid.imag(), 0.0f);
    EXPECT_EQ(slot.radius, 1.0f);

    // Hops 0-15 now measure from (-0.5, 0) instead of (0, 0).
    const traced again = trace(slot, -1.0f, 0.0f);
    EXPECT_FLOAT_EQ(slot.radius, 0.5f);
    EXPECT_EQ(again.diagnostics, "finished with radius 0.5\n");
}

TEST(OrbitTracing, CentroidIsTheMeanOfOrbitPointsFromHopSixteenOn) {
    orbit_slot slot;
    slot.centroid = complex_f(3.0f, 3.0f);
    slot.max_hops = 16;
    trace(slot, -1.0f, 0.0f);
    EXPECT_EQ(slot.centroid, complex_f(3.0f, 3.0f)) << "hops 0-15 leave it alone";

    slot.max_hops = 18;
    trace(slot, -1.0f, 0.0f);
    // Hop 16 is -1 and hop 17 is 0.
    EXPECT_EQ(slot.centroid, complex_f(-0.5f, 0.0f));
}

TEST(OrbitTracing, NoHopsWithoutPositiveMaxHops) {
    for (const std::int32_t max_hops : {0, -3}) {
        orbit_slot slot;
        slot.max_hops = max_hops;
        slot.radius = 7.0f;
        slot.angle = 7.0f;
        const traced result = trace(slot, -1.0f, 0.0f);
        EXPECT_TRUE(result.rejected);
        EXPECT_EQ(slot.hops, max_hops);
        EXPECT_EQ(slot.n, 0);
        EXPECT_EQ(slot.radius, 0.0f);
        EXPECT_EQ(slot.angle, 0.0f);
        EXPECT_EQ(result.diagnostics, "finished with radius 0\n");
    }
}

TEST(OrbitTracing, OnePointPerHopStoresOnlyTheOrbit) {
    orbit_slot slot;
    slot.points_per_hop = 1;
    slot.max_hops = 5;
    slot.points.assign(5, complex_f(9.0f, 9.0f));
    trace(slot, -1.0f, 0.0f);
    EXPECT_EQ(slot.n, 5);
    EXPECT_EQ(slot.hops, 5);
    const complex_f expected[] = {{-1, 0}, {0, 0}, {-1, 0}, {0, 0}, {-1, 0}};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(slot.points[k], expected[k]) << "point " << k;
}

// Each hop is a logarithmic spiral from z towards z^2 + c: the modulus moves
// geometrically and the argument linearly, and the hop ends two parameter steps
// short of the next orbit point.
TEST(OrbitTracing, HopCurveIsASpiralArcTowardsTheNextOrbitPoint) {
    orbit_slot slot;
    const complex_f c(0.3f, 0.2f);
    trace(slot, c.real(), c.imag());
    const complex_f z1 = c * c + c;
    EXPECT_EQ(slot.points[0], c);
    EXPECT_NEAR(std::abs(slot.points[1] - c), 0.0f, 1e-6f) << "t = 0 gives z itself";
    for (int j = 0; j <= 7; ++j) {
        const double t = j / 9.0;
        const double modulus = std::pow(std::abs(c), 1.0 - t) * std::pow(std::abs(z1), t);
        const double argument = (1.0 - t) * std::arg(c) + t * std::arg(z1);
        const complex_f p = slot.points[1 + j];
        EXPECT_NEAR(std::abs(p), modulus, 1e-5) << "j = " << j;
        EXPECT_NEAR(std::arg(p), argument, 1e-5) << "j = " << j;
    }
    EXPECT_NEAR(std::abs(slot.points[9] - z1), 0.0f, 1e-6f) << "next hop starts at z1";
}

TEST(OrbitTracing, HopExponentRaisesZToTheNextOrbitPoint) {
    const complex_f z(0.4f, -0.3f);
    const complex_f c(-0.5f, 0.25f);
    const complex_f w = hop_exponent(z, c);
    const complex_f reached = std::pow(z, complex_f(1.0f, 0.0f) + w);
    EXPECT_NEAR(std::abs(reached - (z * z + c)), 0.0f, 1e-5f);
}

TEST(OrbitTracing, OrbitThroughOneContinuesNormally) {
    // z = 1 makes log z = 0, so the first hop's curve is not finite; the
    // orbit 1, 2, 5, 26 goes on and escapes after three hops.
    orbit_slot slot;
    const traced result = trace(slot, 1.0f, 0.0f);
    EXPECT_TRUE(result.rejected);
    EXPECT_EQ(slot.hops, 3);
    EXPECT_EQ(slot.points[0], complex_f(1.0f, 0.0f));
    EXPECT_EQ(slot.points[9], complex_f(2.0f, 0.0f));
    EXPECT_EQ(slot.points[18], complex_f(5.0f, 0.0f));
    EXPECT_EQ(result.diagnostics, "");
}

TEST(OrbitTracing, VertexAngleIsMeasuredBetweenTheWayBackAndTheWayOn) {
    // On the real axis from c = 0.2 every step points the same way: a straight
    // continuation, pi.
    orbit_slot slot;
    trace(slot, 0.2f, 0.0f);
    EXPECT_FLOAT_EQ(slot.angle, 3.14159274f);
    // z -> z^2 - 1 reverses at every vertex.
    trace(slot, -1.0f, 0.0f);
    EXPECT_EQ(slot.angle, 0.0f);
}

TEST(OrbitTracing, AcceptanceBoundsAreInclusive) {
    const auto sixth_of_pi = static_cast<float>(smallest_accepted_angle);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(rejects_shape(0.45f, 1.0f));  // 0.45f lies just below 0.45
    EXPECT_FALSE(rejects_shape(0.2f, 1.0f));   // 0.2f lies just above 0.2
    EXPECT_FALSE(rejects_shape(0.3f, sixth_of_pi));
    EXPECT_TRUE(rejects_shape(0.1999f, 1.0f));
    EXPECT_TRUE(rejects_shape(0.4501f, 1.0f));
    EXPECT_TRUE(rejects_shape(0.3f, std::nextafter(sixth_of_pi, 0.0f)));
    EXPECT_FALSE(rejects_shape(nan, 1.0f));
    EXPECT_FALSE(rejects_shape(0.3f, nan));
}

TEST(OrbitTracing, TracingNeverAllocates) {
    testing::silenced_diagnostics quiet;
    orbit_slot slot;
    const std::size_t before = testing::allocation_count();
    const float candidates[][2] = {{2, 2}, {0, 0}, {-1, 0}, {-0.2f, 0.64f}, {-0.37f, -0.48f}};
    for (const auto& c : candidates) trace_orbit(slot, c[0], c[1]);
    const std::size_t after = testing::allocation_count();
    EXPECT_EQ(after, before);

    // The count must see allocations at all, or the check above proves nothing.
    ::operator delete(::operator new(16));
    EXPECT_GT(testing::allocation_count(), after);
}

// Candidates drawn as the worker draws them: every accepted orbit has a rose's
// shape, and every trace leaves the slot consistent.
TEST(OrbitTracing, EverySeededCandidateLeavesAConsistentSlot) {
    reseed_random_engine(1234);
    orbit_slot slot;
    int accepted = 0;
    int lines_expected = 0;
    diagnostics_capture err(diagnostic_stream::error);
    for (int candidate = 0; candidate < 4000; ++candidate) {
        const double a = draw_uniform();
        const double b = draw_uniform();
        const auto im = static_cast<float>(4.0 * a - 2.0);
        const auto re = static_cast<float>(4.0 * b - 2.0);
        const bool rejected = trace_orbit(slot, re, im);

        ASSERT_GE(slot.hops, 1);
        ASSERT_LE(slot.hops, 384);
        ASSERT_EQ(slot.n, 9 * slot.hops);
        for (int hop = 0; hop < slot.hops; ++hop) {
            ASSERT_LE(std::abs(slot.points[9 * hop]), 5.0f) << "orbit points stay bounded";
        }
        const complex_f last = slot.points[9 * (slot.hops - 1)];
        const complex_f next = last * last + slot.start;
        const bool escaped = 5.0f < std::abs(next);
        if (!escaped) ++lines_expected;
        if (!rejected) {
            ++accepted;
            EXPECT_FALSE(escaped);
            EXPECT_GE(slot.hops, 32);
            EXPECT_GE(static_cast<double>(slot.radius), 0.2);
            EXPECT_LE(static_cast<double>(slot.radius), 0.45);
            if (!std::isnan(slot.angle)) {
                EXPECT_GE(static_cast<double>(slot.angle), smallest_accepted_angle);
            }
        }
    }
    EXPECT_GT(accepted, 10);
    const std::string text = err.text();
    int lines = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line); ++lines) {
        ASSERT_TRUE(line.rfind("vanished after ", 0) == 0 ||
                    line.rfind("finished with radius ", 0) == 0)
            << line;
    }
    EXPECT_EQ(lines, lines_expected);
}

}  // namespace
}  // namespace quillant
