// SPDX-License-Identifier: MIT
// A scene and its moments: the moment of its last frame, and a new scene
// taken on to a moment without drawing.
#include "render/scene.h"

#include "generation/orbit_tracing.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <new>

namespace quillant {

namespace {

// The fewest frames that any rose shows for, and one frame between two:
// an accepted orbit runs at least fewest_vanishing_hops hops.
constexpr std::int64_t shortest_rose_frames =
    frames_drawing_rose(std::size_t{default_points_per_hop} * fewest_vanishing_hops) + 1;

// The most frames that a rose shows for: its orbit ran every hop.
constexpr std::int64_t longest_rose_frames =
    frames_drawing_rose(std::size_t{default_points_per_hop} * default_max_hops);

// Candidates traced between two looks at the clock.
constexpr std::int64_t candidates_per_look = 8;
// Frames flown between two looks at the clock.
constexpr std::int64_t frames_per_look = 4096;

// "rose K of seed S", for the reasons.
std::string rose_of_seed(const moment& target) {
    return "rose " + std::to_string(target.rose) + " of seed " + std::to_string(target.seed);
}

// "rose K of seed S cannot have begun by frame B", or between two roses
// "... cannot have ended by frame F": the start of a refusal.
std::string cannot_have(const moment& target) {
    return rose_of_seed(target) +
           (target.began > 0 ? " cannot have begun by frame " + std::to_string(target.began)
                             : " cannot have ended by frame " + std::to_string(target.frame));
}

// The most frames that the roses before the moment's rose (or, between two
// roses, up to it) may show for: the frames before it, and slack for another
// build, whose search takes an orbit on the edge of acceptance otherwise and
// from there on finds other roses, of other lengths.
std::int64_t most_rose_frames(const moment& target) {
    const std::int64_t frames = target.began > 0 ? target.began - 1 : target.frame;
    return frames + frames / 4 + 4 * longest_rose_frames;
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
    const std::string why = begin_reach(target);
    if (!why.empty()) return why;
    return *reach_further(0);
}

std::string scene::begin_reach(const moment& target) {
    if (frames_ != 0 || worker_started() || reaching_) {
        return "a scene reaches a moment before its first frame";
    }
    if (seed_ != target.seed) return "the moment is of another seed";
    const std::int64_t latest_start = target.began > 0 ? target.began : target.frame;
    const std::int64_t most_roses = target.began > 0
                                        ? 1 + (latest_start - 1) / shortest_rose_frames
                                        : latest_start / shortest_rose_frames;
    if (target.rose > most_roses) {
        return cannot_have(target) + ": each rose shows for " +
               std::to_string(shortest_rose_frames - 1) + " frames at least";
    }
    reaching_ = reaching{target, 0, 0, most_rose_frames(target), false, 0};
    return "";
}

std::optional<std::string> scene::reach_further(std::int64_t slice_us) {
    if (!reaching_) return "no moment is being reached";
    reaching& way = *reaching_;
    const moment& target = way.target;
    const std::int64_t deadline = slice_us > 0 ? platform::monotonic_us() + slice_us
                                               : std::numeric_limits<std::int64_t>::max();
    std::string why = replay_roses(way, deadline);
    const std::int64_t steps = target.rose == 0 ? 0 : target.rose + 1;
    if (why.empty() && way.steps < steps) return std::nullopt;
    if (why.empty() && !way.rose_on_show_set) {
        why = set_rose_on_show(target);
        way.rose_on_show_set = true;
    }
    if (!why.empty()) {
        reaching_.reset();
        return why;
    }
    while (way.flown < target.frame - 1) {
        if (way.flown % frames_per_look == 0 && platform::monotonic_us() >= deadline) {
            return std::nullopt;
        }
        fly_camera(root_);
        ++way.flown;
    }
    frames_ = target.frame - 1;
    // Between two roses the next one is found already, and the moment's own
    // frame must not show it.
    hold_search_ = target.rose > 0 && target.began == 0;
    reaching_.reset();
    return "";
}

// The search draws the same values in the same order whenever each rose
// comes: the first orbit, then for each rose its colour and the next orbit.
// What the roses before the moment's show for adds up as they come, so that
// a link that claims more than its frames hold is refused as soon as they
// are passed, not after a search of every rose it claims.
std::string scene::replay_roses(reaching& way, std::int64_t deadline_us) {
    const moment& target = way.target;
    rose_set& set = root_.roses;
    const std::int64_t steps = target.rose == 0 ? 0 : target.rose + 1;
    try {
        while (way.steps < steps) {
            if (platform::monotonic_us() >= deadline_us) return "";
            // Each rose goes as the step that shows the next begins.
            if (!step_.under_way() && way.steps > 1) set.retire_roses();
            if (!step_.run(set, candidates_per_look, random_)) continue;
            ++way.steps;
            if (way.steps == 1) continue;
            if (set.roses.empty()) throw std::bad_alloc();
            const std::int64_t shown = way.steps - 1;
            if (shown == target.rose && target.began > 0) continue;
            way.rose_frames += frames_drawing_rose(set.roses.front()->vertices.size()) + 1;
            if (way.rose_frames <= way.most_rose_frames) continue;
            return cannot_have(target) + ": the seed's first " + std::to_string(shown) +
                   " roses take " + std::to_string(way.rose_frames) + " frames";
        }
    } catch (const std::bad_alloc&) {
        return "no memory for " + rose_of_seed(target);
    }
    return "";
}

// The rose on show is the link's own, traced anew from its start, and left
// at its progress of the frame before the moment's; between two roses the
// last one goes.
std::string scene::set_rose_on_show(const moment& target) {
    rose_set& set = root_.roses;
    if (target.began == 0) {
        set.retire_roses();
        return "";
    }
    try {
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
