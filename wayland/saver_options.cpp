// SPDX-License-Identifier: MIT
#include "wayland/saver_options.h"

namespace quillant {

wayland_command read_wayland_command(const std::vector<std::string>& arguments) {
    wayland_command command;
    wayland_options& options = command.options;
    bool window = false;
    bool background = false;
    // This program's messages say what a bad value is not after a colon.
    auto not_one = [](const std::string& what) { return what.empty() ? what : ": not " + what; };
    command.error = walk_command_line(
        arguments, {switch_option("window", window),
                    switch_option("background", background),
                    switch_option("fps", options.show_fps),
                    switch_option("verbose", options.verbose),
                    switch_option("help", options.help),
                    switch_option("h", options.help),
                    switch_option("version", options.version),
                    {"output", true,
                     [&](const std::string& value) {
                         options.output = value;
                         return not_one(value.empty() ? "an output's name" : "");
                     }},
                    switch_option("on-battery", options.on_battery),
                    {"idle", true,
                     [&](const std::string& value) {
                         std::uint64_t seconds = 0;
                         const bool read = parse_decimal(value, longest_idle_seconds, seconds) &&
                                           seconds > 0;
                         options.idle_seconds = static_cast<std::uint32_t>(seconds);
                         return not_one(read ? "" : "a number of seconds from 1 to 86400");
                     }},
                    {"delay", true,
                     [&](const std::string& value) {
                         return not_one(read_frame_period(value, options.frame_period_us));
                     }},
                    {"seed", true, [&](const std::string& value) {
                         std::uint32_t seed = 0;
                         const std::string refusal = not_one(read_seed(value, seed));
                         options.seed = seed;
                         return refusal;
                     }}});
    if (!command.error.empty()) return command;
    const bool idle = options.idle_seconds > 0;
    if (window && background) {
        command.error = "--window and --background exclude each other";
    } else if (idle && (window || background)) {
        command.error = std::string("--idle shows the saver, not ") +
                        (window ? "--window" : "--background");
    } else if (options.on_battery && !idle) {
        command.error = "--on-battery is for --idle";
    } else if (window && !options.output.empty()) {
        command.error = "--output is for the saver and --background";
    } else if (window) {
        options.mode = wayland_mode::window;
    } else if (background) {
        options.mode = wayland_mode::background;
    }
    return command;
}

std::uint32_t output_seed(std::uint32_t first, std::size_t index) {
    // The golden ratio's step visits every 32-bit value before it repeats.
    return first + static_cast<std::uint32_t>(index) * 0x9E3779B9u;
}

const char* wayland_usage() {
    return "usage: quillant-wayland [--window | --background | --idle SECONDS [--on-battery]]\n"
           "                        [--output NAME] [--delay MICROSECONDS] [--seed N] [--fps]\n"
           "                        [--verbose]\n"
           "\n"
           "Quillant's roses on a Wayland desktop. By default a screen saver: above every\n"
           "window on each output, ended by a key, a button, a touch or a move of the\n"
           "pointer. It does not lock: an idle daemon starts it, and a locker after it.\n"
           "\n"
           "  --window          one ordinary window; Escape or q ends it\n"
           "  --background      under every window, not ended by input: a wallpaper, or\n"
           "                    a locker's background program\n"
           "  --idle SECONDS    started once for the session, its own idle daemon: the\n"
           "                    saver after SECONDS (1 to 86400) without input, gone\n"
           "                    again when the user is back; not while a film or another\n"
           "                    client holds idle back, nor on battery\n"
           "  --on-battery      with --idle, on battery power too\n"
           "  --output NAME     that output alone (as swaymsg -t get_outputs names it)\n"
           "  --delay US        microseconds between frames, 0 to 10000000 (50000)\n"
           "  --seed N          the first output's seed, to show its roses again\n"
           "  --fps             frames per second and CPU load in a corner\n"
           "  --verbose         the roses' diagnostics on standard output and error\n"
           "  --version         the version, and nothing more\n"
           "  --help            this text\n";
}

}  // namespace quillant
