// SPDX-License-Identifier: MIT
#include "wayland/upower_battery.h"

#include <systemd/sd-bus.h>

#include <cstdlib>
#include <cstring>

namespace quillant {

namespace {

constexpr const char* upower_name = "org.freedesktop.UPower";
constexpr const char* upower_path = "/org/freedesktop/UPower";
constexpr const char* properties = "org.freedesktop.DBus.Properties";

// Reads a variant holding a boolean, at the message's read position.
bool read_boolean_variant(sd_bus_message* message, bool& value) {
    int read = 0;
    if (sd_bus_message_enter_container(message, 'v', "b") < 0 ||
        sd_bus_message_read(message, "b", &read) < 0 || sd_bus_message_exit_container(message) < 0) {
        return false;
    }
    value = read != 0;
    return true;
}

}  // namespace

std::unique_ptr<upower_battery> upower_battery::follow(desktop_bus& bus,
                                                       std::vector<idle_event>& heard) {
    std::unique_ptr<upower_battery> made(new upower_battery(bus, heard));
    if (sd_bus_match_signal(bus.handle(), &made->changed_match_, nullptr, upower_path, properties,
                            "PropertiesChanged", changed, made.get()) < 0) {
        return nullptr;
    }
    made->ask();
    return made;
}

upower_battery::~upower_battery() {
    sd_bus_slot_unref(call_);
    sd_bus_slot_unref(changed_match_);
}

void upower_battery::ask() {
    call_ = sd_bus_slot_unref(call_);
    sd_bus_call_method_async(bus_.handle(), &call_, upower_name, upower_path, properties, "Get",
                             answered, this, "ss", upower_name, "OnBattery");
}

// No UPower, or an answer not understood: nothing is heard, mains it is.
int upower_battery::answered(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<upower_battery*>(data);
    self.call_ = sd_bus_slot_unref(self.call_);
    bool on_battery = false;
    if (!sd_bus_message_is_method_error(message, nullptr) &&
        read_boolean_variant(message, on_battery)) {
        self.heard_.push_back(on_battery ? idle_event::on_battery : idle_event::on_mains);
    }
    return 0;
}

// PropertiesChanged: the interface, the changed properties with their
// values, and the names of those changed without their values.
int upower_battery::changed(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<upower_battery*>(data);
    const char* interface = nullptr;
    if (sd_bus_message_read(message, "s", &interface) < 0 || std::strcmp(interface, upower_name) != 0 ||
        sd_bus_message_enter_container(message, 'a', "{sv}") < 0) {
        return 0;
    }
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* name = nullptr;
        bool on_battery = false;
        if (sd_bus_message_read(message, "s", &name) < 0) return 0;
        if (std::strcmp(name, "OnBattery") == 0 && read_boolean_variant(message, on_battery)) {
            self.heard_.push_back(on_battery ? idle_event::on_battery : idle_event::on_mains);
        } else if (sd_bus_message_skip(message, "v") < 0) {
            return 0;
        }
        if (sd_bus_message_exit_container(message) < 0) return 0;
    }
    if (sd_bus_message_exit_container(message) < 0) return 0;
    char** invalidated = nullptr;
    if (sd_bus_message_read_strv(message, &invalidated) < 0) return 0;
    bool asks = false;
    for (char** name = invalidated; name != nullptr && *name != nullptr; ++name) {
        asks = asks || std::strcmp(*name, "OnBattery") == 0;
        std::free(*name);
    }
    std::free(invalidated);
    if (asks) self.ask();
    return 0;
}

}  // namespace quillant
