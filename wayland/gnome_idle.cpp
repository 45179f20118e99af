// SPDX-License-Identifier: MIT
#include "wayland/gnome_idle.h"

#include <systemd/sd-bus.h>

namespace quillant {

namespace {

constexpr const char* monitor_name = "org.gnome.Mutter.IdleMonitor";
constexpr const char* monitor_path = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* session_name = "org.gnome.SessionManager";
constexpr const char* session_path = "/org/gnome/SessionManager";
// The session manager's flag for inhibitors of idleness.
constexpr std::uint32_t inhibit_idle = 8;
constexpr std::uint64_t start_up_call_us = 5000000;

// A method call that does not start a missing service: a desktop without it
// is told apart by the error that comes back at once.
sd_bus_message* new_call(sd_bus* bus, const char* name, const char* path, const char* member) {
    sd_bus_message* call = nullptr;
    if (sd_bus_message_new_method_call(bus, &call, name, path, name, member) < 0) return nullptr;
    sd_bus_message_set_auto_start(call, 0);
    return call;
}

}  // namespace

std::unique_ptr<gnome_idle> gnome_idle::watch(desktop_bus& bus, std::uint32_t seconds,
                                              std::vector<idle_event>& heard, std::string& why) {
    std::unique_ptr<gnome_idle> made(new gnome_idle(bus, heard));
    sd_bus* handle = bus.handle();
    // Mutter sends WatchFired to the watch's owner alone; the matches are in
    // place before the watch exists.
    if (sd_bus_match_signal(handle, &made->fired_match_, nullptr, monitor_path, monitor_name,
                            "WatchFired", watch_fired, made.get()) < 0 ||
        sd_bus_match_signal(handle, &made->removed_match_, nullptr, session_path, session_name,
                            "InhibitorRemoved", inhibitor_removed, made.get()) < 0) {
        why = "the session bus took no signal match";
        return nullptr;
    }
    sd_bus_message* call = new_call(handle, monitor_name, monitor_path, "AddIdleWatch");
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int done = call == nullptr ? -1 : sd_bus_message_append(call, "t", std::uint64_t{seconds} * 1000);
    if (done >= 0) done = sd_bus_call(handle, call, start_up_call_us, &error, &reply);
    if (done >= 0) done = sd_bus_message_read(reply, "u", &made->idle_watch_);
    if (done < 0) why = error.message != nullptr ? error.message : "AddIdleWatch failed";
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    if (done < 0) return nullptr;
    return made;
}

gnome_idle::~gnome_idle() {
    sd_bus_slot_unref(inhibition_call_);
    sd_bus_slot_unref(active_call_);
    sd_bus_slot_unref(removed_match_);
    sd_bus_slot_unref(fired_match_);
}

// The idle watch fires once each time the user has been idle for the time
// asked: a one-shot user-active watch then says when the user is back.
int gnome_idle::watch_fired(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<gnome_idle*>(data);
    std::uint32_t id = 0;
    if (sd_bus_message_read(message, "u", &id) < 0 || id == 0) return 0;
    sd_bus* handle = self.bus_.handle();
    if (id == self.idle_watch_) {
        if (self.active_watch_ != 0) {
            sd_bus_call_method_async(handle, nullptr, monitor_name, monitor_path, monitor_name,
                                     "RemoveWatch", nullptr, nullptr, "u", self.active_watch_);
            self.active_watch_ = 0;
        }
        self.active_call_ = sd_bus_slot_unref(self.active_call_);
        sd_bus_call_method_async(handle, &self.active_call_, monitor_name, monitor_path,
                                 monitor_name, "AddUserActiveWatch", active_watch_added, &self, "");
        self.heard_.push_back(idle_event::idle);
    } else if (id == self.active_watch_) {
        self.active_watch_ = 0;
        self.heard_.push_back(idle_event::active);
    }
    return 0;
}

int gnome_idle::active_watch_added(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<gnome_idle*>(data);
    self.active_call_ = sd_bus_slot_unref(self.active_call_);
    if (!sd_bus_message_is_method_error(message, nullptr)) {
        sd_bus_message_read(message, "u", &self.active_watch_);
    }
    return 0;
}

void gnome_idle::ask_inhibition() {
    inhibition_call_ = sd_bus_slot_unref(inhibition_call_);
    sd_bus* handle = bus_.handle();
    sd_bus_message* call = new_call(handle, session_name, session_path, "IsInhibited");
    if (call == nullptr || sd_bus_message_append(call, "u", inhibit_idle) < 0 ||
        sd_bus_call_async(handle, &inhibition_call_, call, inhibition_answered, this, 0) < 0) {
        heard_.push_back(idle_event::not_inhibited);
    }
    sd_bus_message_unref(call);
}

// No session manager, or no answer: nothing is held back.
int gnome_idle::inhibition_answered(sd_bus_message* message, void* data, sd_bus_error*) {
    auto& self = *static_cast<gnome_idle*>(data);
    self.inhibition_call_ = sd_bus_slot_unref(self.inhibition_call_);
    int inhibited = 0;
    if (sd_bus_message_is_method_error(message, nullptr) ||
        sd_bus_message_read(message, "b", &inhibited) < 0) {
        inhibited = 0;
    }
    self.heard_.push_back(inhibited != 0 ? idle_event::inhibited : idle_event::not_inhibited);
    return 0;
}

int gnome_idle::inhibitor_removed(sd_bus_message*, void* data, sd_bus_error*) {
    static_cast<gnome_idle*>(data)->heard_.push_back(idle_event::inhibitor_removed);
    return 0;
}

}  // namespace quillant
