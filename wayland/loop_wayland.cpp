// SPDX-License-Identifier: MIT
// The client's loop: it waits for the compositor's events, a stop signal or
// the next due frame, handles what came and draws what is due, until input,
// a signal, the compositor or a failure ends it.
#include "platform/platform.h"
#include "wayland/client_wayland.h"
#include "wayland/idle_wayland.h"
#include "wayland/saver_client_wayland.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace quillant {

namespace {

// libwayland's own complaints, heard only with --verbose: without it, a
// failure is the one line that report() writes.
void quiet_wayland_log(const char*, va_list) {}

// Waits for the compositor's events, a signal, the next due frame or, with
// --idle, the buses, and handles what came. False when the connection
// failed.
bool wait_and_dispatch(client& c, int signals) {
    while (wl_display_prepare_read(c.display) != 0) {
        if (wl_display_dispatch_pending(c.display) < 0) return false;
    }
    // What the socket would not take yet is sent once it is writable: with
    // every view waiting for a frame that its unsent commit asks for,
    // waiting to read alone would wait for ever.
    const bool unsent = wl_display_flush(c.display) < 0;
    if (unsent && errno != EAGAIN) {
        wl_display_cancel_read(c.display);
        return false;
    }
    const short wanted = unsent ? POLLIN | POLLOUT : POLLIN;
    std::vector<pollfd> watched = {{wl_display_get_fd(c.display), wanted, 0}, {signals, POLLIN, 0}};
    int timeout = next_frame_ms(c, platform::monotonic_us());
    if (c.idle != nullptr) timeout = sooner_ms(timeout, watch_idle_buses(c, watched));
    const int ready = poll(watched.data(), watched.size(), timeout);
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(c.display) < 0) return false;
    } else {
        wl_display_cancel_read(c.display);
    }
    if (watched[1].revents & POLLIN) c.ending = true;
    return wl_display_dispatch_pending(c.display) >= 0;
}

// After the compositor closed views: once all it had to say is heard (an
// output that goes withdraws its global after closing its view), the saver
// ends if the compositor took every view away from outputs that stay (with
// --idle, hides). A wallpaper waits for outputs to come back.
bool follow_closed_views(client& c) {
    c.views_closed = false;
    if (wl_display_roundtrip(c.display) < 0) return false;
    const bool covering = std::any_of(c.outputs.begin(), c.outputs.end(),
                                      [](const auto& o) { return o->described; });
    if (c.options.mode != wayland_mode::saver || !c.views.empty() || !covering) return true;
    if (c.idle != nullptr) {
        hear_idle(c, idle_event::views_gone);
    } else {
        c.ending = true;
    }
    return true;
}

// The client's life on a connection: what ends it, or "" for an ending by
// input, a signal or the compositor.
std::string run_connected(client& c, int signals) {
    std::string problem = meet_compositor(c);
    while (problem.empty() && c.failure.empty() && !c.ending) {
        if (!wait_and_dispatch(c, signals) || (c.views_closed && !follow_closed_views(c))) {
            return "the connection to the compositor failed";
        }
        if (c.idle != nullptr) follow_idle(c);
        const std::int64_t now_us = platform::monotonic_us();
        for (auto& v : c.views) draw_if_due(*v, now_us);
    }
    return problem.empty() ? c.failure : problem;
}

}  // namespace

void report(const std::string& message) {
    std::fprintf(stderr, "quillant-wayland: %s\n", message.c_str());
}

int run_wayland_saver(const wayland_options& options) {
    platform::end_signals signals;
    if (!signals.ready()) {
        report("cannot watch for SIGTERM and SIGINT");
        return 1;
    }
    if (!options.verbose) wl_log_set_handler_client(quiet_wayland_log);
    client c;
    c.options = options;
    c.first_seed = options.seed.value_or(0);
    if (options.idle_seconds > 0) c.idle = make_idle_watch(options);
    c.display = wl_display_connect(nullptr);
    if (c.display == nullptr) {
        report("no Wayland display to connect to (is WAYLAND_DISPLAY set?)");
        return 1;
    }
    c.keys = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const std::string problem = run_connected(c, signals.descriptor());
    disconnect(c);
    if (!problem.empty()) {
        report(problem);
        return 1;
    }
    return 0;
}

}  // namespace quillant
