// SPDX-License-Identifier: MIT
// The views' surfaces: a layer surface over (or under) each output where the
// compositor has the layer shell, a toplevel otherwise, full screen on its
// output or an ordinary window; made and destroyed together by show_views
// and hide_views, and one at a time as outputs come and go.
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wayland/client_wayland.h"
#include "wayland/idle_wayland.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>

namespace quillant {

namespace {

// The size to draw at when the compositor leaves it to the client: the
// output's logical size where it is known, else the size of its mode.
void choose_size(view& v) {
    const output* o = v.on;
    if (o != nullptr && o->logical_width > 0 && o->logical_height > 0) {
        v.width = o->logical_width;
        v.height = o->logical_height;
    } else if (o != nullptr && o->mode_width > 0 && o->mode_height > 0) {
        v.width = o->mode_width / o->scale;
        v.height = o->mode_height / o->scale;
    } else {
        v.width = o == nullptr ? 1024 : 640;
        v.height = o == nullptr ? 768 : 480;
    }
}

// The layer surface's size, or "you decide" (0) in either direction, where
// the client takes its output's size and tells the compositor.
void layer_configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                     std::uint32_t width, std::uint32_t height) {
    auto& v = *static_cast<view*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (width == 0 || height == 0) {
        choose_size(v);
        zwlr_layer_surface_v1_set_size(layer, static_cast<std::uint32_t>(v.width),
                                       static_cast<std::uint32_t>(v.height));
    } else {
        v.width = static_cast<std::int32_t>(width);
        v.height = static_cast<std::int32_t>(height);
    }
    v.configured = true;
    lay_out(v);
}

void destroy_view(view& v) {
    forget_view(*v.owner, &v);
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

// The compositor took the surface away: its output went, or it was asked
// to. The loop decides what follows once it has heard all of it.
void layer_closed(void* data, zwlr_layer_surface_v1*) {
    auto& v = *static_cast<view*>(data);
    client& c = *v.owner;
    remove_view(c, &v);
    c.views_closed = true;
}
const zwlr_layer_surface_v1_listener layer_listener = {layer_configure, layer_closed};

void shell_configure(void* data, xdg_surface* shell_surface, std::uint32_t serial) {
    auto& v = *static_cast<view*>(data);
    xdg_surface_ack_configure(shell_surface, serial);
    if (v.width <= 0 || v.height <= 0) choose_size(v);  // the compositor leaves it to us
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
// The user closed a window: the saver ends, or with --idle hides.
void toplevel_close(void* data, xdg_toplevel*) {
    client& c = *static_cast<view*>(data)->owner;
    if (c.idle != nullptr) {
        hear_idle(c, idle_event::input);
    } else {
        c.ending = true;
    }
}
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

// Gives the surface its layer: over every window for the saver, under them
// for a wallpaper, the whole output either way.
void make_layer_surface(client& c, view& v) {
    const bool background = c.options.mode == wayland_mode::background;
    v.layer = zwlr_layer_shell_v1_get_layer_surface(
        c.layer_shell, v.surface, v.on->handle,
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
}

// Gives the surface the toplevel role: full screen on its output, or an
// ordinary window.
void make_toplevel(client& c, view& v) {
    v.shell_surface = xdg_wm_base_get_xdg_surface(c.wm_base, v.surface);
    xdg_surface_add_listener(v.shell_surface, &shell_listener, &v);
    v.toplevel = xdg_surface_get_toplevel(v.shell_surface);
    xdg_toplevel_add_listener(v.toplevel, &toplevel_listener, &v);
    xdg_toplevel_set_title(v.toplevel, "Quillant");
    xdg_toplevel_set_app_id(v.toplevel, "quillant");
    if (v.on != nullptr) xdg_toplevel_set_fullscreen(v.toplevel, v.on->handle);
}

// A view on the output (null: the window), which draws once configured.
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
        make_layer_surface(c, v);
    } else {
        make_toplevel(c, v);
    }
    wl_surface_commit(v.surface);
    c.views.push_back(std::move(made));
}

}  // namespace

void show_views(client& c) {
    c.shown = true;
    if (c.options.mode == wayland_mode::window) {
        if (c.views.empty()) make_view(c, nullptr);
        return;
    }
    for (const auto& o : c.outputs) cover_output(c, *o);
}

void hide_views(client& c) {
    c.shown = false;
    for (auto& v : c.views) destroy_view(*v);
    c.views.clear();
}

void cover_output(client& c, output& o) {
    if (!c.shown || !o.described || c.options.mode == wayland_mode::window) return;
    if (!c.options.output.empty() && o.name != c.options.output) return;
    const bool covered = std::any_of(c.views.begin(), c.views.end(),
                                     [&](const auto& v) { return v->on == &o; });
    if (!covered) make_view(c, &o);
}

void uncover_output(client& c, const output& o) {
    for (std::size_t i = c.views.size(); i-- > 0;) {
        if (c.views[i]->on == &o) remove_view(c, c.views[i].get());
    }
}

const view* view_of(const client& c, const wl_surface* surface) {
    for (const auto& v : c.views) {
        if (v->surface == surface) return v.get();
    }
    return nullptr;
}

}  // namespace quillant
