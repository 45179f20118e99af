// SPDX-License-Identifier: MIT
#include "wayland/saver_options.h"

namespace quillant {

wayland_command read_wayland_command(const std::vector<std::string>& arguments) {
    wayland_command command;
    wayland_options& options = command.options;
    auto fail = [&command](const std::string& error) {
        command.error = error;
        return command;
    };

    bool window = false;
    bool background = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = option_name(argument);
        if (name == "window") {
            window = true;
        } else if (name == "background") {
            background = true;
        } else if (name == "fps") {
            options.show_fps = true;
        } else if (name == "verbose") {
            options.verbose = true;
        } else if (name == "help" || name == "h") {
            options.help = true;
        } else if (name == "version") {
            options.version = true;
        } else if (name == "output" || name == "delay" || name == "seed") {
            if (i + 1 >= arguments.size()) return fail(argument + " needs a value");
            const std::string& value = arguments[++i];
            std::string not_one;
            if (name == "output") {
                if (value.empty()) not_one = "an output's name";
                options.output = value;
            } else if (name == "delay") {
                not_one = read_frame_period(value, options.frame_period_us);
            } else {
                std::uint32_t seed = 0;
                not_one = read_seed(value, seed);
                options.seed = seed;
            }
            if (!not_one.empty()) return fail(argument + " " + quoted(value) + ": not " + not_one);
        } else {
            return fail("unknown option " + quoted(argument));
        }
    }
    if (window && background) return fail("--window and --background exclude each other");
    if (window && !options.output.empty()) return fail("--output is for the saver and --background");
    if (window) options.mode = wayland_mode::window;
    if (background) options.mode = wayland_mode::background;
    return command;
}

std::uint32_t output_seed(std::uint32_t first, std::size_t index) {
    // The golden ratio's step visits every 32-bit value before it repeats.
    return first + static_cast<std::uint32_t>(index) * 0x9E3779B9u;
}

const char* wayland_usage() {
    return "usage: quillant-wayland [--window | --background] [--output NAME]\n"
           "                        [--delay MICROSECONDS] [--seed N] [--fps] [--verbose]\n"
           "\n"
           "Quillant's roses on a Wayland desktop. By default a screen saver: above every\n"
           "window on each output, ended by a key, a button, a touch or a move of the\n"
           "pointer. It does not lock: an idle daemon starts it, and a locker after it.\n"
           "\n"
           "  --window          one ordinary window; Escape or q ends it\n"
           "  --background      under every window, not ended by input: a wallpaper, or\n"
           "                    a locker's background program\n"
           "  --output NAME     that output alone (as swaymsg -t get_outputs names it)\n"
           "  --delay US        microseconds between frames, 0 to 10000000 (50000)\n"
           "  --seed N          the first output's seed, to show its roses again\n"
           "  --fps             frames per second and CPU load in a corner\n"
           "  --verbose         the roses' diagnostics on standard output and error\n"
           "  --version         the version, and nothing more\n"
           "  --help            this text\n";
}

}  // namespace quillant
