// SPDX-License-Identifier: MIT
#include "wayland/saver_client_wayland.h"

#include "fractional-scale-v1-client-protocol.h"
#include "platform/platform.h"
#include "render/frame_pacer.h"
#include "render/scene.h"
#include "viewporter-client-protocol.h"
#include "wayland/egl_context_wayland.h"
#include "wayland/fps_figures.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace quillant {

namespace {

// A pointer move of more than this many pixels from where it was first seen,
// across and down together, ends the saver, as the Windows saver counts it.
constexpr double pointer_slack = 4.0;

struct client;

// One output as the compositor describes it.
struct output {
    client* owner = nullptr;
    wl_output* handle = nullptr;
    std::uint32_t global = 0;
    std::string name;
    std::int32_t scale = 1;
    bool described = false;  // its first "done" has come
};

// A surface that draws a scene of its own: a layer surface or a toplevel.
struct view {
    client* owner = nullptr;
    output* on = nullptr;  // null for --window
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    xdg_surface* shell_surface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
    std::uint32_t fractional_120 = 0;  // preferred scale x 120; 0 before one comes
    std::int32_t surface_scale = 1;    // the scale of the output it is on
    std::int32_t width = 0, height = 0;  // logical size; 0 before a configure
    std::int32_t buffer_width = 0, buffer_height = 0;
    bool configured = false;
    std::uint32_t seed = 0;
    std::unique_ptr<egl_window> window;
    std::unique_ptr<scene> drawn;
    std::unique_ptr<fps_figures> figures;
    frame_pacer pacer{default_frame_period_us};
    wl_callback* frame = nullptr;  // the compositor has not asked for the next
};

// A seat with the devices it offers now.
struct seat {
    client* owner = nullptr;
    wl_seat* handle = nullptr;
    std::uint32_t global = 0;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
};

struct client {
    wayland_options options;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layer_shell = nullptr;
    xdg_wm_base* wm_base = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractional_manager = nullptr;
    xkb_context* keys = nullptr;
    std::unique_ptr<egl_display> egl;
    std::vector<std::unique_ptr<output>> outputs;
    std::vector<std::unique_ptr<view>> views;
    std::vector<std::unique_ptr<seat>> seats;
    std::uint32_t first_seed = 0;
    std::size_t views_made = 0;
    bool pointer_seen = false;
    double pointer_x = 0, pointer_y = 0;
    bool ending = false;
    std::string failure;  // set when it must end with status 1
};

void report(const std::string& message) {
    std::fprintf(stderr, "quillant-wayland: %s\n", message.c_str());
}

// libwayland's own complaints, heard only with --verbose: without it, a
// failure is the one line that report() writes.
void quiet_wayland_log(const char*, va_list) {}

void end_by_input(client& c) {
    if (c.options.mode != wayland_mode::background) c.ending = true;
}

// --- views ---------------------------------------------------------------

void make_view(client& c, output* on);

// The buffer's size for the view's logical size and its scale, and what
// the compositor must be told of it: that scale, and that it is opaque.
void apply_scale(view& v) {
    wl_region* opaque = wl_compositor_create_region(v.owner->compositor);
    wl_region_add(opaque, 0, 0, v.width, v.height);
    wl_surface_set_opaque_region(v.surface, opaque);
    wl_region_destroy(opaque);
    if (v.fractional_120 != 0 && v.viewport != nullptr) {
        v.buffer_width = static_cast<std::int32_t>(std::lround(v.width * v.fractional_120 / 120.0));
        v.buffer_height = static_cast<std::int32_t>(std::lround(v.height * v.fractional_120 / 120.0));
        wl_surface_set_buffer_scale(v.surface, 1);
        wp_viewport_set_destination(v.viewport, v.width, v.height);
    } else {
        v.buffer_width = v.width * v.surface_scale;
        v.buffer_height = v.height * v.surface_scale;
        wl_surface_set_buffer_scale(v.surface, v.surface_scale);
    }
}

// Lays the view out anew for its size and scale; makes its GL and scene
// with the first one.
void lay_out(view& v) {
    if (!v.configured || v.width <= 0 || v.height <= 0) return;
    client& c = *v.owner;
    const std::int32_t old_width = v.buffer_width, old_height = v.buffer_height;
    apply_scale(v);
    if (v.window == nullptr) {
        v.window = std::make_unique<egl_window>(*c.egl, v.surface, v.buffer_width, v.buffer_height);
        if (!v.window->ready() || !v.window->make_current()) {
            c.failure = "EGL made no window surface or context for an output";
            return;
        }
        v.drawn = std::make_unique<scene>(v.seed, search_driver::thread);
        v.pacer = frame_pacer(c.options.frame_period_us);
        if (c.options.show_fps) v.figures = std::make_unique<fps_figures>();
        if (c.options.verbose) {
            std::fprintf(stderr, "quillant-wayland: %s: seed %u, %dx%d at scale %g: buffer %dx%d\n",
                         v.on != nullptr ? v.on->name.c_str() : "window", v.seed, v.width, v.height,
                         static_cast<double>(v.buffer_width) / v.width, v.buffer_width,
                         v.buffer_height);
        }
    } else if (v.buffer_width == old_width && v.buffer_height == old_height) {
        return;
    } else {
        v.window->resize(v.buffer_width, v.buffer_height);
        if (!v.window->make_current()) return;
    }
    v.drawn->set_line_scale(static_cast<float>(v.buffer_width) / static_cast<float>(v.width));
    v.drawn->resize(v.buffer_width, v.buffer_height);
}

void frame_done(void* data, wl_callback* callback, std::uint32_t) {
    auto& v = *static_cast<view*>(data);
    wl_callback_destroy(callback);
    v.frame = nullptr;
}
const wl_callback_listener frame_listener = {frame_done};

// Draws the view's frame when the compositor wants one and it is due.
void draw_if_due(view& v, std::int64_t now_us) {
    if (v.drawn == nullptr || v.frame != nullptr || v.pacer.wait_us(now_us) > 0) return;
    if (!v.window->make_current()) return;
    v.drawn->draw_frame();
    if (v.figures != nullptr) v.figures->draw(v.buffer_width, v.buffer_height, now_us);
    v.frame = wl_surface_frame(v.surface);
    wl_callback_add_listener(v.frame, &frame_listener, &v);
    v.window->swap();
    v.pacer.drawn(now_us);
}

void destroy_view(view& v) {
    if (v.frame != nullptr) wl_callback_destroy(v.frame);
    v.drawn.reset();  // its worker stops and is joined first
    v.figures.reset();
    v.window.reset();
    if (v.fractional != nullptr) wp_fractional_scale_v1_destroy(v.fractional);
    if (v.viewport != nullptr) wp_viewport_destroy(v.viewport);
    if (v.layer != nullptr) zwlr_layer_surface_v1_destroy(v.layer);
    if (v.toplevel != nullptr) xdg_toplevel_destroy(v.toplevel);
    if (v.shell_surface != nullptr) xdg_surface_destroy(v.shell_surface);
    if (v.surface != nullptr) wl_surface_destroy(v.surface);
}

void remove_view(client& c, const view* gone) {
    auto& views = c.views;
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (it->get() != gone) continue;
        destroy_view(**it);
        views.erase(it);
        return;
    }
}

