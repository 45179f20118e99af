// SPDX-License-Identifier: MIT
// Stand-ins for the desktop services that quillant-wayland --idle asks over
// D-Bus, for the tests: UPower on the system bus; GNOME's session manager
// and Mutter's idle monitor on the session bus.
//
//   bus-stand-in SERVICE...     upower, session-manager, idle-monitor,
//                               idle-monitor-slow (its first AddIdleWatch
//                               is never answered), idle-monitor-refusing
//                               (AddIdleWatch fails: access denied)
//
// Lines on standard input change what they say:
//
//   battery | mains     UPower's OnBattery, announced by PropertiesChanged
//   inhibit | release   an idle inhibitor; its release sends InhibitorRemoved
//   idle | active       fires the idle monitor's idle watches, or its
//                       user-active watches, which then go
//   forge battery       another connection, which owns no name, says
//                       OnBattery changed to true, to all and to each
//                       client that asked UPower
//   forge idle          another connection fires the idle watches, to all
//                       and to each watch's owner
//
// Prints "ready" once it owns every name, each command once it is done,
// and a line for each question it answers ("IsInhibited 8: yes"). Ends at
// the end of its input, or on SIGTERM.
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* upower_name = "org.freedesktop.UPower";
constexpr const char* upower_path = "/org/freedesktop/UPower";
constexpr const char* properties = "org.freedesktop.DBus.Properties";
constexpr const char* session_name = "org.gnome.SessionManager";
constexpr const char* session_path = "/org/gnome/SessionManager";
constexpr const char* monitor_name = "org.gnome.Mutter.IdleMonitor";
constexpr const char* monitor_path = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr std::uint32_t inhibit_idle = 8;

struct watch {
    std::uint32_t id;
    std::string owner;
    bool idle;  // an idle watch; else a one-shot user-active watch
};

// How the idle monitor takes AddIdleWatch.
enum class monitor_kind { answering, slow, refusing };

struct stand_in {
    sd_bus* system = nullptr;
    sd_bus* session = nullptr;
    bool on_battery = false;
    bool inhibited = false;
    std::vector<std::string> battery_askers;  // the connections that asked OnBattery
    monitor_kind monitor = monitor_kind::answering;
    int idle_watches_asked = 0;
    std::vector<watch> watches;
    std::uint32_t next_watch = 1;
};

// One line on standard output, at once: the tests read it as it comes.
void say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Whether the message calls the member of the interface.
bool is_call(sd_bus_message* m, const char* interface, const char* member) {
    return sd_bus_message_is_method_call(m, interface, member) > 0;
}

// UPower's one property asked for, OnBattery.
int upower_call(sd_bus_message* m, void* data, sd_bus_error*) {
    auto& s = *static_cast<stand_in*>(data);
    const char* interface = nullptr;
    const char* property = nullptr;
    if (!is_call(m, properties, "Get") || sd_bus_message_read(m, "ss", &interface, &property) < 0 ||
        std::strcmp(property, "OnBattery") != 0) {
        return 0;
    }
    s.battery_askers.push_back(sd_bus_message_get_sender(m));
    say(s.on_battery ? "OnBattery: yes" : "OnBattery: no");
    return sd_bus_reply_method_return(m, "v", "b", static_cast<int>(s.on_battery));
}

// The session manager's IsInhibited.
int session_call(sd_bus_message* m, void* data, sd_bus_error*) {
    auto& s = *static_cast<stand_in*>(data);
    std::uint32_t flags = 0;
    if (!is_call(m, session_name, "IsInhibited") || sd_bus_message_read(m, "u", &flags) < 0) return 0;
    const bool answer = s.inhibited && (flags & inhibit_idle) != 0;
    std::printf("IsInhibited %u: %s\n", flags, answer ? "yes" : "no");
    std::fflush(stdout);
    return sd_bus_reply_method_return(m, "b", static_cast<int>(answer));
}

// The idle monitor's watches: added, as the kind of monitor takes them,
// and removed.
int monitor_call(sd_bus_message* m, void* data, sd_bus_error*) {
    auto& s = *static_cast<stand_in*>(data);
    const std::string owner = sd_bus_message_get_sender(m);
    const bool idle = is_call(m, monitor_name, "AddIdleWatch");
    if (idle && ++s.idle_watches_asked == 1 && s.monitor == monitor_kind::slow) {
        say("AddIdleWatch: not answered");
        return 1;
    }
    if (idle && s.monitor == monitor_kind::refusing) {
        say("AddIdleWatch: refused");
        return sd_bus_reply_method_errorf(m, SD_BUS_ERROR_ACCESS_DENIED, "no watches for you");
    }
    if (idle || is_call(m, monitor_name, "AddUserActiveWatch")) {
        s.watches.push_back({s.next_watch++, owner, idle});
        say(idle ? "AddIdleWatch" : "AddUserActiveWatch");
        return sd_bus_reply_method_return(m, "u", s.watches.back().id);
    }
    if (is_call(m, monitor_name, "RemoveWatch")) {
        std::uint32_t id = 0;
        sd_bus_message_read(m, "u", &id);
        for (auto it = s.watches.begin(); it != s.watches.end(); ++it) {
            if (it->id == id) {
                s.watches.erase(it);
                break;
            }
        }
        return sd_bus_reply_method_return(m, "");
    }
    return 0;
}

