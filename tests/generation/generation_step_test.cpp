// SPDX-License-Identifier: MIT
#include "generation/generation_step.h"
#include "generation/random_source.h"
#include "roses/colour.h"
#include "tests/support/allocation_hook.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <string>

namespace quillant {
namespace {

using testing::diagnostics_capture;

// Replays the worker's draws on a reference engine, so a test knows which
// candidates and colours a step must have used.
class reference_draws {
public:
    explicit reference_draws(std::uint32_t seed) : engine_(seed) {}

    double next() { return static_cast<double>(engine_()) / 4294967296.0; }

    // The search a step runs for a free slot, traced into a shadow slot that
    // inherits its centroid like the real one; returns the lines it writes.
    std::string search(orbit_slot& shadow) {
        diagnostics_capture err(diagnostic_stream::error);
        bool rejected = true;
        while (rejected) {
            const double a = next();
            const double b = next();
            rejected = trace_orbit(shadow, static_cast<float>(4.0 * b - 2.0),
                                   static_cast<float>(4.0 * a - 2.0));
        }
        return err.text();
    }

    std::uint32_t output() { return static_cast<std::uint32_t>(engine_()); }

private:
    std::mt19937 engine_;
};

struct step_output {
    std::string err;
    std::string out;
};

step_output step(rose_set& set) {
    diagnostics_capture err(diagnostic_stream::error);
    diagnostics_capture out(diagnostic_stream::output);
    generation_step(set);
    return {err.text(), out.text()};
}

void expect_same_orbit(const orbit_slot& slot, const orbit_slot& shadow) {
    EXPECT_EQ(slot.start, shadow.start);
    EXPECT_EQ(slot.hops, shadow.hops);
    EXPECT_EQ(slot.n, shadow.n);
    EXPECT_EQ(slot.radius, shadow.radius);
    EXPECT_EQ(slot.centroid, shadow.centroid);
}

TEST(GenerationStep, AlternatesTheTwoSlotsFromANewSet) {
    reseed_random_engine(31);
    reference_draws reference(31);
    orbit_slot shadow[2];
    rose_set set;

    // First call: nothing to show; slot 0 is traced until accepted.
    const std::string first_search = reference.search(shadow[0]);
    const step_output first = step(set);
    EXPECT_EQ(first.err, "roses.size: 0 < 1\n" + first_search);
    EXPECT_EQ(first.out, "");
    EXPECT_EQ(set.slot_states[0].load(), slot_ready);
    EXPECT_EQ(set.slot_states[1].load(), slot_free);
    EXPECT_EQ(set.rose_count.load(), 0u);
    expect_same_orbit(set.slots[0], shadow[0]);

    // Second call: slot 0 becomes a rose with a random colour; slot 1 is traced.
    set.fit_roses(800, 600);
    const double u1 = reference.next();
    const double u2 = reference.next();
    const double u3 = reference.next();
    rgba colour{0, 0, 0, 0};
    hsv_to_rgb(u3, 0.6 + 0.4 * u2, 0.75 + 0.25 * u1, colour);
    const std::string second_search = reference.search(shadow[1]);
    const step_output second = step(set);
    EXPECT_EQ(second.err, "roses.size: 0 < 1\n" + second_search);
    EXPECT_EQ(second.out.rfind("traj_rose:\n\thops:       " + std::to_string(shadow[0].hops), 0),
              0u);
    EXPECT_EQ(set.slot_states[0].load(), slot_showing);
    EXPECT_EQ(set.slot_states[1].load(), slot_ready);
    ASSERT_EQ(set.roses.size(), 1u);
    const traj_rose& rose = *set.roses.front();
    EXPECT_EQ(rose.slot_index, 0);
    EXPECT_EQ(&rose.slot, &set.slots[0]);
    EXPECT_EQ(rose.width, 800.0f);
    EXPECT_EQ(rose.height, 600.0f);
    const std::size_t v = rose.vertices.size();
    EXPECT_EQ(v, static_cast<std::size_t>(shadow[0].n));
    EXPECT_EQ(rose.colours[v].red, colour.red);
    EXPECT_EQ(rose.colours[v].green, colour.green);
    EXPECT_EQ(rose.colours[v].blue, colour.blue);
    EXPECT_EQ(rose.colours[v].alpha, 255);
    expect_same_orbit(set.slots[1], shadow[1]);

    // While the one rose lives and the other slot is ready: no line, no draw.
    for (int i = 0; i < 3; ++i) {
        const step_output idle = step(set);
        EXPECT_EQ(idle.err, "");
        EXPECT_EQ(idle.out, "");
    }
    EXPECT_EQ(set.slot_states[0].load(), slot_showing);
    EXPECT_EQ(set.slot_states[1].load(), slot_ready);

    // Once slot 0's rose retires, slot 1 is shown and slot 0 traced again.
    while (set.rose_count.load() > 0) set.age_roses();
    EXPECT_EQ(set.slot_states[0].load(), slot_free);
    for (int i = 0; i < 3; ++i) reference.next();
    const std::string third_search = reference.search(shadow[0]);
    const step_output third = step(set);
    EXPECT_EQ(third.err, "roses.size: 0 < 1\n" + third_search);
    EXPECT_EQ(set.slot_states[0].load(), slot_ready);
    EXPECT_EQ(set.slot_states[1].load(), slot_showing);
    ASSERT_EQ(set.roses.size(), 1u);
    EXPECT_EQ(set.roses.front()->slot_index, 1);
    expect_same_orbit(set.slots[0], shadow[0]);

    // The engine is exactly where the reference says.
    EXPECT_EQ(next_engine_output(), reference.output());
}

// Fills a slot with an accepted orbit.
void trace_accepted(orbit_slot& slot) {
    testing::silenced_diagnostics quiet;
    reseed_random_engine(8);
    search_orbit(slot);
}

TEST(GenerationStep, ShowsTheLowestReadySlotAndTracesNothingWhenNoneIsFree) {
    rose_set set;
    trace_accepted(set.slots[0]);
    trace_accepted(set.slots[1]);
    set.slot_states[0].store(slot_ready);
    set.slot_states[1].store(slot_ready);
    reseed_random_engine(3);
    reference_draws reference(3);

    const step_output result = step(set);
    EXPECT_EQ(result.err, "roses.size: 0 < 1\n");
    EXPECT_EQ(set.slot_states[0].load(), slot_showing);
    EXPECT_EQ(set.slot_states[1].load(), slot_ready);
    for (int i = 0; i < 3; ++i) reference.next();
    EXPECT_EQ(next_engine_output(), reference.output()) << "three draws for the colour only";
}

TEST(GenerationStep, RoseShowsTheSquareAboutTheCentroid) {
    rose_set set;
    orbit_slot& slot = set.slots[0];
    slot.n = 9;
    slot.centroid = complex_f(0.1f, -0.3f);
    slot.radius = 0.25f;
    set.slot_states[0].store(slot_ready);
    set.slot_states[1].store(slot_showing);  // nothing to trace
    step(set);
    ASSERT_EQ(set.roses.size(), 1u);
    const traj_rose& rose = *set.roses.front();
    EXPECT_EQ(rose.x_min, 0.1f - 0.3f);
    EXPECT_EQ(rose.y_min, -0.3f - 0.3f);
    EXPECT_EQ(rose.x_max, 0.1f + 0.3f);
    EXPECT_EQ(rose.y_max, -0.3f + 0.3f);
    EXPECT_EQ(rose.width, 0.0f) << "the set's size is still unknown";
}

// A failed allocation anywhere in building or adding the rose leaves no rose
// and the slot ready; the step returns normally and a later step shows it.
TEST(GenerationStep, SurvivesAFailedAllocationOfTheRose) {
    rose_set set;
    trace_accepted(set.slots[0]);
    set.slot_states[1].store(slot_showing);  // nothing to trace
    testing::silenced_diagnostics quiet;
    for (std::size_t successes = 0; successes < 4; ++successes) {
        set.slot_states[0].store(slot_ready);
        bool threw = false;
        testing::fail_allocations_after(successes);
        try {
            generation_step(set);
        } catch (...) {
            threw = true;
        }
        testing::allow_allocations();

        EXPECT_FALSE(threw) << successes << " allocations allowed";
        EXPECT_TRUE(set.roses.empty()) << successes << " allocations allowed";
        EXPECT_EQ(set.rose_count.load(), 0u);
        EXPECT_EQ(set.slot_states[0].load(), slot_ready);
    }
    step(set);
    EXPECT_EQ(set.roses.size(), 1u);
    EXPECT_EQ(set.slot_states[0].load(), slot_showing);
}

// Taken in slices of any size, a run of steps (each rose retired before the
// next step) writes, traces and shows exactly what whole steps do, and each
// step says it is under way until its last slice.
TEST(SlicedGenerationStep, SlicesOfAnySizeMatchWholeSteps) {
    // The lines and the first slot's orbit after `steps` steps; slice 0
    // takes whole steps.
    auto run_steps = [](std::uint32_t seed, std::int64_t slice, int steps, int& slices) {
        reseed_random_engine(seed);
        rose_set set;
        diagnostics_capture err(diagnostic_stream::error);
        diagnostics_capture out(diagnostic_stream::output);
        sliced_generation_step sliced;
        for (int i = 0; i < steps; ++i) {
            if (slice == 0) {
                generation_step(set);
            } else {
                while (!sliced.run(set, slice)) {
                    EXPECT_TRUE(sliced.under_way());
                    ++slices;
                }
                EXPECT_FALSE(sliced.under_way());
            }
            while (set.rose_count.load() > 0) set.age_roses();
        }
        return err.text() + out.text() + std::to_string(set.slots[0].start.real()) +
               std::to_string(set.slot_states[0].load()) +
               std::to_string(set.slot_states[1].load());
    };
    for (const std::uint32_t seed : {1u, 7u, 31u}) {
        int unused = 0;
        const std::string whole = run_steps(seed, 0, 6, unused);
        for (const std::int64_t slice : {1, 3, 50}) {
            int slices = 0;
            EXPECT_EQ(run_steps(seed, slice, 6, slices), whole)
                << "seed " << seed << ", slice " << slice;
            if (slice == 1) {
                EXPECT_GT(slices, 6) << "the searches took several slices";
            }
        }
    }
}

}  // namespace
}  // namespace quillant
