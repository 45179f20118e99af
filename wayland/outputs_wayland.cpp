// SPDX-License-Identifier: MIT
// The outputs: their names, modes, scales and places in the desktop's
// layout, from wl_output and, where the compositor has it, xdg-output, which
// names outputs that an older wl_output leaves nameless (Mutter's) and
// places every output. A described output gets its view.
#include "wayland/client_wayland.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>

namespace quillant {

namespace {

// The output is described once its wl_output has said "done" and its
// xdg-output, where one was asked, has spoken too.
void output_described(output& o) {
    if (o.xdg != nullptr && !o.xdg_heard) return;
    o.described = true;
    client& c = *o.owner;
    cover_output(c, o);
    for (const auto& v : c.views) {
        if (v->on == &o && v->surface_scale != o.scale) {
            v->surface_scale = o.scale;
            lay_out(*v);
        }
    }
}

void output_geometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                     std::int32_t, const char*, const char*, std::int32_t) {}
void output_mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                 std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
    auto& o = *static_cast<output*>(data);
    o.mode_width = width;
    o.mode_height = height;
}
void output_done(void* data, wl_output*) { output_described(*static_cast<output*>(data)); }
void output_scale(void* data, wl_output*, std::int32_t factor) {
    static_cast<output*>(data)->scale = std::max(1, factor);
}
void output_name(void* data, wl_output*, const char* name) {
    static_cast<output*>(data)->name = name;
}
void output_description(void*, wl_output*, const char*) {}
const wl_output_listener output_listener = {output_geometry, output_mode,        output_done,
                                            output_scale,    output_name, output_description};

void xdg_position(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    auto& o = *static_cast<output*>(data);
    o.x = x;
    o.y = y;
    o.placed = true;
    o.xdg_heard = true;
}
void xdg_size(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    auto& o = *static_cast<output*>(data);
    o.logical_width = width;
    o.logical_height = height;
    o.xdg_heard = true;
}
// From version 3 on, wl_output's "done" ends xdg-output's description too.
void xdg_done(void* data, zxdg_output_v1* xdg) {
    if (zxdg_output_v1_get_version(xdg) < 3) output_described(*static_cast<output*>(data));
}
// wl_output's own name, from its version 4 on, comes first.
void xdg_name(void* data, zxdg_output_v1*, const char* name) {
    auto& o = *static_cast<output*>(data);
    if (o.version < WL_OUTPUT_NAME_SINCE_VERSION) o.name = name;
    o.xdg_heard = true;
}
void xdg_description(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener xdg_listener = {xdg_position, xdg_size, xdg_done, xdg_name,
                                              xdg_description};

}  // namespace

void add_output(client& c, wl_registry* registry, std::uint32_t global, std::uint32_t version) {
    auto o = std::make_unique<output>();
    o->owner = &c;
    o->global = global;
    o->version = std::min(version, 4u);
    o->handle = static_cast<wl_output*>(
        wl_registry_bind(registry, global, &wl_output_interface, o->version));
    wl_output_add_listener(o->handle, &output_listener, o.get());
    describe_with_xdg(c, *o);
    c.outputs.push_back(std::move(o));
}

void describe_with_xdg(client& c, output& o) {
    if (c.xdg_outputs == nullptr || o.xdg != nullptr) return;
    o.xdg = zxdg_output_manager_v1_get_xdg_output(c.xdg_outputs, o.handle);
    zxdg_output_v1_add_listener(o.xdg, &xdg_listener, &o);
}

void release_output(output& o) {
    if (o.xdg != nullptr) zxdg_output_v1_destroy(o.xdg);
    // Released, the compositor stops sending it events; only destroyed, it
    // would go on.
    if (o.version >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(o.handle);
    } else {
        wl_output_destroy(o.handle);
    }
}

}  // namespace quillant