void layer_configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                     std::uint32_t width, std::uint32_t height) {
    auto& v = *static_cast<view*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    v.width = static_cast<std::int32_t>(width);
    v.height = static_cast<std::int32_t>(height);
    v.configured = true;
    lay_out(v);
}

// The compositor took the surface away (its output went, or it asked).
void layer_closed(void* data, zwlr_layer_surface_v1*) {
    auto& v = *static_cast<view*>(data);
    client& c = *v.owner;
    remove_view(c, &v);
    if (c.views.empty()) c.ending = true;
}
const zwlr_layer_surface_v1_listener layer_listener = {layer_configure, layer_closed};

void shell_configure(void* data, xdg_surface* shell_surface, std::uint32_t serial) {
    auto& v = *static_cast<view*>(data);
    xdg_surface_ack_configure(shell_surface, serial);
    if (v.width <= 0 || v.height <= 0) {  // the compositor leaves the size to us
        v.width = v.on == nullptr ? 1024 : 640;
        v.height = v.on == nullptr ? 768 : 480;
    }
    v.configured = true;
    lay_out(v);
}
const xdg_surface_listener shell_listener = {shell_configure};

void toplevel_configure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                        wl_array*) {
    auto& v = *static_cast<view*>(data);
    if (width > 0 && height > 0) {
        v.width = width;
        v.height = height;
    }
}
void toplevel_close(void* data, xdg_toplevel*) { static_cast<view*>(data)->owner->ending = true; }
void toplevel_bounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void toplevel_capabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener toplevel_listener = {toplevel_configure, toplevel_close,
                                                 toplevel_bounds, toplevel_capabilities};

