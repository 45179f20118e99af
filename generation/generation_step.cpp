// SPDX-License-Identifier: MIT
#include "generation/generation_step.h"

#include "generation/random_source.h"
#include "roses/colour.h"
#include "roses/diagnostics.h"
#include "roses/traj_rose.h"

#include <array>
#include <limits>
#include <memory>
#include <new>

namespace quillant {

namespace {

using slot_snapshot = std::array<std::int32_t, slot_count>;

// The slot states as the step begins. Acquire: a slot seen free comes with
// the window thread's last use of it, and with the rose count that its
// retirement lowered first.
slot_snapshot snapshot_states(const rose_set& set) {
    slot_snapshot states{};
    for (std::size_t i = 0; i < slot_count; ++i) {
        states[i] = set.slot_states[i].load(std::memory_order_acquire);
    }
    return states;
}

// The lowest slot index whose state satisfies the test, or -1.
template <typename Test>
int first_slot(const slot_snapshot& states, Test test) {
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (test(states[i])) return static_cast<int>(i);
    }
    return -1;
}

// Builds a rose with a random bright colour from the ready slot and makes it live.
void show_slot(rose_set& set, int index, random_source& random) {
    const double u1 = random.draw_uniform();
    const double u2 = random.draw_uniform();
    const double u3 = random.draw_uniform();
    rgba base{0, 0, 0, 0};
    hsv_to_rgb(u3, 0.6 + 0.4 * u2, 0.75 + 0.25 * u1, base);
    // NOTE: a failed allocation while the rose is built must not end the
    // worker (and with it the saver): the rose is dropped, the slot stays
    // ready, and a later step tries again.
    try {
        set.add_rose(make_rose(set, index, base));
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

std::unique_ptr<traj_rose> make_rose(const rose_set& set, int index, rgba base) {
    const orbit_slot& slot = set.slots[index];
    const auto r = static_cast<float>(static_cast<double>(slot.radius) * margin);
    const float cx = slot.centroid.real();
    const float cy = slot.centroid.imag();
    return std::make_unique<traj_rose>(slot, index, base, cx - r, cy - r, cx + r, cy + r,
                                       static_cast<float>(set.width.load()),
                                       static_cast<float>(set.height.load()));
}

std::int64_t search_orbit(orbit_slot& slot, random_source& random) {
    std::int64_t candidates = 0;
    while (!search_orbit_for(slot, 1, random)) ++candidates;
    return candidates + 1;
}

bool search_orbit_for(orbit_slot& slot, std::int64_t limit, random_source& random) {
    for (std::int64_t i = 0; i < limit; ++i) {
        // The first value drawn is the imaginary part.
        const double a = random.draw_uniform();
        const double b = random.draw_uniform();
        const auto im = static_cast<float>(4.0 * a - 2.0);
        const auto re = static_cast<float>(4.0 * b - 2.0);
        if (!trace_orbit(slot, re, im)) return true;
    }
    return false;
}

void generation_step(rose_set& set, random_source& random) {
    sliced_generation_step step;
    step.run(set, std::numeric_limits<std::int64_t>::max(), random);
}

bool sliced_generation_step::run(rose_set& set, std::int64_t candidates, random_source& random) {
    if (!begun_) {
        // NOTE: states before count. A slot freed after the count was read
        // would otherwise be traced while its rose's successor is not yet
        // shown, and the next step would show the same slot again instead of
        // the other one.
        const slot_snapshot states = snapshot_states(set);
        const std::uint32_t count = set.rose_count.load();
        if (count < static_cast<std::uint32_t>(set.max_roses)) {
            diagnose(diagnostic_stream::error, "roses.size: %u < %d", static_cast<unsigned>(count),
                     static_cast<int>(set.max_roses));
            const int ready = first_slot(states, [](std::int32_t state) { return state > 0; });
            if (ready >= 0) show_slot(set, ready, random);
        }
        searched_slot_ = first_slot(states, [](std::int32_t state) { return state == slot_free; });
        begun_ = true;
    }
    if (searched_slot_ >= 0) {
        if (!search_orbit_for(set.slots[searched_slot_], candidates, random)) return false;
        set.slot_states[searched_slot_].store(slot_ready);
    }
    begun_ = false;
    searched_slot_ = -1;
    return true;
}

}  // namespace quillant
