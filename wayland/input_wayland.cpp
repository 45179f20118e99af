// SPDX-License-Identifier: MIT
// What ends the saver: a key, a button, a touch, or a pointer move of more
// than 4 pixels from where the pointer was first seen (across and down
// together, as the Windows saver counts it). A --window ends on Escape or q
// alone; a --background never ends by input.
#include "wayland/client_wayland.h"
#include "wayland/idle_wayland.h"

#include <linux/input-event-codes.h>
#include <unistd.h>

#include <cmath>

namespace quillant {

namespace {

constexpr double pointer_slack = 4.0;

// The saver ends; with --idle, it hides until the next idle time.
void end_by_input(client& c) {
    if (c.options.mode != wayland_mode::saver) return;
    if (c.idle != nullptr) {
        hear_idle(c, idle_event::input);
    } else {
        c.ending = true;
    }
}

void keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
    read_keymap(*static_cast<seat*>(data), format, fd, size);
    close(fd);
}
void key_enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void key_leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t code,
         std::uint32_t state) {
    auto& s = *static_cast<seat*>(data);
    client& c = *s.owner;
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
    if (c.options.mode != wayland_mode::window) return end_by_input(c);
    // A window ends on Escape or q, wherever the layout puts q.
    const xkb_keysym_t symbol =
        s.state != nullptr ? xkb_state_key_get_one_sym(s.state, code + 8) : XKB_KEY_NoSymbol;
    if (symbol == XKB_KEY_Escape || symbol == XKB_KEY_q || symbol == XKB_KEY_Q ||
        (s.state == nullptr && (code == KEY_ESC || code == KEY_Q))) {
        c.ending = true;
    }
}
void modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
               std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    auto& s = *static_cast<seat*>(data);
    if (s.state != nullptr) xkb_state_update_mask(s.state, depressed, latched, locked, 0, 0, group);
}
void repeat_info(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

// Where a point of the view's surface lies: in the desktop's layout when
// its output is placed, so that a pointer crossing from one output to the
// next moves as far as it moved; else on the surface alone.
bool layout_point(const view& v, double& x, double& y) {
    if (v.on == nullptr || !v.on->placed) return false;
    x += v.on->x;
    y += v.on->y;
    return true;
}

// The seat's pointer is at (x, y) of the view's surface. Its first position
// is where moves count from; on a surface of an output not placed, the
// first position on that surface.
void pointer_at(seat& s, const view* on, wl_fixed_t surface_x, wl_fixed_t surface_y) {
    client& c = *s.owner;
    s.pointer_on = on;
    if (c.options.mode != wayland_mode::saver || on == nullptr) return;
    double x = wl_fixed_to_double(surface_x), y = wl_fixed_to_double(surface_y);
    const bool in_layout = layout_point(*on, x, y);
    if (!s.origin_seen || (!in_layout && s.origin_on != on)) {
        s.origin_seen = true;
        s.origin_on = on;
        s.origin_x = x;
        s.origin_y = y;
    } else if (std::fabs(x - s.origin_x) + std::fabs(y - s.origin_y) > pointer_slack) {
        end_by_input(c);
    }
}

void pointer_enter(void* data, wl_pointer*, std::uint32_t, wl_surface* surface, wl_fixed_t x,
                   wl_fixed_t y) {
    auto& s = *static_cast<seat*>(data);
    pointer_at(s, view_of(*s.owner, surface), x, y);
}
void pointer_leave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    static_cast<seat*>(data)->pointer_on = nullptr;
}
void pointer_motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    auto& s = *static_cast<seat*>(data);
    pointer_at(s, s.pointer_on, x, y);
}
void pointer_button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) end_by_input(*static_cast<seat*>(data)->owner);
}
void pointer_axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void pointer_frame(void*, wl_pointer*) {}
void pointer_axis_source(void*, wl_pointer*, std::uint32_t) {}
void pointer_axis_stop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void pointer_axis_discrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void pointer_axis_value120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

void touch_down(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t,
                wl_fixed_t, wl_fixed_t) {
    end_by_input(*static_cast<seat*>(data)->owner);
}
void touch_up(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void touch_motion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touch_frame(void*, wl_touch*) {}
void touch_cancel(void*, wl_touch*) {}
void touch_shape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touch_orientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}

}  // namespace

const wl_keyboard_listener keyboard_listener = {keymap,    key_enter, key_leave,
                                                key,       modifiers, repeat_info};
const wl_pointer_listener pointer_listener = {
    pointer_enter,         pointer_leave,       pointer_motion,      pointer_button,
    pointer_axis,          pointer_frame,       pointer_axis_source, pointer_axis_stop,
    pointer_axis_discrete, pointer_axis_value120};
const wl_touch_listener touch_listener = {touch_down,   touch_up,    touch_motion,     touch_frame,
                                          touch_cancel, touch_shape, touch_orientation};

void forget_view(client& c, const view* gone) {
    for (auto& s : c.seats) {
        if (s->pointer_on == gone) s->pointer_on = nullptr;
        // Moves count afresh from where the pointer is next seen: with
        // --idle, views shown again must not measure from the last showing.
        if (s->origin_on == gone) {
            s->origin_on = nullptr;
            s->origin_seen = false;
        }
    }
}

}  // namespace quillant
