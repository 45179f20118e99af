// SPDX-License-Identifier: MIT
// One scene: the scene root (the camera with its rose set), its random
// source and its orbit search, which a host makes for its window, lays out
// for each size, draws a frame of at a time and ends. Scenes are
// independent: a process may hold several, each with engines of its own.
#pragma once

#include "camera/ball_camera.h"
#include "generation/generation_step.h"
#include "generation/random_source.h"
#include "generation/search_pacer.h"
#include "generation/worker.h"
#include "platform/platform.h"
#include "render/moment.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quillant {

// How a scene's orbit search runs, as its host chooses.
enum class search_driver {
    // A worker thread of its own, started with the first size, paced by the
    // wall clock; the scene's end stops it and waits for it.
    thread,
    // Slices before frames, at the worker's pace, for a host that has no
    // thread to give it.
    slices,
    // One whole generation step before every frame, so that frame k of a
    // seed is always the same picture: for snapshots and tests.
    every_frame,
};

// The longest slice of a sliced search: a frame never waits longer for it.
inline constexpr std::int64_t search_slice_us = 4000;

class scene {
public:
    // A scene with a random source of its own, seeded with `seed`.
    scene(std::uint32_t seed, search_driver driver);
    // A scene that draws from the process-wide source, as the Windows
    // saver's one scene does.
    explicit scene(search_driver driver);
    // Stops the search: a worker ends within one candidate of its search
    // and is joined.
    ~scene();
    scene(const scene&) = delete;
    scene& operator=(const scene&) = delete;

    // Sets the view up for a window of width x height pixels and lays the
    // roses out for it; the first call starts a worker. Needs a current GL
    // context.
    void resize(std::int32_t width, std::int32_t height);

    // Runs the search's share of the frame, then renders the frame into the
    // current GL context. Never waits for the worker.
    void draw_frame();

    // The frames drawn since the first size, or reached.
    std::int64_t frame() const { return frames_; }

    // The moment of the frame drawn last, for a link to it: a scene with a
    // seed of its own whose search runs between its frames.
    moment now();

    // Takes a scene of the moment's seed, before its first frame (and, with
    // a worker, before its first size), on to the moment without drawing:
    // the next draw_frame draws the moment's picture, laid out for the size
    // of then, and the scene goes on from it as it would have. Returns ""
    // when it got there, and otherwise why no run of the seed shows that
    // moment; the scene is then spoilt, and the host makes another.
    std::string reach(const moment& target);

    // The same in slices, for a host that must not block for the seconds
    // that a moment days in takes: begin_reach returns why not at once, or
    // "" and begins, and each reach_further goes on for about slice_us of
    // work; it gives nothing while on the way, then "" or why not, as reach.
    // The scene draws and is resized only once there.
    std::string begin_reach(const moment& target);
    std::optional<std::string> reach_further(std::int64_t slice_us);

    // Runs `count` frames without drawing them, a whole generation step
    // before each, as the every_frame driver draws them: frame k of a seed
    // sooner. Needs the size.
    void skip_frames(std::int64_t count);

    // Widens the roses' lines by the factor: for a buffer of more pixels than
    // the desktop's own (a scaled output), lines as wide as at scale 1.
    void set_line_scale(float scale) { line_scale_ = scale; }

    ball_camera& root() { return root_; }
    const ball_camera& root() const { return root_; }

    bool worker_started() const { return worker_.identifier() != 0; }
    std::uint32_t worker_thread() const { return worker_.identifier(); }

private:
    scene(std::optional<std::uint32_t> seed, random_source& shared, search_driver driver);

    // Runs a slice of the search when one is due.
    void search_slice();

    // The way to a moment, as far as it has gone.
    struct reaching {
        moment target;
        // Generation steps replayed: the first orbit's, then one a rose.
        std::int64_t steps = 0;
        // The frames that the roses replayed show for, with one after each.
        std::int64_t rose_frames = 0;
        // The most those may add up to: the moment's frame, or its rose's
        // beginning, and the slack for another build's roses.
        std::int64_t most_rose_frames = 0;
        bool rose_on_show_set = false;
        // Frames the camera has flown.
        std::int64_t flown = 0;
    };

    // Replays the roses of the moment's seed up to its rose, each shown and
    // retired in turn as the search would, until out of time; "" when done
    // or out of time, else why no run shows them so.
    std::string replay_roses(reaching& way, std::int64_t deadline_us);

    // The rose on show made the link's, left at its progress of the frame
    // before the moment's; "" or why no run shows it so.
    std::string set_rose_on_show(const moment& target);

    // Makes the rose on show the orbit's.
    void show_orbit(const shown_orbit& orbit);

    std::optional<std::uint32_t> seed_;
    std::unique_ptr<random_source> own_random_;
    random_source& random_;
    ball_camera root_;
    search_driver driver_;
    worker_task task_;
    platform::thread worker_;
    sliced_generation_step step_;
    search_pacer pacer_{search_slice_us};
    float line_scale_ = 1.0f;
    std::int64_t frames_ = 0;
    std::optional<reaching> reaching_;
    // Set by reach between two roses: the moment's frame runs no search, so
    // that it shows no rose, as the moment did.
    bool hold_search_ = false;
};

}  // namespace quillant
