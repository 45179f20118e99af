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
// The bus itself, which alone says who owns a name; no client can send as it.
constexpr const char* bus_name = "org.freedesktop.DBus";
constexpr const char* owner_rule =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.freedesktop.UPower'";

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

// Whether the message comes from the connection named `sender`.
bool sent_by(sd_bus_message* message, const std::string& sender) {
    const char* from = sd_bus_message_get_sender(message);
    return from != nullptr && !sender.empty() && sender == from;
}

}  // namespace

std::unique_ptr<upower_battery> upower_battery::follow(desktop_bus& bus,
                                                       std::vector<idle_event>& heard) {
    std::unique_ptr<upower_battery> made(new upower_battery(bus, heard));
    // The sender named here keeps other clients' broadcasts away; changed()
    // turns away what they send to this connection alone.
    if (sd_bus_match_signal(bus.handle(), &made->changed_match_, upower_name, upower_path,
                            properties, "PropertiesChanged", changed, made.get()) < 0 ||
        sd_bus_add_match(bus.handle(), &made->owner_match_, owner_rule, owner_changed,
                         made.get()) < 0) {
        return nullptr;
    }
    made->ask();
    return made;
}

upower_battery::~upower_battery() {
    sd_bus_slot_unref(call_);
    sd_bus_slot_unref(owner_match_);
    sd_bus_slot_unref(changed_match_);
}

// Asks UPower for OnBattery; an answer still to come is dropped.
void upower_battery::ask() {
    call_ = sd_bus_slot_unref(call_);
    sd_bus_call_method_async(bus_.handle(), &call_, upower_name, upower_path, properties, "Get",
                             answered, this, "ss", upower_name, "OnBattery");
}

// No UPower, or an answer not understood: nothing is heard, mains it is.
// The connection that answers is UPower's from then on.
int upower_battery::answered(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<upower_battery*>(data);
    self.call_ = sd_bus_slot_unref(self.call_);
    bool on_battery = false;
    if (!sd_bus_message_is_method_error(message, nullptr) &&
        read_boolean_variant(message, on_battery)) {
        const char* sender = sd_bus_message_get_sender(message);
        self.owner_ = sender != nullptr ? sender : "";
        self.heard_.push_back(on_battery ? idle_event::on_battery : idle_event::on_mains);
    }
    return 0;
}

// PropertiesChanged: the interface, the changed properties with their
// values, and the names of those changed without their values.
int upower_battery::changed(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<upower_battery*>(data);
    const char* interface = nullptr;
    if (!sent_by(message, self.owner_) || sd_bus_message_read(message, "s", &interface) < 0 ||
        std::strcmp(interface, upower_name) != 0 ||
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

// NameOwnerChanged for UPower's name: gone, mains power is taken again
// (nothing says otherwise now); back, it is asked anew.
int upower_battery::owner_changed(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<upower_battery*>(data);
    const char* name = nullptr;
    const char* old_owner = nullptr;
    const char* new_owner = nullptr;
    if (!sent_by(message, bus_name) ||
        sd_bus_message_read(message, "sss", &name, &old_owner, &new_owner) < 0 ||
        std::strcmp(name, upower_name) != 0) {
        return 0;
    }
    self.owner_ = new_owner;
    if (self.owner_.empty()) {
        self.call_ = sd_bus_slot_unref(self.call_);
        self.heard_.push_back(idle_event::on_mains);
    } else {
        self.ask();
    }
    return 0;
}

}  // namespace quillant
