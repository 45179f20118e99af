// SPDX-License-Identifier: MIT
// The seats and their devices: a keyboard, a pointer or a touch screen is
// bound when its seat gains it and released when the seat loses it (a
// device kept is left alone); the keyboard's keymap, for --window's keys.
#include "wayland/client_wayland.h"
#include "wayland/keymap_wayland.h"

#include <algorithm>

namespace quillant {

namespace {

// Releases a device: from the seat's version 3 on the compositor forgets it
// too; before, it can only be destroyed on this side.
template <typename Device>
void release_device(const seat& s, Device*& device, void (*release)(Device*),
                    void (*destroy)(Device*)) {
    if (device == nullptr) return;
    (s.version >= 3 ? release : destroy)(device);
    device = nullptr;
}

void release_keyboard(seat& s) {
    release_device(s, s.keyboard, wl_keyboard_release, wl_keyboard_destroy);
}
// The origin stays: it is where the seat's cursor was first seen, whatever
// device moves it now.
void release_pointer(seat& s) {
    release_device(s, s.pointer, wl_pointer_release, wl_pointer_destroy);
    s.pointer_on = nullptr;
}
void release_touch(seat& s) { release_device(s, s.touch, wl_touch_release, wl_touch_destroy); }

// Devices come and go with the seat's capabilities: those gained are bound,
// those lost released.
void seat_capabilities(void* data, wl_seat* handle, std::uint32_t capabilities) {
    auto& s = *static_cast<seat*>(data);
    if (s.owner->options.mode == wayland_mode::background) return;  // input ends nothing
    const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    const bool touch = capabilities & WL_SEAT_CAPABILITY_TOUCH;
    if (keyboard && s.keyboard == nullptr) {
        s.keyboard = wl_seat_get_keyboard(handle);
        wl_keyboard_add_listener(s.keyboard, &keyboard_listener, &s);
    } else if (!keyboard) {
        release_keyboard(s);
    }
    if (pointer && s.pointer == nullptr) {
        s.pointer = wl_seat_get_pointer(handle);
        wl_pointer_add_listener(s.pointer, &pointer_listener, &s);
    } else if (!pointer) {
        release_pointer(s);
    }
    if (touch && s.touch == nullptr) {
        s.touch = wl_seat_get_touch(handle);
        wl_touch_add_listener(s.touch, &touch_listener, &s);
    } else if (!touch) {
        release_touch(s);
    }
}
void seat_name(void*, wl_seat*, const char*) {}
const wl_seat_listener seat_listener = {seat_capabilities, seat_name};

}  // namespace

void add_seat(client& c, wl_registry* registry, std::uint32_t global, std::uint32_t version) {
    auto s = std::make_unique<seat>();
    s->owner = &c;
    s->global = global;
    s->version = std::min(version, 5u);
    s->handle = static_cast<wl_seat*>(wl_registry_bind(registry, global, &wl_seat_interface,
                                                       s->version));
    wl_seat_add_listener(s->handle, &seat_listener, s.get());
    c.seats.push_back(std::move(s));
}

void release_seat(seat& s) {
    release_keyboard(s);
    release_pointer(s);
    release_touch(s);
    if (s.state != nullptr) xkb_state_unref(s.state);
    if (s.keymap != nullptr) xkb_keymap_unref(s.keymap);
    if (s.version >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(s.handle);
    } else {
        wl_seat_destroy(s.handle);
    }
}

void read_keymap(seat& s, std::uint32_t format, int fd, std::uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) return;
    xkb_keymap* map = compile_keymap(s.owner->keys, fd, size);
    if (s.state != nullptr) xkb_state_unref(s.state);
    if (s.keymap != nullptr) xkb_keymap_unref(s.keymap);
    s.keymap = map;
    s.state = map != nullptr ? xkb_state_new(map) : nullptr;
    if (map == nullptr && s.owner->options.verbose) {
        report("the keyboard's keymap cannot be read or does not compile: its keys are read as a US "
               "keyboard's");
    }
}

}  // namespace quillant
