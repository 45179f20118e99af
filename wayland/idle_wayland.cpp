// SPDX-License-Identifier: MIT
#include "wayland/idle_wayland.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "platform/platform.h"
#include "wayland/client_wayland.h"

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quillant {

namespace {

// The compositor's idle notifications, ext_idle_notifier_v1's and KDE's:
// idle after the time asked, and back at the user's next input.
void idled(void* data, ext_idle_notification_v1*) {
    static_cast<idle_watch*>(data)->heard.push_back(idle_event::idle);
}
void resumed(void* data, ext_idle_notification_v1*) {
    static_cast<idle_watch*>(data)->heard.push_back(idle_event::active);
}
const ext_idle_notification_v1_listener notification_listener = {idled, resumed};

void kde_idle(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<idle_watch*>(data)->heard.push_back(idle_event::idle);
}
void kde_resumed(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<idle_watch*>(data)->heard.push_back(idle_event::active);
}
const org_kde_kwin_idle_timeout_listener kde_timeout_listener = {kde_idle, kde_resumed};

// With --verbose, one line on what the idle watch heard or did.
void tell(const client& c, const std::string& line) {
    if (c.options.verbose) report("idle: " + line);
}

// Asks the compositor to say when the seat has been idle for the time.
void watch_seat(idle_watch& w, wl_seat* seat) {
    const std::uint32_t ms = w.seconds * 1000;
    w.on_seat = seat;
    if (w.notifier != nullptr) {
        w.notification = ext_idle_notifier_v1_get_idle_notification(w.notifier, ms, seat);
        ext_idle_notification_v1_add_listener(w.notification, &notification_listener, &w);
    } else {
        w.kde_timeout = org_kde_kwin_idle_get_idle_timeout(w.kde_idle, seat, ms);
        org_kde_kwin_idle_timeout_add_listener(w.kde_timeout, &kde_timeout_listener, &w);
    }
}

// Lets go of the seat's notification, so that another seat can be watched.
void unwatch_seat(idle_watch& w) {
    if (w.notification != nullptr) ext_idle_notification_v1_destroy(w.notification);
    if (w.kde_timeout != nullptr) org_kde_kwin_idle_timeout_release(w.kde_timeout);
    w.notification = nullptr;
    w.kde_timeout = nullptr;
    w.on_seat = nullptr;
}

// GNOME's idle monitor on the session bus, which Mutter serves; it knows
// nothing of inhibitors, so the session manager is asked before showing.
std::string watch_gnome(client& c) {
    idle_watch& w = *c.idle;
    w.session = desktop_bus::session();
    std::string why = "no session bus";
    bool absent = true;
    if (w.session != nullptr) w.gnome = gnome_idle::watch(*w.session, w.seconds, w.heard, why, absent);
    if (w.gnome == nullptr) {
        w.session.reset();
        if (!absent) return "GNOME's idle monitor took no idle watch: " + why;
        tell(c, "no Wayland idle protocol, and no GNOME idle monitor: " + why);
        return "this desktop does not say when it is idle; use its idle daemon: have it start "
               "quillant-wayland, without --idle, after the idle time";
    }
    w.state.asks_inhibition = true;
    w.source = "org.gnome.Mutter.IdleMonitor";
    return "";
}

// UPower on the system bus, unless the saver shows on battery anyway.
void follow_power(client& c) {
    idle_watch& w = *c.idle;
    if (w.state.shows_on_battery) return tell(c, "shown on battery too");
    w.system = desktop_bus::system();
    if (w.system != nullptr) w.battery = upower_battery::follow(*w.system, w.heard);
    if (w.battery == nullptr) {
        w.system.reset();
        return tell(c, "no system bus: mains power taken");
    }
    tell(c, "UPower says when on battery; without it, mains power taken");
}

// The views come, with EGL's display, which was let go while waiting.
void show(client& c) {
    if (c.egl == nullptr) {
        c.egl = std::make_unique<egl_display>(c.display);
        if (!c.egl->ready()) {
            c.failure = c.egl->error();
            return;
        }
    }
    c.idle->shown_at_us = platform::monotonic_us();
    tell(c, "showing the saver");
    show_views(c);
}

// Everything the views had goes, with EGL's display and its driver.
void hide(client& c) {
    hide_views(c);
    c.egl.reset();
#if defined(__GLIBC__)
    // NOTE: glibc keeps what the views' threads freed in their arenas; given
    // back, the memory of a waiting saver stays what it was before it showed.
    malloc_trim(0);
#endif
    c.idle->shown_at_us = 0;
    tell(c, "hidden; waiting");
}

// With --verbose, once every view has had a frame on screen: how long after
// the idle event.
void tell_first_frames(client& c) {
    idle_watch& w = *c.idle;
    if (w.shown_at_us == 0 || c.views.empty()) return;
    const bool all = std::all_of(c.views.begin(), c.views.end(),
                                 [](const auto& v) { return v->presented; });
    if (!all) return;
    const std::int64_t ms = (platform::monotonic_us() - w.shown_at_us) / 1000;
    w.shown_at_us = 0;
    tell(c, "first frames on screen " + std::to_string(ms) + " ms after the idle event");
}

}  // namespace

std::unique_ptr<idle_watch> make_idle_watch(const wayland_options& options) {
    auto w = std::make_unique<idle_watch>();
    w->seconds = options.idle_seconds;
    w->state.shows_on_battery = options.on_battery;
    return w;
}

bool offer_idle_global(client& c, wl_registry* registry, std::uint32_t name,
                       const std::string& interface, std::uint32_t) {
    idle_watch& w = *c.idle;
    if (interface == ext_idle_notifier_v1_interface.name && w.notifier == nullptr) {
        w.notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        return true;
    }
    if (interface == org_kde_kwin_idle_interface.name && w.kde_idle == nullptr) {
        w.kde_idle = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
        return true;
    }
    return false;
}

std::string start_idle(client& c) {
    idle_watch& w = *c.idle;
    w.claim = std::make_unique<display_claim>();
    if (!w.claim->refusal().empty()) return w.claim->refusal();
    // The display was opened to try EGL; it comes back with the saver.
    c.egl.reset();
    if (w.notifier != nullptr) {
        w.source = "ext_idle_notifier_v1";
    } else if (w.kde_idle != nullptr) {
        w.source = "org_kde_kwin_idle";
    } else {
        const std::string refusal = watch_gnome(c);
        if (!refusal.empty()) return refusal;
    }
    // KDE's protocol, where both are offered, is left alone.
    if (w.notifier != nullptr && w.kde_idle != nullptr) {
        org_kde_kwin_idle_destroy(w.kde_idle);
        w.kde_idle = nullptr;
    }
    tell(c, std::string(w.source) + " says when the user has been idle " +
                std::to_string(w.seconds) + " s");
    if (c.layer_shell == nullptr) tell(c, "no layer shell: a full-screen window on each output");
    follow_idle_seats(c);
    follow_power(c);
    return "";
}

void follow_idle_seats(client& c) {
    idle_watch& w = *c.idle;
    if (w.source == nullptr || w.gnome != nullptr) return;
    const bool kept = std::any_of(c.seats.begin(), c.seats.end(),
                                  [&](const auto& s) { return s->handle == w.on_seat; });
    if (w.on_seat != nullptr && kept) return;
    unwatch_seat(w);
    if (!c.seats.empty()) watch_seat(w, c.seats.front()->handle);
}

void hear_idle(client& c, idle_event event) { c.idle->heard.push_back(event); }

int watch_idle_buses(const client& c, std::vector<pollfd>& watched) {
    const std::int64_t now_us = platform::monotonic_us();
    // What was heard while acting on the last events is acted on at once.
    int timeout = c.idle->heard.empty() ? -1 : 0;
    for (const desktop_bus* bus : {c.idle->session.get(), c.idle->system.get()}) {
        if (bus == nullptr) continue;
        watched.push_back(bus->watched());
        timeout = sooner_ms(timeout, bus->timeout_ms(now_us));
    }
    return timeout;
}

void follow_idle(client& c) {
    idle_watch& w = *c.idle;
    if (w.session != nullptr && !w.session->process()) {
        c.failure = "the session bus, where GNOME says when the user is idle, went away";
        return;
    }
    if (w.system != nullptr && !w.system->process()) {
        w.battery.reset();
        w.system.reset();
        w.heard.push_back(idle_event::on_mains);
        tell(c, "the system bus went away: mains power taken");
    }
    // Events heard while acting on one wait for the next turn, which comes
    // at once (watch_idle_buses).
    std::vector<idle_event> heard;
    heard.swap(w.heard);
    for (const idle_event event : heard) {
        const idle_action action = take_idle_event(w.state, event);
        tell(c, std::string(idle_event_name(event)) + ": " + idle_phase_name(w.state.phase));
        if (action == idle_action::show) show(c);
        if (action == idle_action::hide) hide(c);
        if (action == idle_action::ask) w.gnome->ask_inhibition();
        if (!c.failure.empty()) return;
    }
    tell_first_frames(c);
}

void stop_idle(client& c) {
    idle_watch& w = *c.idle;
    unwatch_seat(w);
    if (w.notifier != nullptr) ext_idle_notifier_v1_destroy(w.notifier);
    if (w.kde_idle != nullptr) org_kde_kwin_idle_destroy(w.kde_idle);
    w.notifier = nullptr;
    w.kde_idle = nullptr;
}

}  // namespace quillant
