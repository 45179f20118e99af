// SPDX-License-Identifier: MIT
// One D-Bus connection of quillant-wayland --idle, the session's or the
// system's, through sd-bus: no thread of its own, driven from the client's
// one poll loop by its descriptor, the events it waits for and the moment
// it must be called at the latest. A connection with nothing pending asks
// for no wake-up at all.
#pragma once

#include <poll.h>

#include <cstdint>
#include <memory>

struct sd_bus;

namespace quillant {

class desktop_bus {
public:
    // The session bus or the system bus; null when there is none to reach.
    static std::unique_ptr<desktop_bus> session();
    static std::unique_ptr<desktop_bus> system();
    ~desktop_bus();
    desktop_bus(const desktop_bus&) = delete;
    desktop_bus& operator=(const desktop_bus&) = delete;

    sd_bus* handle() const { return bus_; }

    // What poll is to watch for it now.
    pollfd watched() const;
    // Milliseconds until it must be processed even with nothing to read,
    // at `now_us` on the monotonic clock; -1 when never.
    int timeout_ms(std::int64_t now_us) const;
    // Handles all that came and all that is due, calling the callbacks of
    // the calls and signals it answers. False once the connection broke.
    bool process();

private:
    explicit desktop_bus(sd_bus* bus) : bus_(bus) {}
    sd_bus* bus_;
};

// Sooner of two poll timeouts, where -1 is never.
int sooner_ms(int a, int b);

}  // namespace quillant
