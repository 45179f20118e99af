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

// What the options that name frames or a moment were given, to check that
// they go together.
struct given_options {
    bool seed = false;
    bool frames = false;
    bool every = false;
    bool link = false;
    moment_parts parts;
};

// The first way in which the options given do not go together, or "".
std::string mismatch(const given_options& given, const snapshot_options& options) {
    const bool one_picture = given.link || given.parts.any();
    if (one_picture && (given.frames || given.every)) {
        return "a moment is one picture: give --frame, --rose, --began, --orbit or --link "
               "without --frames and --every";
    }
    if (given.link && (given.seed || given.parts.any())) {
        return "--link holds the whole moment: give it without --seed, --frame, --rose, "
               "--began and --orbit";
    }
    if (!one_picture && !options.help && options.frames < options.every) {
        return "--frames " + std::to_string(options.frames) + " with --every " +
               std::to_string(options.every) +
               " writes no picture: give --frames at least --every";
    }
    return "";
}

}  // namespace

snapshot_command read_snapshot_command(const std::vector<std::string>& arguments) {
    snapshot_command command;
    snapshot_options& options = command.options;
    given_options given;
    auto is_not = [](const std::string& what) { return what.empty() ? what : " is not " + what; };
    auto moment_part = [&](const std::string& name) {
        return command_option{name, true, [&, name](const std::string& value) {
                                  return is_not(read_moment_part(name, value, given.parts));
                              }};
    };
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
                     [&](const std::string& value) {
                         given.seed = true;
                         return is_not(read_seed(value, options.seed));
                     }},
                    {"frames", true,
                     [&](const std::string& value) {
                         given.frames = true;
                         return is_not(read_frame_count(value, options.frames));
                     }},
                    {"every", true,
                     [&](const std::string& value) {
                         given.every = true;
                         return is_not(read_frame_count(value, options.every));
                     }},
                    moment_part("frame"),
                    moment_part("rose"),
                    moment_part("began"),
                    moment_part("orbit"),
                    {"link", true,
                     [&](const std::string& value) {
                         given.link = true;
                         moment linked;
                         const std::string why = read_moment_link(value, linked);
                         if (!why.empty()) return " is not a link to a moment: " + why;
                         options.at = linked;
                         return std::string();
                     }},
                    {"out", true, [&](const std::string& value) {
                         if (value.empty()) return is_not("a folder");
                         options.out = value;
                         return std::string();
                     }}});
    if (!command.error.empty() || options.help) return command;
    command.error = mismatch(given, options);
    if (!command.error.empty() || !given.parts.any()) return command;

    // Frame k of the seed's own run, or a moment of the page's.
    options.frame = given.parts.frame;
    if (!given.parts.rose && !given.parts.began && !given.parts.orbit) return command;
    given.parts.seed = options.seed;
    moment values;
    command.error = assemble_moment(given.parts, values);
    if (command.error.empty()) options.at = values;
    return command;
}

const char* snapshot_usage() {
    return "usage: quillant-snapshot [--size WxH] [--seed N] [--frames F] [--every E]\n"
           "                         [--out DIR] [--quiet]\n"
           "       quillant-snapshot [--size WxH] [--seed N] --frame F\n"
           "                         [--rose K [--began B [--orbit RE,IM,RADIUS,RRGGBB]]]\n"
           "                         [--out DIR] [--quiet]\n"
           "       quillant-snapshot [--size WxH] --link LINK [--out DIR] [--quiet]\n"
           "\n"
           "Draws Quillant's scene off-screen and writes frames as PNG files: frame k\n"
           "is the k-th frame of a saver started at that size and seed.\n"
           "  --size WxH    the picture's size, each side from 1 to 8192 (1024x768)\n"
           "  --seed N      the roses and the flight of seed N, 0 to 4294967295 (7)\n"
           "  --frames F    draw frames 1 to F, F from 1 to 10000000 (600)\n"
           "  --every E     write every E-th of them, E at most F (150)\n"
           "  --frame F     write frame F alone, as quillant-N-F.png, reached without\n"
           "                drawing the frames before it, F from 1 to 1728000\n"
           "  --rose K      with --frame: the moment of a page that had shown K roses\n"
           "  --began B     with --rose: the rose on show began on frame B\n"
           "  --orbit O     with --began: the rose on show is the orbit RE,IM,RADIUS,RRGGBB\n"
           "                of the link, whichever rose this build's search found there\n"
           "  --link LINK   the moment of a page's link (?seed=N&frame=F&rose=K&began=B\n"
           "                &orbit=O)\n"
           "  --out DIR     the folder for the pictures, made when missing (shots)\n"
           "  --quiet       leave out the search and rose diagnostics\n"
           "Options take one dash or two.\n";
}

}  // namespace quillant
