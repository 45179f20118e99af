// SPDX-License-Identifier: MIT
// quillant: the saver's scene as an XScreenSaver hack, drawn with GLX into a
// window of its own, into XScreenSaver's or a locker's window, or into a
// settings dialog's preview.
//
//   quillant [--window | --root | --window-id ID] [--geometry WxH]
//            [--delay MICROSECONDS] [--fps] [--verbose] [--display NAME]
#include "platform/platform.h"
#include "render/frame_pacer.h"
#include "render/host_options.h"
#include "render/scene.h"
#include "roses/diagnostics.h"
#include "x11/fps_overlay_glx.h"
#include "x11/gl_context_glx.h"
#include "x11/hack_options.h"
#include "x11/hack_window_x11.h"
#include "x11/xscreensaver_file.h"

#include <poll.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace quillant {

namespace {

// One line on standard error; errors are written whatever --verbose says.
void report(const std::string& message) {
    std::fprintf(stderr, "quillant: %s\n", message.c_str());
}

// Handles what the window has queued, laying the scene out again for a new
// size when there is a scene. False once the hack is to end.
bool follow_events(hack_window& window, scene* drawn) {
    Display* display = window.display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (follow_window(window, event)) {
            case window_event::closed:
                return false;
            case window_event::resized:
                if (drawn != nullptr) drawn->resize(window.width, window.height);
                break;
            case window_event::none:
                break;
        }
    }
    // A failed request on the window means that it went under us.
    return !x_request_failed(window.id);
}

// Waits, drawing nothing, until someone else's window goes or a stop signal
// arrives.
// NOTE: a locker starts its saver again as soon as it ends, without a pause,
// so a hack that cannot draw and ends at once would take a processor.
void wait_for_the_end(hack_window& window, int stop_signals) {
    pollfd waits[] = {{ConnectionNumber(window.display), POLLIN, 0}, {stop_signals, POLLIN, 0}};
    while (follow_events(window, nullptr)) {
        ppoll(waits, 2, nullptr, nullptr);
        if ((waits[1].revents & POLLIN) != 0) return;
    }
}

// Draws a frame every period until the window goes, its user ends the hack,
// or a stop signal arrives; until the next frame is due it waits for events
// or a signal, and with a period of 0 it only looks.
void run_frames(hack_window& window, glx_context& context, scene& drawn, fps_overlay* overlay,
                std::int64_t period_us, int stop_signals) {
    const int connection = ConnectionNumber(window.display);
    frame_pacer pacer(period_us);
    while (follow_events(window, &drawn)) {
        const std::int64_t rest_us = pacer.wait_us(platform::monotonic_us());
        const timespec timeout{static_cast<time_t>(rest_us / 1000000),
                               static_cast<long>(rest_us % 1000000) * 1000};
        pollfd waits[] = {{connection, POLLIN, 0}, {stop_signals, POLLIN, 0}};
        ppoll(waits, 2, &timeout, nullptr);
        if ((waits[1].revents & POLLIN) != 0) return;

        const std::int64_t now = platform::monotonic_us();
        if (pacer.wait_us(now) > 0) continue;
        drawn.draw_frame();
        if (overlay != nullptr) overlay->draw(window.width, window.height, now);
        context.present();
        pacer.drawn(now);
    }
}

// Runs the hack; its result is the exit status.
int run_hack(const hack_options& options, std::uint32_t seed) {
    // Blocked in this thread, and so in every thread it starts later, the
    // worker and the renderer's among them.
    const platform::end_signals signals;
    if (!signals.ready()) {
        report("cannot watch for SIGTERM and SIGINT");
        return 1;
    }
    const int stop_signals = signals.descriptor();
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (display == nullptr) {
        report(std::string("cannot open the X display '") +
               XDisplayName(options.display.empty() ? nullptr : options.display.c_str()) +
               "' (see --help)");
        return 1;
    }
    trap_x_errors();

    hack_window window;
    std::string error;
    if (!open_hack_window(display, options, window, error)) {
        report(error);
        XCloseDisplay(display);
        return 1;
    }
    std::string problem = gl_window_problem(window);
    {
        std::unique_ptr<glx_context> context;
        if (problem.empty()) {
            context = std::make_unique<glx_context>(display, window.id, window.visual);
            if (!context->ready() || x_request_failed(window.id)) {
                problem = "cannot make an OpenGL context for the window";
            }
        }
        if (problem.empty()) {
            // The scene goes before its context: its worker is stopped and joined.
            scene drawn(seed, search_driver::thread);
            drawn.resize(window.width, window.height);
            std::unique_ptr<fps_overlay> overlay;
            if (options.show_fps) {
                overlay = std::make_unique<fps_overlay>(display);
                if (!overlay->ready()) report("no X font for the --fps figures");
            }
            run_frames(window, *context, drawn, overlay.get(), options.frame_period_us,
                       stop_signals);
        } else {
            report(problem);
            // Someone else's window stays black; the hack's own window goes.
            if (!window.own) wait_for_the_end(window, stop_signals);
        }
    }
    close_hack_window(window);
    XCloseDisplay(display);
    return problem.empty() ? 0 : 1;
}

}  // namespace

}  // namespace quillant

int main(int argc, char** argv) {
    using namespace quillant;
    const hack_command command =
        read_hack_command(std::vector<std::string>(argv + 1, argv + argc),
                          std::getenv("XSCREENSAVER_WINDOW"));
    if (!command.error.empty()) {
        report(command.error + " (see --help)");
        return 1;
    }
    if (command.options.help) {
        std::fputs(hack_usage(), stdout);
        return 0;
    }
    if (command.options.version) {
        std::fputs(hack_version().c_str(), stdout);
        return 0;
    }
    if (command.options.add_to_xscreensaver) {
        const char* home = std::getenv("HOME");
        const passwd* user = home == nullptr ? getpwuid(getuid()) : nullptr;
        return add_to_xscreensaver_file(home != nullptr   ? home
                                        : user != nullptr ? user->pw_dir
                                                          : "");
    }
    // A hack's output ends up in the session's log: the search and the roses
    // are described only when asked for.
    set_diagnostics_sink(command.options.verbose ? write_to_standard_streams : discard_diagnostics);
    const std::uint32_t seed = command.options.seed.value_or(instance_seed());
    diagnose(diagnostic_stream::error, "quillant: seed %u", static_cast<unsigned>(seed));
    return run_hack(command.options, seed);
}
