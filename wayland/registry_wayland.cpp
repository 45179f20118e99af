// SPDX-License-Identifier: MIT
// The registry: the globals the client binds (at the highest version it
// knows, and no higher than offered), the outputs and seats that come and
// go, and the orderly goodbye.
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wayland/client_wayland.h"
#include "wayland/idle_wayland.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>

namespace quillant {

namespace {

void shell_ping(void*, xdg_wm_base* wm_base, std::uint32_t serial) {
    xdg_wm_base_pong(wm_base, serial);
}
const xdg_wm_base_listener wm_base_listener = {shell_ping};

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, version));
}

void global_added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version) {
    client& c = *static_cast<client*>(data);
    const std::string kind = interface;
    if (c.idle != nullptr && offer_idle_global(c, registry, name, kind, version)) return;
    if (kind == wl_compositor_interface.name) {
        c.compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface,
                                           std::min(version, 4u));
    } else if (kind == zwlr_layer_shell_v1_interface.name) {
        c.layer_shell_version = std::min(version, 4u);
        c.layer_shell = bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface,
                                                  c.layer_shell_version);
    } else if (kind == xdg_wm_base_interface.name) {
        c.wm_base = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, 1);
        xdg_wm_base_add_listener(c.wm_base, &wm_base_listener, &c);
    } else if (kind == wp_viewporter_interface.name) {
        c.viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, 1);
    } else if (kind == wp_fractional_scale_manager_v1_interface.name) {
        c.fractional_manager = bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, 1);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        c.xdg_outputs = bind<zxdg_output_manager_v1>(registry, name,
                                                     &zxdg_output_manager_v1_interface,
                                                     std::min(version, 3u));
        for (auto& o : c.outputs) describe_with_xdg(c, *o);
    } else if (kind == wl_output_interface.name && version >= 2) {
        add_output(c, registry, name, version);
    } else if (kind == wl_seat_interface.name) {
        add_seat(c, registry, name, version);
        if (c.idle != nullptr) follow_idle_seats(c);
    }
}

// An output unplugged takes its view with it; the others go on.
void global_removed(void* data, wl_registry*, std::uint32_t name) {
    client& c = *static_cast<client*>(data);
    for (auto it = c.outputs.begin(); it != c.outputs.end(); ++it) {
        if ((*it)->global != name) continue;
        if (c.options.verbose) report((*it)->name + ": gone");
        uncover_output(c, **it);
        release_output(**it);
        c.outputs.erase(it);
        return;
    }
    for (auto it = c.seats.begin(); it != c.seats.end(); ++it) {
        if ((*it)->global != name) continue;
        release_seat(**it);
        c.seats.erase(it);
        if (c.idle != nullptr) follow_idle_seats(c);
        return;
    }
}
const wl_registry_listener registry_listener = {global_added, global_removed};

}  // namespace

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
    // The outputs' descriptions, and then their xdg-outputs'.
    for (int i = 0; i < 2; ++i) {
        if (wl_display_roundtrip(c.display) < 0) return "the compositor closed the connection";
    }
    // --idle shows the views when the user is idle, on the outputs there
    // are then.
    if (c.idle != nullptr) return start_idle(c);
    if (c.options.mode != wayland_mode::window && c.outputs.empty()) {
        return "the compositor has no outputs";
    }
    show_views(c);
    if (!c.options.output.empty() && c.views.empty()) {
        return "no output is called " + quoted(c.options.output);
    }
    if (c.options.verbose && c.layer_shell == nullptr) {
        report("no layer shell here: a full-screen window on each output, which does not lock");
    }
    return "";
}

void disconnect(client& c) {
    hide_views(c);
    if (c.idle != nullptr) stop_idle(c);
    for (auto& s : c.seats) release_seat(*s);
    c.seats.clear();
    for (auto& o : c.outputs) release_output(*o);
    c.outputs.clear();
    c.egl.reset();
    if (c.xdg_outputs != nullptr) zxdg_output_manager_v1_destroy(c.xdg_outputs);
    if (c.fractional_manager != nullptr) wp_fractional_scale_manager_v1_destroy(c.fractional_manager);
    if (c.viewporter != nullptr) wp_viewporter_destroy(c.viewporter);
    if (c.wm_base != nullptr) xdg_wm_base_destroy(c.wm_base);
    if (c.layer_shell != nullptr) {
        // Its destructor request came with version 3.
        if (c.layer_shell_version >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
            zwlr_layer_shell_v1_destroy(c.layer_shell);
        } else {
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(c.layer_shell));
        }
    }
    if (c.compositor != nullptr) wl_compositor_destroy(c.compositor);
    if (c.registry != nullptr) wl_registry_destroy(c.registry);
    if (c.keys != nullptr) xkb_context_unref(c.keys);
    wl_display_disconnect(c.display);
}

}  // namespace quillant
