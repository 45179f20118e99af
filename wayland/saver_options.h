// SPDX-License-Identifier: MIT
// quillant-wayland's command line, read without the window system: where it
// draws (a saver on every output, a wallpaper, or a window), on which output,
// whether it waits for the desktop's idle time itself, the frame period, the
// seed, and the overlay and diagnostics switches. Pure,
// so that it is tested and fuzzed natively.
#pragma once

#include "render/host_options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillant {

enum class wayland_mode {
    saver,       // above every window on each output, ended by input
    background,  // --background: under every window, never ended by input
    window,      // --window: one ordinary window, for trying it
};

struct wayland_options {
    wayland_mode mode = wayland_mode::saver;
    // --output NAME: that output alone; empty for every output.
    std::string output;
    std::int64_t frame_period_us = default_frame_period_us;
    // --idle SECONDS: the saver started once for the session, shown after
    // that long without input and hidden when the user is back; 0 without.
    std::uint32_t idle_seconds = 0;
    // --on-battery: with --idle, shown on battery power too.
    bool on_battery = false;
    // The first output's seed, to show a picture again; unset, each output
    // takes one of its own.
    std::optional<std::uint32_t> seed;
    bool show_fps = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

struct wayland_command {
    wayland_options options;
    // One line saying what is wrong; empty when the command is sound.
    std::string error;
};

// Reads the arguments after the program name, each option with one dash or
// two.
wayland_command read_wayland_command(const std::vector<std::string>& arguments);

// The seed of the output that came `index`-th, when the first has `first`:
// different for each, and the same again for the same first seed.
std::uint32_t output_seed(std::uint32_t first, std::size_t index);

// The longest --idle, a day: a longer wait is no screen saver's.
inline constexpr std::uint32_t longest_idle_seconds = 86400;

// The usage text, for --help.
const char* wayland_usage();

}  // namespace quillant
