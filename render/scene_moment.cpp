// SPDX-License-Identifier: MIT
// A scene and its moments: the moment of its last frame, and a new scene
// taken on to a moment without drawing.
#include "render/scene.h"

#include "generation/orbit_tracing.h"

#include <cmath>
#include <new>

namespace quillant {

namespace {

// The fewest frames that any rose shows for, and one frame between two:
// an accepted orbit runs at least fewest_vanishing_hops hops.
const std::int64_t shortest_rose_frames =
    frames_drawing_rose(static_cast<std::size_t>(default_points_per_hop) * fewest_vanishing_hops) + 1;

std::string rose_of_seed(const moment& target) {
    return "rose " + std::to_string(target.rose) + " of seed " + std::to_string(target.seed);
}

}  // namespace

moment scene::now() {
    moment shown{seed_.value_or(0), frames_, 0, 0, std::nullopt};
    rose_set& set = root_.roses;
    platform::scoped_lock held(set.lock);
    shown.rose = set.roses_shown;
    if (set.roses.empty()) return shown;
    const traj_rose& rose = *set.roses.back();
    // Aged once on its first frame, and once on each after it.
    shown.began = frames_ + 2 - rose.progress / progress_step;
    if (std::isfinite(rose.slot.radius) && !rose.vertices.empty()) {
        // The ramp's entry v holds the base colour at full strength.
        shown.orbit = shown_orbit{rose.slot.start.real(), rose.slot.start.imag(), rose.slot.radius,
                                  rose.colours[rose.vertices.size()]};
    }
    return shown;
}

std::string scene::reach(const moment& target) {
    if (frames_ != 0 || worker_started()) return "a scene reaches a moment before its first frame";
    if (seed_ != target.seed) return "the moment is of another seed";
    const std::string why = replay_roses(target);
    if (!why.empty()) return why;
    for (std::int64_t frame = 1; frame < target.frame; ++frame) fly_camera(root_);
    frames_ = target.frame - 1;
    // Between two roses the next one is found already, and the moment's own
    // frame must not show it.
    hold_search_ = target.rose > 0 && target.began == 0;
    return "";
}

// The search draws the same values in the same order whenever each rose
// comes: the first orbit, then for each rose its colour and the next orbit.
// The rose on show is then the link's own, traced anew from its start, and
// left at its progress of the frame before the moment's.
std::string scene::replay_roses(const moment& target) {
    rose_set& set = root_.roses;
    const std::int64_t latest_start = target.began > 0 ? target.began : target.frame;
    const std::int64_t most_roses = target.began > 0
                                        ? 1 + (latest_start - 1) / shortest_rose_frames
                                        : latest_start / shortest_rose_frames;
    if (target.rose > most_roses) {
        return rose_of_seed(target) + (target.began > 0 ? " cannot have begun" : " cannot have ended") +
               " by frame " + std::to_string(latest_start) + ": each rose shows for " +
               std::to_string(shortest_rose_frames - 1) + " frames at least";
    }
    try {
        for (std::int64_t shown = 0; shown < target.rose; ++shown) {
            if (shown > 0) set.retire_roses();
            if (shown == 0) generation_step(set, random_);
            generation_step(set, random_);
            if (set.roses.empty()) throw std::bad_alloc();
        }
        if (target.began == 0) {
            set.retire_roses();
            return "";
        }
        if (target.orbit) show_orbit(*target.orbit);
    } catch (const std::bad_alloc&) {
        return "no memory for " + rose_of_seed(target);
    }
    traj_rose& rose = *set.roses.front();
    const std::int64_t lasts = frames_drawing_rose(rose.vertices.size());
    if (target.frame - target.began >= lasts) {
        return rose_of_seed(target) + ", begun on frame " + std::to_string(target.began) +
               ", has ended by frame " + std::to_string(target.frame) + ": it shows for " +
               std::to_string(lasts) + " frames";
    }
    rose.progress = static_cast<std::int32_t>(progress_step * (target.frame - target.began + 1));
    return "";
}

// The rose on show becomes the orbit's: its slot traced from the orbit's
// start, whatever this build's maths makes of its acceptance, measured as
// the link says, and coloured as it says.
void scene::show_orbit(const shown_orbit& orbit) {
    rose_set& set = root_.roses;
    platform::scoped_lock held(set.lock);
    const std::int32_t index = set.roses.front()->slot_index;
    orbit_slot& slot = set.slots[index];
    trace_orbit(slot, orbit.re, orbit.im);
    slot.radius = orbit.radius;
    set.roses.front() = make_rose(set, index, orbit.colour);
}

}  // namespace quillant
