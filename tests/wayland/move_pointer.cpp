// SPDX-License-Identifier: MIT
// Moves the compositor's pointer through the wlr virtual-pointer protocol,
// which no Debian tool drives: by DX, DY pixels, then by the next pair, and
// so on; or, with --at, to the point X, Y of a layout W wide and H high:
//
//   move-pointer DX DY [DX DY...]
//   move-pointer --at X Y W H
//
// The new device gives the seat a pointer, which clients bind when they
// hear of it: each move waits 300 ms first, as wtype -s does for keys.
// Exits 0 once the compositor has the moves, 1 when it offers no virtual
// pointer.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

struct globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t) {
    auto& g = *static_cast<globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && g.seat == nullptr) {
        g.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        g.manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}
void removed(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener listener = {added, removed};

}  // namespace

int main(int argc, char** argv) {
    const bool absolute = argc == 6 && std::strcmp(argv[1], "--at") == 0;
    if (!absolute && (argc < 3 || argc % 2 == 0)) {
        std::fprintf(stderr, "usage: move-pointer DX DY [DX DY...] | --at X Y W H\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "move-pointer: no Wayland display\n");
        return 1;
    }
    globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &g);
    wl_display_roundtrip(display);
    if (g.manager == nullptr) {
        std::fprintf(stderr, "move-pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
    wl_display_roundtrip(display);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const auto ms = static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
        if (absolute) {
            const auto number = [&](int k) { return static_cast<std::uint32_t>(std::atoi(argv[k])); };
            zwlr_virtual_pointer_v1_motion_absolute(pointer, ms, number(2), number(3), number(4),
                                                    number(5));
            i = argc;
        } else {
            zwlr_virtual_pointer_v1_motion(pointer, ms, wl_fixed_from_double(std::atof(argv[i])),
                                           wl_fixed_from_double(std::atof(argv[i + 1])));
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(g.manager);
    if (g.seat != nullptr) wl_seat_destroy(g.seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
