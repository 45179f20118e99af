// SPDX-License-Identifier: MIT
// The X11 hack's command line and environment, read without the window
// system: which window to draw on, its size, the frame period, the seed, and
// the overlay and diagnostics switches. Pure, so that it is tested and fuzzed
// natively.
#pragma once

#include "render/host_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillant {

enum class hack_target {
    own_window,  // --window: a top-level window of its own
    root,        // --root: XSCREENSAVER_WINDOW's window, or the root window
    window_id,   // --window-id ID: a window that someone else made
};

inline constexpr std::int32_t default_hack_width = 1024;
inline constexpr std::int32_t default_hack_height = 768;
inline constexpr std::int32_t largest_window_side = 16384;

struct hack_options {
    hack_target target = hack_target::own_window;
    // The window to draw on; 0 is the root window. Unused for own_window.
    std::uint32_t window = 0;
    // Size of an own window.
    std::int32_t width = default_hack_width;
    std::int32_t height = default_hack_height;
    std::int64_t frame_period_us = default_frame_period_us;
    // The random engine's seed, to show a picture again; unset, each instance
    // takes one of its own.
    std::optional<std::uint32_t> seed;
    bool show_fps = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
    // Add the hack to the user's ~/.xscreensaver, and draw nothing.
    bool add_to_xscreensaver = false;
    // The X display to open; empty for $DISPLAY.
    std::string display;
};

struct hack_command {
    hack_options options;
    // One line saying what is wrong; empty when the command is sound.
    std::string error;
};

// Reads the arguments after the program name, each option with one dash or
// two, and XSCREENSAVER_WINDOW's value (null when it is unset), which only
// --root reads. A later choice of window overrides an earlier one.
hack_command read_hack_command(const std::vector<std::string>& arguments,
                               const char* xscreensaver_window);

// Reads a window id, hexadecimal after "0x" or decimal, as XScreenSaver and
// xsecurelock write them. False for anything else, for 0, and beyond 32 bits.
bool parse_window_id(const std::string& text, std::uint32_t& id);

// The usage text, for --help.
const char* hack_usage();

// The version line, for --version.
std::string hack_version();

}  // namespace quillant
