// SPDX-License-Identifier: MIT
// Input for KWin, which has neither wtype's virtual keyboard nor the wlr
// virtual pointer: KDE's fake-input protocol, which KWin offers to any
// client when its permission checks are off (the headless tests' KWin).
//
//   fake-input key CODE | button CODE | move DX DY [DX DY...] | at X Y
//
// CODE is a Linux input event code (KEY_A is 30, BTN_LEFT 272); a key or a
// button is pressed and released. The new device gives the seat what it
// offers, which clients bind when they hear of it: each action waits 300 ms
// first. Exits 0 once the compositor has the input, 1 when it offers no
// fake input, 2 for a bad command line.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

org_kde_kwin_fake_input* fake = nullptr;

void added(void*, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        fake = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    }
}
void removed(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener listener = {added, removed};

void pause_then_roundtrip(wl_display* display) {
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string action = argc > 1 ? argv[1] : "";
    const bool pressed = (action == "key" || action == "button") && argc == 3;
    const bool moved = action == "move" && argc >= 4 && argc % 2 == 0;
    const bool placed = action == "at" && argc == 4;
    if (!pressed && !moved && !placed) {
        std::fprintf(stderr, "usage: fake-input key CODE | button CODE | move DX DY [DX DY...] | at X Y\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "fake-input: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (fake == nullptr) {
        std::fprintf(stderr, "fake-input: the compositor offers no org_kde_kwin_fake_input v4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake, "quillant tests", "input for the end-to-end cases");
    pause_then_roundtrip(display);
    if (pressed) {
        const auto code = static_cast<std::uint32_t>(std::atoi(argv[2]));
        for (const std::uint32_t state : {1u, 0u}) {
            if (action == "key") {
                org_kde_kwin_fake_input_keyboard_key(fake, code, state);
            } else {
                org_kde_kwin_fake_input_button(fake, code, state);
            }
            wl_display_roundtrip(display);
        }
    } else if (placed) {
        org_kde_kwin_fake_input_pointer_motion_absolute(fake, wl_fixed_from_double(std::atof(argv[2])),
                                                        wl_fixed_from_double(std::atof(argv[3])));
        wl_display_roundtrip(display);
    } else {
        for (int i = 2; i + 1 < argc; i += 2) {
            org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_double(std::atof(argv[i])),
                                                   wl_fixed_from_double(std::atof(argv[i + 1])));
            pause_then_roundtrip(display);
        }
    }
    pause_then_roundtrip(display);
    org_kde_kwin_fake_input_destroy(fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