void preferred_scale(void* data, wp_fractional_scale_v1*, std::uint32_t scale_120) {
    auto& v = *static_cast<view*>(data);
    v.fractional_120 = scale_120;
    lay_out(v);
}
const wp_fractional_scale_v1_listener fractional_listener = {preferred_scale};

// A toplevel's scale is that of the output it is shown on.
void surface_enter(void* data, wl_surface*, wl_output* handle) {
    auto& v = *static_cast<view*>(data);
    for (const auto& o : v.owner->outputs) {
        if (o->handle == handle && o->scale != v.surface_scale) {
            v.surface_scale = o->scale;
            lay_out(v);
        }
    }
}
void surface_leave(void*, wl_surface*, wl_output*) {}
const wl_surface_listener surface_listener = {surface_enter, surface_leave};

void make_view(client& c, output* on) {
    auto made = std::make_unique<view>();
    view& v = *made;
    v.owner = &c;
    v.on = on;
    v.seed = c.options.seed ? output_seed(c.first_seed, c.views_made) : instance_seed();
    ++c.views_made;
    v.surface_scale = on != nullptr ? on->scale : 1;
    v.surface = wl_compositor_create_surface(c.compositor);
    wl_surface_add_listener(v.surface, &surface_listener, &v);
    if (c.fractional_manager != nullptr && c.viewporter != nullptr) {
        v.viewport = wp_viewporter_get_viewport(c.viewporter, v.surface);
        v.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(c.fractional_manager,
                                                                           v.surface);
        wp_fractional_scale_v1_add_listener(v.fractional, &fractional_listener, &v);
    }
    if (on != nullptr && c.layer_shell != nullptr) {
        const bool background = c.options.mode == wayland_mode::background;
        v.layer = zwlr_layer_shell_v1_get_layer_surface(
            c.layer_shell, v.surface, on->handle,
            background ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "quillant");
        zwlr_layer_surface_v1_add_listener(v.layer, &layer_listener, &v);
        zwlr_layer_surface_v1_set_anchor(
            v.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(v.layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            v.layer, background ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE
                                : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        v.shell_surface = xdg_wm_base_get_xdg_surface(c.wm_base, v.surface);
        xdg_surface_add_listener(v.shell_surface, &shell_listener, &v);
        v.toplevel = xdg_surface_get_toplevel(v.shell_surface);
        xdg_toplevel_add_listener(v.toplevel, &toplevel_listener, &v);
        xdg_toplevel_set_title(v.toplevel, "Quillant");
        xdg_toplevel_set_app_id(v.toplevel, "quillant");
        if (on != nullptr) xdg_toplevel_set_fullscreen(v.toplevel, on->handle);
    }
    wl_surface_commit(v.surface);
    c.views.push_back(std::move(made));
}

// An output gets its surface once it is described, if it is one to draw on.
void cover_output(client& c, output& o) {
    if (c.options.mode == wayland_mode::window) return;
    if (!c.options.output.empty() && o.name != c.options.output) return;
    for (const auto& v : c.views) {
        if (v->on == &o) return;
    }
    make_view(c, &o);
}

// --- outputs -------------------------------------------------------------

void output_geometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                     std::int32_t, const char*, const char*, std::int32_t) {}
void output_mode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void output_done(void* data, wl_output*) {
    auto& o = *static_cast<output*>(data);
    o.described = true;
    cover_output(*o.owner, o);
    for (const auto& v : o.owner->views) {
        if (v->on == &o && v->surface_scale != o.scale) {
            v->surface_scale = o.scale;
            lay_out(*v);
        }
    }
}
void output_scale(void* data, wl_output*, std::int32_t factor) {
    static_cast<output*>(data)->scale = std::max(1, factor);
}
void output_name(void* data, wl_output*, const char* name) {
    static_cast<output*>(data)->name = name;
}
void output_description(void*, wl_output*, const char*) {}
const wl_output_listener output_listener = {output_geometry, output_mode,        output_done,
                                            output_scale,    output_name, output_description};

// --- input ---------------------------------------------------------------

void keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
    auto& s = *static_cast<seat*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && s.owner->keys != nullptr) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_keymap* map = xkb_keymap_new_from_string(s.owner->keys, static_cast<char*>(text),
                                                         XKB_KEYMAP_FORMAT_TEXT_V1,
                                                         XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            if (map != nullptr) {
                if (s.state != nullptr) xkb_state_unref(s.state);
                if (s.keymap != nullptr) xkb_keymap_unref(s.keymap);
                s.keymap = map;
                s.state = xkb_state_new(map);
            }
        }
    }
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
const wl_keyboard_listener keyboard_listener = {keymap,    key_enter, key_leave,
                                                key,       modifiers, repeat_info};