// Sends WatchFired for the watch on the bus, to its owner alone, as Mutter
// does, or also to all when `broadcast`.
void send_fired(sd_bus* bus, const watch& w, bool broadcast) {
    for (const bool to_all : {false, broadcast}) {
        sd_bus_message* signal = nullptr;
        sd_bus_message_new_signal(bus, &signal, monitor_path, monitor_name, "WatchFired");
        if (!to_all) sd_bus_message_set_destination(signal, w.owner.c_str());
        sd_bus_message_append(signal, "u", w.id);
        sd_bus_send(bus, signal, nullptr);
        sd_bus_message_unref(signal);
        if (!broadcast) return;
    }
}

// Fires the idle watches, or the user-active ones, which go.
void fire(stand_in& s, bool idle) {
    std::vector<watch> kept;
    for (const watch& w : s.watches) {
        if (w.idle != idle) {
            kept.push_back(w);
            continue;
        }
        send_fired(s.session, w, false);
        if (idle) kept.push_back(w);
    }
    s.watches = kept;
}

// Sends PropertiesChanged with OnBattery true to the destination, or to all
// with null.
void send_on_battery(sd_bus* bus, const char* destination) {
    sd_bus_message* signal = nullptr;
    sd_bus_message_new_signal(bus, &signal, upower_path, properties, "PropertiesChanged");
    if (destination != nullptr) sd_bus_message_set_destination(signal, destination);
    sd_bus_message_append(signal, "sa{sv}as", upower_name, 1, "OnBattery", "b", 1, 0);
    sd_bus_send(bus, signal, nullptr);
    sd_bus_message_unref(signal);
}

// What a client of the bus that is none of the services can send: their
// signals, from a connection of its own.
void forge(const stand_in& s, const std::string& what) {
    sd_bus* other = nullptr;
    if ((what == "battery" ? sd_bus_open_system(&other) : sd_bus_open_user(&other)) < 0) return;
    if (what == "battery") {
        send_on_battery(other, nullptr);
        for (const std::string& asker : s.battery_askers) send_on_battery(other, asker.c_str());
    } else {
        for (const watch& w : s.watches) {
            if (w.idle) send_fired(other, w, true);
        }
    }
    sd_bus_flush_close_unref(other);
}

void take_command(stand_in& s, const std::string& command) {
    if (command == "battery" || command == "mains") {
        s.on_battery = command == "battery";
        sd_bus_emit_signal(s.system, upower_path, properties, "PropertiesChanged", "sa{sv}as",
                           upower_name, 1, "OnBattery", "b", static_cast<int>(s.on_battery), 0);
    } else if (command == "inhibit") {
        s.inhibited = true;
        sd_bus_emit_signal(s.session, session_path, session_name, "InhibitorAdded", "o",
                           "/org/gnome/SessionManager/Inhibitor1");
    } else if (command == "release") {
        s.inhibited = false;
        sd_bus_emit_signal(s.session, session_path, session_name, "InhibitorRemoved", "o",
                           "/org/gnome/SessionManager/Inhibitor1");
    } else if (command == "idle" || command == "active") {
        fire(s, command == "idle");
    } else if (command == "forge battery" || command == "forge idle") {
        forge(s, command.substr(6));
    } else {
        std::fprintf(stderr, "bus-stand-in: no command '%s'\n", command.c_str());
    }
}

// Owns the service's name on its bus and answers at its path.
bool serve(sd_bus* bus, const char* name, const char* path, sd_bus_message_handler_t answer,
           stand_in& s) {
    return bus != nullptr && sd_bus_add_object(bus, nullptr, path, answer, &s) >= 0 &&
           sd_bus_request_name(bus, name, 0) >= 0;
}

// Serves the service named on the command line; false when it cannot.
bool serve_named(stand_in& s, const std::string& service) {
    if (service == "upower") {
        return sd_bus_open_system(&s.system) >= 0 &&
               serve(s.system, upower_name, upower_path, upower_call, s);
    }
    if (s.session == nullptr && sd_bus_open_user(&s.session) < 0) s.session = nullptr;
    if (service == "session-manager") return serve(s.session, session_name, session_path, session_call, s);
    if (service == "idle-monitor-slow") s.monitor = monitor_kind::slow;
    if (service == "idle-monitor-refusing") s.monitor = monitor_kind::refusing;
    const bool monitor = service == "idle-monitor" || service == "idle-monitor-slow" ||
                         service == "idle-monitor-refusing";
    return monitor && serve(s.session, monitor_name, monitor_path, monitor_call, s);
}

// Handles the buses' traffic; false once one broke.
bool process(sd_bus* bus) {
    int handled = 0;
    while (bus != nullptr && (handled = sd_bus_process(bus, nullptr)) > 0) {
    }
    return handled >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    stand_in s;
    bool served = true;
    for (int i = 1; i < argc && served; ++i) {
        served = serve_named(s, argv[i]);
        if (!served) std::fprintf(stderr, "bus-stand-in: cannot serve %s\n", argv[i]);
    }
    if (!served || argc < 2) return 1;
    say("ready");
    std::string line;
    for (;;) {
        // What came with the last call may wait in sd-bus already, unseen by poll.
        if (!process(s.system) || !process(s.session)) return 1;
        std::vector<pollfd> watched = {{STDIN_FILENO, POLLIN, 0}};
        for (sd_bus* bus : {s.system, s.session}) {
            if (bus != nullptr) {
                watched.push_back({sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0});
            }
        }
        if (poll(watched.data(), watched.size(), -1) < 0 || watched[0].revents == 0) continue;
        char c = 0;
        if (read(STDIN_FILENO, &c, 1) != 1) return 0;
        if (c != '\n') {
            line += c;
            continue;
        }
        take_command(s, line);
        say(line.c_str());
        line.clear();
        for (sd_bus* bus : {s.system, s.session}) {
            if (bus != nullptr && sd_bus_flush(bus) < 0) return 1;
        }
    }
}
