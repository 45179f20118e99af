// SPDX-License-Identifier: MIT
// quillant-wayland --idle: where the client hears that the user is idle
// (ext_idle_notifier_v1, else KDE's org_kde_kwin_idle, else GNOME's idle
// monitor on the session bus), whether the battery holds the saver back
// (UPower on the system bus), and the states that turn what it hears into
// showing and hiding the views. All of it runs in the client's one loop:
// while it waits, only the connection with its outputs and seats and the
// buses' sockets exist, with no GL, no scene, no thread and no timer.
#pragma once

#include "wayland/desktop_bus.h"
#include "wayland/display_claim.h"
#include "wayland/gnome_idle.h"
#include "wayland/idle_states.h"
#include "wayland/saver_options.h"
#include "wayland/upower_battery.h"

#include <poll.h>
#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ext_idle_notification_v1;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace quillant {

struct client;

struct idle_watch {
    idle_state state;
    std::vector<idle_event> heard;  // in order, since the loop last looked
    const char* source = nullptr;   // where idleness is heard from, once started
    std::uint32_t seconds = 0;
    // The compositor's word, on one seat.
    ext_idle_notifier_v1* notifier = nullptr;
    ext_idle_notification_v1* notification = nullptr;
    org_kde_kwin_idle* kde_idle = nullptr;
    org_kde_kwin_idle_timeout* kde_timeout = nullptr;
    wl_seat* on_seat = nullptr;
    // GNOME's word, and the power's.
    std::unique_ptr<desktop_bus> session;
    std::unique_ptr<gnome_idle> gnome;
    std::unique_ptr<desktop_bus> system;
    std::unique_ptr<upower_battery> battery;
    std::unique_ptr<display_claim> claim;
    // From the idle event that showed the views to their first frame on
    // screen, for --verbose; 0 once told.
    std::int64_t shown_at_us = 0;
};

std::unique_ptr<idle_watch> make_idle_watch(const wayland_options& options);

// Binds the global when it is an idle protocol; true when it was one.
bool offer_idle_global(client& c, wl_registry* registry, std::uint32_t name,
                       const std::string& interface, std::uint32_t version);
// Once the globals are known: claims the display, chooses where idleness is
// heard from and asks about the power. "" then, or the one line that says
// why it cannot wait for idleness here.
std::string start_idle(client& c);
// Keeps the compositor's idle notification on a seat that exists, as
// seats come and go.
void follow_idle_seats(client& c);
// An event of the views: their input, or the compositor taking them away.
void hear_idle(client& c, idle_event event);
// Adds the buses' sockets to what the loop polls; the milliseconds until a
// bus must be processed or events heard are to be acted on, -1 for never.
int watch_idle_buses(const client& c, std::vector<pollfd>& watched);
// Handles what the buses and the compositor said: shows or hides the views.
// Sets the client's failure when it can no longer hear idleness.
void follow_idle(client& c);
// Lets go of the idle objects before the connection goes.
void stop_idle(client& c);

}  // namespace quillant
