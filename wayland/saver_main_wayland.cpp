// SPDX-License-Identifier: MIT
// quillant-wayland: the saver's scene on a Wayland desktop, above every
// window on each output until input ends it, as a wallpaper, or in a window;
// with --idle, shown whenever the desktop says the user is idle.
//
//   quillant-wayland [--window | --background | --idle SECONDS [--on-battery]]
//                    [--output NAME] [--delay MICROSECONDS] [--seed N] [--fps]
//                    [--verbose]
#include "roses/diagnostics.h"
#include "wayland/saver_client_wayland.h"
#include "wayland/saver_options.h"

#include "quillant_version.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace quillant;
    const wayland_command command =
        read_wayland_command(std::vector<std::string>(argv + 1, argv + argc));
    if (!command.error.empty()) {
        std::fprintf(stderr, "quillant-wayland: %s (see --help)\n", command.error.c_str());
        return 1;
    }
    if (command.options.help) {
        std::fputs(wayland_usage(), stdout);
        return 0;
    }
    if (command.options.version) {
        std::printf("quillant-wayland %s\n", version);
        return 0;
    }
    // An idle daemon's program writes into the session's log: the search and
    // the roses are described only when asked for.
    set_diagnostics_sink(command.options.verbose ? write_to_standard_streams : discard_diagnostics);
    return run_wayland_saver(command.options);
}
