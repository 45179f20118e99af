// quillant: the saver's scene as an XScreenSaver hack, drawn with GLX into a
// window of its own, into XScreenSaver's or a locker's window, or into a
// settings dialog's preview.
//
//   quillant [--window | --root | --window-id ID] [--geometry WxH]
//            [--delay MICROSECONDS] [--fps] [--verbose] [--display NAME]
#include "x11/fps_overlay_glx.h"
#include "render/frame.h"
#include "x11/gl_context_glx.h"
#include "render/view.h"
#include "x11/hack_options.h"
#include "x11/hack_window_x11.h"
#include "x11/xscreensaver_file.h"

#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quillant {

namespace {

// One line on standard error; errors are written whatever --verbose says.
void report(const std::string& message) {
    std::fprintf(stderr, "quillant: %s\n", message.c_str());
}

std::int64_t monotonic_us() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// A seed of this instance's own. Lockers start one instance per monitor at
// the same moment, so the calendar second alone would show the same roses on
// every monitor: the system's entropy tells them apart, and where there is
// none, the process id does.
std::uint32_t instance_seed() {
    std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr)) ^
                         static_cast<std::uint32_t>(getpid()) * 2654435761u;
    try {
        seed ^= std::random_device{}();
    } catch (const std::exception&) {
    }
    return seed;
}

// A descriptor that becomes readable when SIGTERM or SIGINT arrives. The two
// are blocked first, in this thread and so in every thread it starts later,
// the worker and the renderer's among them.
int stop_signal_descriptor() {
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    return signalfd(-1, &stop, SFD_CLOEXEC);
}

// The scene for the window: app record, scene root, view and worker, as the
// Windows saver's window creation makes them. False when memory runs out.
bool create_scene_for(const hack_window& window) {
    host.window_width = window.width;
    host.window_height = window.height;
    if (!create_app_record()) return false;
    host.app->view_mode = create_scene();
    if (host.app->view_mode == 0) return false;
    set_up_view();
    return true;
}

// Handles what the window has queued, laying the scene out again for a new
// size when there is a scene. False once the hack is to end.
bool follow_events(hack_window& window, bool drawing) {
    Display* display = window.display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (follow_window(window, event)) {
            case window_event::closed:
                return false;
            case window_event::resized:
                if (!drawing) break;
                // The roses are laid out again; the worker is not started again.
                host.window_width = window.width;
                host.window_height = window.height;
                set_up_view();
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
    while (follow_events(window, false)) {
        ppoll(waits, 2, nullptr, nullptr);
        if ((waits[1].revents & POLLIN) != 0) return;
    }
}

// Draws a frame every period until the window goes, its user ends the hack,
// or a stop signal arrives; until the next frame is due it waits for events
// or a signal, and with a period of 0 it only looks.
void run_frames(hack_window& window, glx_context& context, fps_overlay* overlay,
                std::int64_t period_us, int stop_signals) {
    const int connection = ConnectionNumber(window.display);
    std::int64_t next_frame = monotonic_us();
    while (follow_events(window, true)) {
        const std::int64_t rest_us = std::max<std::int64_t>(next_frame - monotonic_us(), 0);
        const timespec timeout{static_cast<time_t>(rest_us / 1000000),
                               static_cast<long>(rest_us % 1000000) * 1000};
        pollfd waits[] = {{connection, POLLIN, 0}, {stop_signals, POLLIN, 0}};
        ppoll(waits, 2, &timeout, nullptr);
        if ((waits[1].revents & POLLIN) != 0) return;

        const std::int64_t now = monotonic_us();
        if (now < next_frame) continue;
        render_frame();
        if (overlay != nullptr) overlay->draw(window.width, window.height, now);
        context.present();
        // A frame late by a whole period moves the beat instead of bunching
        // the next ones.
        next_frame += period_us;
        if (next_frame <= now) next_frame = now + period_us;
    }
}

// Runs the hack; its result is the exit status.
int run_hack(const hack_options& options) {
    const int stop_signals = stop_signal_descriptor();
    if (stop_signals < 0) {
        report("cannot watch for SIGTERM and SIGINT");
        return 1;
    }
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (display == nullptr) {
        report(std::string("cannot open the X display '") +
               XDisplayName(options.display.empty() ? nullptr : options.display.c_str()) + "'");
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
            } else if (!create_scene_for(window)) {
                problem = "not enough memory for the scene";
            }
        }
        if (problem.empty()) {
            std::unique_ptr<fps_overlay> overlay;
            if (options.show_fps) {
                overlay = std::make_unique<fps_overlay>(display);
                if (!overlay->ready()) report("no X font for the --fps figures");
            }
            run_frames(window, *context, overlay.get(), options.frame_period_us, stop_signals);
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
        report(command.error);
        return 1;
    }
    if (command.options.help) {
        std::fputs(hack_usage(), stdout);
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
    if (!command.options.verbose) {
        std::cout.setstate(std::ios::badbit);
        std::cerr.setstate(std::ios::badbit);
    }

    const std::uint32_t seed = command.options.seed.value_or(instance_seed());
    reseed_random_engine(seed);
    std::cerr << "quillant: seed " << seed << '\n' << std::flush;

    const int status = run_hack(command.options);
    // NOTE: the worker never stops, as in the Windows saver; the process ends
    // here without the runtime's exit processing, which would tear down what
    // the worker still uses.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
