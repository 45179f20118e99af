// SPDX-License-Identifier: MIT
#include "x11/hack_options.h"

#include "quillant_version.h"

#include <cstddef>

namespace quillant {

namespace {

// Reads a hexadecimal number, every character a digit of it, no larger
// than `limit`.
bool parse_hex(const std::string& digits, std::uint64_t limit, std::uint64_t& value) {
    if (digits.empty()) return false;
    value = 0;
    for (const char c : digits) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (value > (limit - digit) / 16) return false;
        value = value * 16 + digit;
    }
    return true;
}

}  // namespace

bool parse_window_id(const std::string& text, std::uint32_t& id) {
    std::uint64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool read = hex ? parse_hex(text.substr(2), 0xFFFFFFFFu, value)
                          : parse_decimal(text, 0xFFFFFFFFu, value);
    if (!read || value == 0) return false;
    id = static_cast<std::uint32_t>(value);
    return true;
}

hack_command read_hack_command(const std::vector<std::string>& arguments,
                               const char* xscreensaver_window) {
    hack_command command;
    hack_options& options = command.options;
    auto is_not = [](const std::string& what) { return what.empty() ? what : " is not " + what; };
    // A later choice of window overrides an earlier one.
    auto target = [&options](const std::string& name, hack_target chosen) {
        return command_option{name, false, [&options, chosen](const std::string&) {
                                  options.target = chosen;
                                  return std::string();
                              }};
    };
    command.error = walk_command_line(
        arguments,
        {target("window", hack_target::own_window),
         target("root", hack_target::root),
         switch_option("fps", options.show_fps),
         switch_option("verbose", options.verbose),
         switch_option("help", options.help),
         switch_option("h", options.help),
         switch_option("version", options.version),
         switch_option("add-to-xscreensaver", options.add_to_xscreensaver),
         {"window-id", true,
          [&](const std::string& value) {
              if (!parse_window_id(value, options.window)) {
                  return std::string(" names no window: give its id, as 0x2a00007 or 44040199");
              }
              options.target = hack_target::window_id;
              return std::string();
          }},
         {"geometry", true,
          [&](const std::string& value) {
              return is_not(read_size(value, largest_window_side, options.width, options.height));
          }},
         {"delay", true,
          [&](const std::string& value) {
              return is_not(read_frame_period(value, options.frame_period_us));
          }},
         {"seed", true,
          [&](const std::string& value) {
              std::uint32_t seed = 0;
              const std::string refusal = is_not(read_seed(value, seed));
              if (refusal.empty()) options.seed = seed;
              return refusal;
          }},
         {"display", true, [&](const std::string& value) {
              options.display = value;
              return std::string();
          }}});
    if (!command.error.empty()) return command;

    if (options.target == hack_target::root) {
        options.window = 0;
        // Unset or empty: the root window.
        const bool named = xscreensaver_window != nullptr && *xscreensaver_window != '\0';
        if (named && !parse_window_id(xscreensaver_window, options.window)) {
            command.error = "XSCREENSAVER_WINDOW " + quoted(xscreensaver_window) + " names no window";
        }
    }
    return command;
}

const char* hack_usage() {
    return "usage: quillant [--window | --root | --window-id ID] [--geometry WxH]\n"
           "                [--delay MICROSECONDS] [--seed N] [--fps] [--verbose]\n"
           "                [--display NAME]\n"
           "       quillant --add-to-xscreensaver | --help | --version\n"
           "\n"
           "Draws Quillant's roses with OpenGL, as an XScreenSaver hack.\n"
           "  --window          a window of its own (the default); Escape or q ends it\n"
           "  --root            the window in $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID    the window ID (0x2a00007 or 44040199)\n"
           "  --geometry WxH    the size of its own window (1024x768)\n"
           "  --delay US        the frame period in microseconds (50000)\n"
           "  --seed N          the roses and the flight of seed N (0 to 4294967295);\n"
           "                    without it, each start has a seed of its own\n"
           "  --fps             frames per second and CPU load in a corner\n"
           "  --verbose         the seed, and the search and rose diagnostics, on the\n"
           "                    standard streams\n"
           "  --display NAME    the X display to draw on, as :0 or host:1 ($DISPLAY)\n"
           "  --add-to-xscreensaver  add the hack to the end of the list in\n"
           "                    ~/.xscreensaver, keeping the old text in ~/.xscreensaver.bak\n"
           "  --version         the version\n"
           "Options take one dash or two.\n";
}

std::string hack_version() { return std::string("quillant ") + version + "\n"; }

}  // namespace quillant
