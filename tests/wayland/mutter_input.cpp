// SPDX-License-Identifier: MIT
// Input for Mutter, which offers no Wayland protocol for it: its remote
// desktop interface on the D-Bus session bus (DBUS_SESSION_BUS_ADDRESS), in
// a session that lives as long as this program's connection.
//
//   mutter-input key CODE | button CODE | move DX DY [DX DY...]
//
// CODE is a Linux input event code (KEY_A is 30, BTN_LEFT 272); a key or a
// button is pressed and released. Mutter gives the seat the session's
// keyboard or pointer with its first event, which clients bind when they
// hear of it, too late for that event: before a key, the key is pressed and,
// 300 ms later, released; before a button, the pointer moves by nothing.
// Each action waits 300 ms first. Exits 0 once Mutter has the
// input, 1 when it refuses, 2 for a bad command line.
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr const char* service = "org.gnome.Mutter.RemoteDesktop";

// Calls a method of the session; false, with a line on standard error,
// when Mutter refuses.
template <typename... Arguments>
bool call(sd_bus* bus, const std::string& path, const char* method, const char* types,
          Arguments... arguments) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int result = sd_bus_call_method(bus, service, path.c_str(),
                                          "org.gnome.Mutter.RemoteDesktop.Session", method, &error,
                                          nullptr, types, arguments...);
    if (result < 0) std::fprintf(stderr, "mutter-input: %s: %s\n", method, error.message);
    sd_bus_error_free(&error);
    return result >= 0;
}

void wait_a_moment() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

}  // namespace

int main(int argc, char** argv) {
    const std::string action = argc > 1 ? argv[1] : "";
    const bool pressed = (action == "key" || action == "button") && argc == 3;
    const bool moved = action == "move" && argc >= 4 && argc % 2 == 0;
    if (!pressed && !moved) {
        std::fprintf(stderr, "usage: mutter-input key CODE | button CODE | move DX DY [DX DY...]\n");
        return 2;
    }
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) {
        std::fprintf(stderr, "mutter-input: no D-Bus session bus\n");
        return 1;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* session = nullptr;
    if (sd_bus_call_method(bus, service, "/org/gnome/Mutter/RemoteDesktop", service,
                           "CreateSession", &error, &reply, "") < 0 ||
        sd_bus_message_read(reply, "o", &session) < 0) {
        std::fprintf(stderr, "mutter-input: no remote desktop session: %s\n",
                     error.message != nullptr ? error.message : "no answer");
        return 1;
    }
    const std::string path = session;
    sd_bus_message_unref(reply);
    bool done = call(bus, path, "Start", "");
    if (done && action == "key") {
        const auto code = static_cast<std::uint32_t>(std::atoi(argv[2]));
        done = call(bus, path, "NotifyKeyboardKeycode", "ub", code, 1);
        wait_a_moment();
        done = done && call(bus, path, "NotifyKeyboardKeycode", "ub", code, 0);
    } else if (done) {
        done = call(bus, path, "NotifyPointerMotionRelative", "dd", 0.0, 0.0);
    }
    for (int i = 2; done && i < argc; i += moved ? 2 : 1) {
        wait_a_moment();
        if (action == "key") {
            const auto code = static_cast<std::uint32_t>(std::atoi(argv[i]));
            done = call(bus, path, "NotifyKeyboardKeycode", "ub", code, 1) &&
                   call(bus, path, "NotifyKeyboardKeycode", "ub", code, 0);
        } else if (action == "button") {
            const int code = std::atoi(argv[i]);
            done = call(bus, path, "NotifyPointerButton", "ib", code, 1) &&
                   call(bus, path, "NotifyPointerButton", "ib", code, 0);
        } else {
            done = call(bus, path, "NotifyPointerMotionRelative", "dd", std::atof(argv[i]),
                        std::atof(argv[i + 1]));
        }
    }
    wait_a_moment();
    call(bus, path, "Stop", "");
    sd_bus_flush_close_unref(bus);
    return done ? 0 : 1;
}
