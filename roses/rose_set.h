// SPDX-License-Identifier: MIT
// The rose set: where the worker and window threads meet. Two orbit slots
// handed between the threads by their states, and the locked list of live
// roses, oldest first.
#pragma once

#include "platform/platform.h"
#include "roses/orbit_slot.h"
#include "roses/traj_rose.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>

namespace quillant {

// Slot states. Only these three values occur.
inline constexpr std::int32_t slot_free = 0;      // the worker may trace into it
inline constexpr std::int32_t slot_ready = 1;     // holds an accepted orbit, not shown yet
inline constexpr std::int32_t slot_showing = -1;  // one live rose shows it; nobody writes it

inline constexpr std::size_t slot_count = 2;

// The frames that draw a rose of this many vertices: each ages it by
// progress_step, the first from its first progress, until it has run its
// course (while progress_step * (1 + i) < 4 v, for i = 1, 2, ...).
constexpr std::int64_t frames_drawing_rose(std::size_t vertices) {
    const auto bound = 4 * static_cast<std::int64_t>(vertices);
    return bound <= 2 * progress_step ? 0 : (bound - 1) / progress_step - 1;
}

struct rose_set {
    rose_set();

    // Stores the window size and lays every live rose out for it.
    void fit_roses(std::int32_t width, std::int32_t height);

    // Advances every live rose by one step and retires those that have run
    // their course, freeing their slots.
    void age_roses();

    // Makes a fully built rose live and marks its slot as showing.
    void add_rose(std::unique_ptr<traj_rose> rose);

    // Retires every live rose at once, freeing its slot, as ageing would at
    // the end of its course: for a scene taken on to a moment.
    void retire_roses();

    const std::int32_t max_roses = 1;
    std::array<orbit_slot, slot_count> slots;
    std::array<std::atomic<std::int32_t>, slot_count> slot_states;
    std::list<std::unique_ptr<traj_rose>> roses;  // guarded by lock
    // The count of roses, readable without the lock; changed only under it.
    std::atomic<std::uint32_t> rose_count{0};
    // The roses made live so far; guarded by lock.
    std::int64_t roses_shown = 0;
    platform::lock lock;
    std::atomic<std::int32_t> width{0};
    std::atomic<std::int32_t> height{0};

private:
    // Retires the rose at `it`, with the lock held; the next one's place.
    std::list<std::unique_ptr<traj_rose>>::iterator retire(
        std::list<std::unique_ptr<traj_rose>>::iterator it);
};

}  // namespace quillant