// The pointer's first position is where moves count from.
void pointer_at(client& c, wl_fixed_t x, wl_fixed_t y) {
    if (c.options.mode != wayland_mode::saver) return;
    const double px = wl_fixed_to_double(x), py = wl_fixed_to_double(y);
    if (!c.pointer_seen) {
        c.pointer_seen = true;
        c.pointer_x = px;
        c.pointer_y = py;
    } else if (std::fabs(px - c.pointer_x) + std::fabs(py - c.pointer_y) > pointer_slack) {
        c.ending = true;
    }
}
void pointer_enter(void* data, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    pointer_at(*static_cast<seat*>(data)->owner, x, y);
}
void pointer_leave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
void pointer_motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    pointer_at(*static_cast<seat*>(data)->owner, x, y);
}
void pointer_button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t state) {
    client& c = *static_cast<seat*>(data)->owner;
    if (state == WL_POINTER_BUTTON_STATE_PRESSED && c.options.mode == wayland_mode::saver) {
        end_by_input(c);
    }
}
void pointer_axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void pointer_frame(void*, wl_pointer*) {}
void pointer_axis_source(void*, wl_pointer*, std::uint32_t) {}
void pointer_axis_stop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void pointer_axis_discrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void pointer_axis_value120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
const wl_pointer_listener pointer_listener = {
    pointer_enter,         pointer_leave,       pointer_motion,    pointer_button,
    pointer_axis,          pointer_frame,       pointer_axis_source, pointer_axis_stop,
    pointer_axis_discrete, pointer_axis_value120};

void touch_down(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t,
                wl_fixed_t, wl_fixed_t) {
    client& c = *static_cast<seat*>(data)->owner;
    if (c.options.mode == wayland_mode::saver) end_by_input(c);
}
void touch_up(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void touch_motion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touch_frame(void*, wl_touch*) {}
void touch_cancel(void*, wl_touch*) {}
void touch_shape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touch_orientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}
const wl_touch_listener touch_listener = {touch_down,   touch_up,    touch_motion,     touch_frame,
                                          touch_cancel, touch_shape, touch_orientation};

void release_devices(seat& s) {
    if (s.keyboard != nullptr) wl_keyboard_destroy(s.keyboard);
    if (s.pointer != nullptr) wl_pointer_destroy(s.pointer);
    if (s.touch != nullptr) wl_touch_destroy(s.touch);
    s.keyboard = nullptr;
    s.pointer = nullptr;
    s.touch = nullptr;
}

