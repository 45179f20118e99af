// SPDX-License-Identifier: MIT
// Whether the machine runs on its battery, from UPower's OnBattery on the
// system bus, followed as it changes. Without UPower nothing is heard, and
// the saver takes the machine to run on mains power.
#pragma once

#include "wayland/desktop_bus.h"
#include "wayland/idle_states.h"

#include <systemd/sd-bus.h>

#include <memory>
#include <vector>

namespace quillant {

class upower_battery {
public:
    // Asks for OnBattery and follows its changes: `on_battery` or `on_mains`
    // into `heard`, in order, as the answer and each change come. Null when
    // the bus takes no signal match.
    static std::unique_ptr<upower_battery> follow(desktop_bus& bus, std::vector<idle_event>& heard);
    ~upower_battery();
    upower_battery(const upower_battery&) = delete;
    upower_battery& operator=(const upower_battery&) = delete;

private:
    upower_battery(desktop_bus& bus, std::vector<idle_event>& heard) : bus_(bus), heard_(heard) {}
    void ask();
    static int answered(sd_bus_message* message, void* data, sd_bus_error*);
    static int changed(sd_bus_message* message, void* data, sd_bus_error*);

    desktop_bus& bus_;
    std::vector<idle_event>& heard_;
    sd_bus_slot* changed_match_ = nullptr;
    sd_bus_slot* call_ = nullptr;
};

}  // namespace quillant
