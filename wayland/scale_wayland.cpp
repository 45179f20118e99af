// SPDX-License-Identifier: MIT
// A view's buffer for its logical size and scale: the output's integer
// scale, or the fractional scale the compositor prefers, through a viewport
// that shows a buffer of the rounded fractional size at the logical size;
// and the GL context and scene that follow the buffer.
#include "viewporter-client-protocol.h"
#include "wayland/client_wayland.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace quillant {

namespace {

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

// With --verbose, the view's size, scale and buffer, and with its first
// layout its seed.
void describe(const view& v, bool first) {
    if (!v.owner->options.verbose) return;
    const char* name = v.on != nullptr ? v.on->name.c_str() : "window";
    const std::string seed = first ? " seed " + std::to_string(v.seed) + "," : "";
    const bool fractional = v.fractional_120 != 0 && v.viewport != nullptr;
    const double scale = fractional ? v.fractional_120 / 120.0 : v.surface_scale;
    std::fprintf(stderr, "quillant-wayland: %s:%s %dx%d at scale %g: buffer %dx%d\n", name,
                 seed.c_str(), v.width, v.height, scale, v.buffer_width, v.buffer_height);
}

// The view's GL window, context and scene for its first layout; false, with
// the client's failure set and the view left without them, when EGL cannot.
bool make_drawing(view& v) {
    client& c = *v.owner;
    auto window = std::make_unique<egl_window>(*c.egl, v.surface, v.buffer_width, v.buffer_height);
    if (!window->ready() || !window->make_current()) {
        c.failure = "EGL made no window surface or context for an output";
        return false;
    }
    v.window = std::move(window);
    v.drawn = std::make_unique<scene>(v.seed, search_driver::thread);
    v.pacer = frame_pacer(c.options.frame_period_us);
    if (c.options.show_fps) v.figures = std::make_unique<fps_figures>();
    describe(v, true);
    return true;
}

}  // namespace

void lay_out(view& v) {
    client& c = *v.owner;
    if (!v.configured || v.width <= 0 || v.height <= 0 || !c.failure.empty()) return;
    const std::int32_t old_width = v.buffer_width, old_height = v.buffer_height;
    apply_scale(v);
    if (v.window == nullptr) {
        if (!make_drawing(v)) return;
    } else if (v.buffer_width == old_width && v.buffer_height == old_height) {
        return;
    } else {
        v.window->resize(v.buffer_width, v.buffer_height);
        if (!v.window->make_current()) {
            c.failure = "EGL could not make an output's context current: " + egl_error();
            return;
        }
        describe(v, false);
    }
    v.drawn->set_line_scale(static_cast<float>(v.buffer_width) / static_cast<float>(v.width));
    v.drawn->resize(v.buffer_width, v.buffer_height);
}

}  // namespace quillant