// Devices come and go with the seat's capabilities: each time, the ones it
// offers are bound anew.
void seat_capabilities(void* data, wl_seat* handle, std::uint32_t capabilities) {
    auto& s = *static_cast<seat*>(data);
    release_devices(s);
    if (s.owner->options.mode == wayland_mode::background) return;
    if (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) {
        s.keyboard = wl_seat_get_keyboard(handle);
        wl_keyboard_add_listener(s.keyboard, &keyboard_listener, &s);
    }
    if (capabilities & WL_SEAT_CAPABILITY_POINTER) {
        s.pointer = wl_seat_get_pointer(handle);
        wl_pointer_add_listener(s.pointer, &pointer_listener, &s);
    }
    if (capabilities & WL_SEAT_CAPABILITY_TOUCH) {
        s.touch = wl_seat_get_touch(handle);
        wl_touch_add_listener(s.touch, &touch_listener, &s);
    }
}
void seat_name(void*, wl_seat*, const char*) {}
const wl_seat_listener seat_listener = {seat_capabilities, seat_name};

void destroy_seat(seat& s) {
    release_devices(s);
    if (s.state != nullptr) xkb_state_unref(s.state);
    if (s.keymap != nullptr) xkb_keymap_unref(s.keymap);
    wl_seat_destroy(s.handle);
}

// --- globals -------------------------------------------------------------

void shell_ping(void*, xdg_wm_base* wm_base, std::uint32_t serial) {
    xdg_wm_base_pong(wm_base, serial);
}
const xdg_wm_base_listener wm_base_listener = {shell_ping};

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void global_added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version) {
    client& c = *static_cast<client*>(data);
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name) {
        c.compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (kind == zwlr_layer_shell_v1_interface.name) {
        c.layer_shell =
            bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 1);
    } else if (kind == xdg_wm_base_interface.name) {
        c.wm_base = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
        xdg_wm_base_add_listener(c.wm_base, &wm_base_listener, &c);
    } else if (kind == wp_viewporter_interface.name) {
        c.viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (kind == wp_fractional_scale_manager_v1_interface.name) {
        c.fractional_manager = bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (kind == wl_output_interface.name && version >= 2) {
        auto o = std::make_unique<output>();
        o->owner = &c;
        o->global = name;
        o->handle = bind<wl_output>(registry, name, &wl_output_interface, version, 4);
        wl_output_add_listener(o->handle, &output_listener, o.get());
        c.outputs.push_back(std::move(o));
    } else if (kind == wl_seat_interface.name) {
        auto s = std::make_unique<seat>();
        s->owner = &c;
        s->global = name;
        s->handle = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        wl_seat_add_listener(s->handle, &seat_listener, s.get());
        c.seats.push_back(std::move(s));
    }
}

// An output unplugged takes its view with it; the others go on.
void global_removed(void* data, wl_registry*, std::uint32_t name) {
    client& c = *static_cast<client*>(data);
    for (auto it = c.outputs.begin(); it != c.outputs.end(); ++it) {
        if ((*it)->global != name) continue;
        for (std::size_t i = c.views.size(); i-- > 0;) {
            if (c.views[i]->on == it->get()) remove_view(c, c.views[i].get());
        }
        wl_output_destroy((*it)->handle);
        c.outputs.erase(it);
        if (c.views.empty() && c.options.mode != wayland_mode::window) c.ending = true;
        return;
    }
    for (auto it = c.seats.begin(); it != c.seats.end(); ++it) {
        if ((*it)->global != name) continue;
        destroy_seat(**it);
        c.seats.erase(it);
        return;
    }
}
const wl_registry_listener registry_listener = {global_added, global_removed};

// --- the loop ------------------------------------------------------------

// A descriptor that becomes readable when SIGTERM or SIGINT arrives; the
// two are blocked first, so in every thread started later too.
int stop_signal_descriptor() {
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    return signalfd(-1, &stop, SFD_CLOEXEC);
}

// Milliseconds until a view is due to draw; -1 when every one waits for the
// compositor.
int poll_timeout_ms(const client& c, std::int64_t now_us) {
    std::int64_t soonest = -1;
    for (const auto& v : c.views) {
        if (v->drawn == nullptr || v->frame != nullptr) continue;
        const std::int64_t wait = v->pacer.wait_us(now_us);
        if (soonest < 0 || wait < soonest) soonest = wait;
    }
    return soonest < 0 ? -1 : static_cast<int>((soonest + 999) / 1000);
}

// Waits for the compositor's events, a signal or the next due frame, and
// handles what came. False when the connection failed.
bool wait_and_dispatch(client& c, int signals) {
    while (wl_display_prepare_read(c.display) != 0) {
        if (wl_display_dispatch_pending(c.display) < 0) return false;
    }
    if (wl_display_flush(c.display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(c.display);
        return false;
    }
    pollfd watched[2] = {{wl_display_get_fd(c.display), POLLIN, 0}, {signals, POLLIN, 0}};
    const int ready = poll(watched, 2, poll_timeout_ms(c, platform::monotonic_us()));
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(c.display) < 0) return false;
    } else {
        wl_display_cancel_read(c.display);
    }
    if (watched[1].revents & POLLIN) c.ending = true;
    return wl_display_dispatch_pending(c.display) >= 0;
}

