// SPDX-License-Identifier: MIT
#include "wayland/desktop_bus.h"

#include <systemd/sd-bus.h>

#include <limits>

namespace quillant {

std::unique_ptr<desktop_bus> desktop_bus::session() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return nullptr;
    return std::unique_ptr<desktop_bus>(new desktop_bus(bus));
}

std::unique_ptr<desktop_bus> desktop_bus::system() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) return nullptr;
    return std::unique_ptr<desktop_bus>(new desktop_bus(bus));
}

desktop_bus::~desktop_bus() { sd_bus_flush_close_unref(bus_); }

pollfd desktop_bus::watched() const {
    const int events = sd_bus_get_events(bus_);
    return {sd_bus_get_fd(bus_), static_cast<short>(events < 0 ? 0 : events), 0};
}

int desktop_bus::timeout_ms(std::int64_t now_us) const {
    std::uint64_t due_us = 0;
    if (sd_bus_get_timeout(bus_, &due_us) < 0 || due_us == std::numeric_limits<std::uint64_t>::max()) {
        return -1;
    }
    const auto now = static_cast<std::uint64_t>(now_us);
    if (due_us <= now) return 0;
    const std::uint64_t wait_ms = (due_us - now + 999) / 1000;
    return wait_ms > 3600000 ? 3600000 : static_cast<int>(wait_ms);
}

bool desktop_bus::process() {
    int handled = 0;
    while ((handled = sd_bus_process(bus_, nullptr)) > 0) {
    }
    return handled >= 0;
}

int sooner_ms(int a, int b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return a < b ? a : b;
}

}  // namespace quillant
