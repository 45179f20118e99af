// SPDX-License-Identifier: MIT
// GNOME's word on idleness, on the session bus: Mutter's idle monitor
// (an idle watch for the idle time, then a one-shot user-active watch for
// the user's return), and the session manager, asked before the saver
// shows whether an inhibitor (a film, a presentation) holds idle back.
// Mutter's monitor knows nothing of inhibitors; a session without the
// session manager holds nothing back. Only the services' own signals
// count: a watch fires only from the connection that made it.
#pragma once

#include "wayland/desktop_bus.h"
#include "wayland/idle_states.h"

#include <systemd/sd-bus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillant {

class gnome_idle {
public:
    // How long Mutter has to answer the watch's making, each time it is
    // asked; a busy session start is asked a few times.
    static constexpr std::uint64_t answer_us = 5000000;

    // Adds an idle watch of `seconds` to Mutter's monitor. Null when the
    // session has no such monitor (`absent` then), or when the monitor
    // failed or never answered, asked a few times of `wait_us` each; `why`
    // says which. What the desktop says from then on is put, in order, into
    // `heard`.
    static std::unique_ptr<gnome_idle> watch(desktop_bus& bus, std::uint32_t seconds,
                                             std::vector<idle_event>& heard, std::string& why,
                                             bool& absent, std::uint64_t wait_us = answer_us);
    ~gnome_idle();
    gnome_idle(const gnome_idle&) = delete;
    gnome_idle& operator=(const gnome_idle&) = delete;

    // Asks the session manager whether an inhibitor holds idle back; the
    // answer comes as `inhibited` or `not_inhibited`. An answer still to
    // come from an earlier question is dropped.
    void ask_inhibition();

private:
    gnome_idle(desktop_bus& bus, std::vector<idle_event>& heard) : bus_(bus), heard_(heard) {}
    static int watch_fired(sd_bus_message* message, void* data, sd_bus_error*);
    static int active_watch_added(sd_bus_message* message, void* data, sd_bus_error*);
    static int inhibition_answered(sd_bus_message* message, void* data, sd_bus_error*);
    static int inhibitor_removed(sd_bus_message* message, void* data, sd_bus_error*);

    desktop_bus& bus_;
    std::vector<idle_event>& heard_;
    std::string monitor_;  // the unique name of the connection that made the idle watch
    std::uint32_t idle_watch_ = 0;
    std::uint32_t active_watch_ = 0;
    sd_bus_slot* fired_match_ = nullptr;
    sd_bus_slot* removed_match_ = nullptr;
    sd_bus_slot* active_call_ = nullptr;
    sd_bus_slot* inhibition_call_ = nullptr;
};

}  // namespace quillant
