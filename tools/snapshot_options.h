// SPDX-License-Identifier: MIT
// quillant-snapshot's command line, read with the rules and messages of the
// hosts' options: the size, the seed, which frames to write and where.
// Pure, so that it is tested and fuzzed natively.
#pragma once

#include <cstdint>
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
// two. A command that would write no picture is an error too.
snapshot_command read_snapshot_command(const std::vector<std::string>& arguments);

// The usage text, for --help.
const char* snapshot_usage();

}  // namespace quillant
