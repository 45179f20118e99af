// SPDX-License-Identifier: MIT
#include "wayland/gnome_idle.h"

#include <systemd/sd-bus.h>

#include <cerrno>

namespace quillant {

namespace {

constexpr const char* monitor_name = "org.gnome.Mutter.IdleMonitor";
constexpr const char* monitor_path = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* session_name = "org.gnome.SessionManager";
constexpr const char* session_path = "/org/gnome/SessionManager";
// The session manager's flag for inhibitors of idleness.
constexpr std::uint32_t inhibit_idle = 8;
// Times Mutter is asked for the watch when it does not answer in time.
constexpr int watch_tries = 3;

// A method call that does not start a missing service: a desktop without it
// is told apart by the error that comes back at once.
sd_bus_message* new_call(sd_bus* bus, const char* name, const char* path, const char* member) {
    sd_bus_message* call = nullptr;
    if (sd_bus_message_new_method_call(bus, &call, name, path, name, member) < 0) return nullptr;
    sd_bus_message_set_auto_start(call, 0);
    return call;
}

// The errors of a bus where no one owns the name: no idle monitor here.
bool no_service(const sd_bus_error& error) {
    return sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
}

// The call's own time limit, or the bus's word that no answer came.
bool no_answer(int result, const sd_bus_error& error) {
    return result == -ETIMEDOUT || sd_bus_error_has_name(&error, SD_BUS_ERROR_NO_REPLY) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_TIMEOUT);
}

// Asks Mutter once for an idle watch of `seconds`: its id in `id` and the
// answering connection in `monitor`, or the call's result (< 0) with the
// error in `error`.
int add_idle_watch(sd_bus* bus, std::uint32_t seconds, std::uint64_t wait_us, std::uint32_t& id,
                   std::string& monitor, sd_bus_error& error) {
    sd_bus_message* call = new_call(bus, monitor_name, monitor_path, "AddIdleWatch");
    sd_bus_message* reply = nullptr;
    int done = call == nullptr ? -ENOMEM : sd_bus_message_append(call, "t", std::uint64_t{seconds} * 1000);
    if (done >= 0) done = sd_bus_call(bus, call, wait_us, &error, &reply);
    if (done >= 0) done = sd_bus_message_read(reply, "u", &id);
    if (done >= 0) {
        const char* sender = sd_bus_message_get_sender(reply);
        monitor = sender != nullptr ? sender : "";
    }
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    return done;
}

}  // namespace

std::unique_ptr<gnome_idle> gnome_idle::watch(desktop_bus& bus, std::uint32_t seconds,
                                              std::vector<idle_event>& heard, std::string& why,
                                              bool& absent, std::uint64_t wait_us) {
    absent = false;
    std::unique_ptr<gnome_idle> made(new gnome_idle(bus, heard));
    sd_bus* handle = bus.handle();
    // Mutter sends WatchFired to the watch's owner alone; the matches are in
    // place before the watch exists. The senders named keep other clients'
    // broadcasts away; watch_fired turns away what they send to this
    // connection alone.
    if (sd_bus_match_signal(handle, &made->fired_match_, monitor_name, monitor_path, monitor_name,
                            "WatchFired", watch_fired, made.get()) < 0 ||
        sd_bus_match_signal(handle, &made->removed_match_, session_name, session_path,
                            session_name, "InhibitorRemoved", inhibitor_removed, made.get()) < 0) {
        why = "the session bus took no signal match";
        return nullptr;
    }
    int done = -1;
    for (int tries = 0; tries < watch_tries; ++tries) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        done = add_idle_watch(handle, seconds, wait_us, made->idle_watch_, made->monitor_, error);
        const bool again = done < 0 && no_answer(done, error);
        absent = done < 0 && no_service(error);
        if (done < 0) {
            why = error.message != nullptr ? error.message : "AddIdleWatch failed";
            if (again) why = "Mutter's idle monitor did not answer in time";
        }
        sd_bus_error_free(&error);
        if (!again) break;
    }
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
    const char* sender = sd_bus_message_get_sender(message);
    std::uint32_t id = 0;
    if (sender == nullptr || self.monitor_ != sender || sd_bus_message_read(message, "u", &id) < 0 ||
        id == 0) {
        return 0;
    }
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

// The user-active watch's id, once Mutter made it; without one, the user's
// return is heard from the saver's own input alone.
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

// An inhibitor went: the session manager is asked again if it held the
// saver back. One sent by another client only asks again.
int gnome_idle::inhibitor_removed(sd_bus_message*, void* data, sd_bus_error*) {
    static_cast<gnome_idle*>(data)->heard_.push_back(idle_event::inhibitor_removed);
    return 0;
}

}  // namespace quillant
