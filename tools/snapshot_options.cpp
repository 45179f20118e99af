// SPDX-License-Identifier: MIT
#include "tools/snapshot_options.h"

#include "render/host_options.h"

namespace quillant {

namespace {

// Reads a count of frames from 1 to the most; "" when read, else what it is not.
std::string read_frame_count(const std::string& text, std::int64_t& count) {
    std::uint64_t value = 0;
    if (!parse_decimal(text, most_snapshot_frames, value) || value == 0) {
        return "a number of frames from 1 to " + std::to_string(most_snapshot_frames);
    }
    count = static_cast<std::int64_t>(value);
    return "";
}

}  // namespace

snapshot_command read_snapshot_command(const std::vector<std::string>& arguments) {
    snapshot_command command;
    snapshot_options& options = command.options;
    auto is_not = [](const std::string& what) { return what.empty() ? what : " is not " + what; };
    command.error = walk_command_line(
        arguments, {switch_option("quiet", options.quiet),
                    switch_option("help", options.help),
                    switch_option("h", options.help),
                    {"size", true,
                     [&](const std::string& value) {
                         return is_not(read_size(value, largest_snapshot_side, options.width,
                                                 options.height));
                     }},
                    {"seed", true,
                     [&](const std::string& value) { return is_not(read_seed(value, options.seed)); }},
                    {"frames", true,
                     [&](const std::string& value) {
                         return is_not(read_frame_count(value, options.frames));
                     }},
                    {"every", true,
                     [&](const std::string& value) {
                         return is_not(read_frame_count(value, options.every));
                     }},
                    {"out", true, [&](const std::string& value) {
                         if (value.empty()) return is_not("a folder");
                         options.out = value;
                         return std::string();
                     }}});
    if (command.error.empty() && !options.help && options.frames < options.every) {
        command.error = "--frames " + std::to_string(options.frames) + " with --every " +
                        std::to_string(options.every) +
                        " writes no picture: give --frames at least --every";
    }
    return command;
}

const char* snapshot_usage() {
    return "usage: quillant-snapshot [--size WxH] [--seed N] [--frames F] [--every E]\n"
           "                         [--out DIR] [--quiet]\n"
           "\n"
           "Draws Quillant's scene off-screen and writes frames as PNG files: frame k\n"
           "is the k-th frame of a saver started at that size and seed.\n"
           "  --size WxH    the picture's size, each side from 1 to 8192 (1024x768)\n"
           "  --seed N      the roses and the flight of seed N, 0 to 4294967295 (7)\n"
           "  --frames F    draw frames 1 to F, F from 1 to 10000000 (600)\n"
           "  --every E     write every E-th of them, E at most F (150)\n"
           "  --out DIR     the folder for frame-NNNN.png, made when missing (shots)\n"
           "  --quiet       leave out the search and rose diagnostics\n"
           "Options take one dash or two.\n";
}

}  // namespace quillant