void disconnect(client& c) {
    for (auto& v : c.views) destroy_view(*v);
    c.views.clear();
    for (auto& s : c.seats) destroy_seat(*s);
    c.seats.clear();
    for (auto& o : c.outputs) wl_output_destroy(o->handle);
    c.outputs.clear();
    c.egl.reset();
    if (c.fractional_manager != nullptr) wp_fractional_scale_manager_v1_destroy(c.fractional_manager);
    if (c.viewporter != nullptr) wp_viewporter_destroy(c.viewporter);
    if (c.wm_base != nullptr) xdg_wm_base_destroy(c.wm_base);
    if (c.layer_shell != nullptr) zwlr_layer_shell_v1_destroy(c.layer_shell);
    if (c.compositor != nullptr) wl_compositor_destroy(c.compositor);
    if (c.registry != nullptr) wl_registry_destroy(c.registry);
    if (c.keys != nullptr) xkb_context_unref(c.keys);
    wl_display_disconnect(c.display);
}

// The globals and the outputs' descriptions; what the compositor lacks for
// the mode asked, or "".
std::string meet_compositor(client& c) {
    c.registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(c.registry, &registry_listener, &c);
    if (wl_display_roundtrip(c.display) < 0) return "the compositor closed the connection";
    if (c.compositor == nullptr) return "the compositor offers no wl_compositor";
    const bool layered = c.layer_shell != nullptr && c.options.mode != wayland_mode::window;
    if (!layered && c.wm_base == nullptr) return "the compositor offers neither layer shell nor xdg-shell";
    if (c.options.mode == wayland_mode::background && c.layer_shell == nullptr) {
        return "--background needs the layer shell, which this compositor does not offer";
    }
    c.egl = std::make_unique<egl_display>(c.display);
    if (!c.egl->ready()) return c.egl->error();
    if (wl_display_roundtrip(c.display) < 0) return "the compositor closed the connection";
    if (c.options.mode == wayland_mode::window) {
        make_view(c, nullptr);
        return "";
    }
    if (c.outputs.empty()) return "the compositor has no outputs";
    if (!c.options.output.empty() && c.views.empty()) {
        return "no output is called " + quoted(c.options.output);
    }
    if (c.options.verbose && c.layer_shell == nullptr) {
        report("no layer shell here: a full-screen window on each output, which does not lock");
    }
    return "";
}

}  // namespace

int run_wayland_saver(const wayland_options& options) {
    client c;
    c.options = options;
    c.first_seed = options.seed.value_or(0);
    const int signals = stop_signal_descriptor();
    if (!options.verbose) wl_log_set_handler_client(quiet_wayland_log);
    c.display = wl_display_connect(nullptr);
    if (c.display == nullptr) {
        report("no Wayland display to connect to (is WAYLAND_DISPLAY set?)");
        return 1;
    }
    c.keys = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    std::string problem = meet_compositor(c);
    while (problem.empty() && c.failure.empty() && !c.ending) {
        if (!wait_and_dispatch(c, signals)) {
            problem = "the connection to the compositor failed";
            break;
        }
        const std::int64_t now_us = platform::monotonic_us();
        for (auto& v : c.views) draw_if_due(*v, now_us);
    }
    if (problem.empty()) problem = c.failure;
    disconnect(c);
    close(signals);
    if (!problem.empty()) {
        report(problem);
        return 1;
    }
    return 0;
}

}  // namespace quillant
