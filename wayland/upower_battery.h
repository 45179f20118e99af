// SPDX-License-Identifier: MIT
// Whether the machine runs on its battery, from UPower's OnBattery on the
// system bus, followed as it changes. Without UPower nothing is heard, and
// the saver takes the machine to run on mains power. Only UPower's own word
// counts: any client of the system bus may send signals, so a change is
// heard only from the connection that answered for UPower.
#pragma once

#include "wayland/desktop_bus.h"
#include "wayland/idle_states.h"

#include <systemd/sd-bus.h>

#include <memory>
#include <string>
#include <vector>

namespace quillant {

class upower_battery {
public:
    // Asks for OnBattery and follows its changes: `on_battery` or `on_mains`
    // into `heard`, in order, as the answer and each change come; `on_mains`
    // when UPower leaves the bus, and the question asked again when it
    // comes back. Null when the bus takes no signal match.
    static std::unique_ptr<upower_battery> follow(desktop_bus& bus, std::vector<idle_event>& heard);
    ~upower_battery();
    upower_battery(const upower_battery&) = delete;
    upower_battery& operator=(const upower_battery&) = delete;

private:
    upower_battery(desktop_bus& bus, std::vector<idle_event>& heard) : bus_(bus), heard_(heard) {}
    void ask();
    static int answered(sd_bus_message* message, void* data, sd_bus_error*);
    static int changed(sd_bus_message* message, void* data, sd_bus_error*);
    static int owner_changed(sd_bus_message* message, void* data, sd_bus_error*);

    desktop_bus& bus_;
    std::vector<idle_event>& heard_;
    std::string owner_;  // UPower's unique name, from its answer; "" before one or once it left
    sd_bus_slot* changed_match_ = nullptr;
    sd_bus_slot* owner_match_ = nullptr;
    sd_bus_slot* call_ = nullptr;
};

}  // namespace quillant
