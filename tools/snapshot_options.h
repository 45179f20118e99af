// SPDX-License-Identifier: MIT
// quillant-snapshot's command line, read with the rules and messages of the
// hosts' options: the size, the seed, which frames to write and where, or
// one moment, as its values or as the page's link to it. Pure, so that it
// is tested and fuzzed natively.
#pragma once

#include "render/moment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillant {

inline constexpr std::int32_t largest_snapshot_side = 8192;
inline constexpr std::int64_t most_snapshot_frames = 10000000;

struct snapshot_options {
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::uint32_t seed = 7;
    // Frames 1 to `frames` are drawn; those that are multiples of `every`
    // are written.
    std::int64_t frames = 600;
    std::int64_t every = 150;
    // One picture instead: frame `frame` of the seed's own run, reached
    // without drawing the frames before it, when `at` is unset; else the
    // moment `at`, of a page's link, whose frame it is.
    std::optional<std::int64_t> frame;
    std::optional<moment> at;
    std::string out = "shots";
    bool quiet = false;
    bool help = false;
};

struct snapshot_command {
    snapshot_options options;
    // One line saying what is wrong; empty when the command is sound.
    std::string error;
};

// Reads the arguments after the program name, each option with one dash or
// two. A command that would write no picture is an error too, and so is
// one that names a moment twice or asks for it and for frames besides.
snapshot_command read_snapshot_command(const std::vector<std::string>& arguments);

// The usage text, for --help.
const char* snapshot_usage();

}  // namespace quillant
