// SPDX-License-Identifier: MIT
// bare-wayland-loop: quillant-wayland's frame loop with nothing to draw, for
// its frame cost to be measured against (bench/wayland-frame-cost). A layer
// surface over the first output, as the saver's, in desktop OpenGL through
// the same EGL; every period, when the compositor has asked for the next
// frame, a clear and a swap, until SIGTERM; then it prints the frames drawn.
//
//   bare-wayland-loop [period in microseconds, default 50000]
#include "platform/platform.h"
#include "render/frame_pacer.h"
#include "wayland/egl_context_wayland.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <GL/gl.h>
#include <poll.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct loop {
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layer_shell = nullptr;
    wl_output* output = nullptr;
    std::int32_t width = 0, height = 0;
    bool configured = false;
    bool frame_pending = false;
};

void added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t) {
    auto& l = *static_cast<loop*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        l.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        l.layer_shell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && l.output == nullptr) {
        l.output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
    }
}
void removed(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registry_listener = {added, removed};

void configure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
               std::uint32_t width, std::uint32_t height) {
    auto& l = *static_cast<loop*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    l.width = static_cast<std::int32_t>(width);
    l.height = static_cast<std::int32_t>(height);
    l.configured = true;
}
void closed(void*, zwlr_layer_surface_v1*) {}
const zwlr_layer_surface_v1_listener layer_listener = {configure, closed};

void frame_done(void* data, wl_callback* callback, std::uint32_t) {
    static_cast<loop*>(data)->frame_pending = false;
    wl_callback_destroy(callback);
}
const wl_callback_listener frame_listener = {frame_done};

}  // namespace

int main(int argc, char** argv) {
    using namespace quillant;
    const std::int64_t period_us = argc > 1 ? std::atol(argv[1]) : 50000;
    const platform::end_signals signals;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr || !signals.ready()) {
        std::fprintf(stderr, "bare-wayland-loop: no Wayland display\n");
        return 1;
    }
    loop l;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &l);
    wl_display_roundtrip(display);
    if (l.compositor == nullptr || l.layer_shell == nullptr || l.output == nullptr) {
        std::fprintf(stderr, "bare-wayland-loop: no layer shell or no output\n");
        return 1;
    }
    wl_surface* surface = wl_compositor_create_surface(l.compositor);
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        l.layer_shell, surface, l.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "bare");
    zwlr_layer_surface_v1_add_listener(layer, &layer_listener, &l);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    wl_surface_commit(surface);
    while (!l.configured && wl_display_dispatch(display) >= 0) {
    }
    const egl_display egl(display);
    auto window = std::make_unique<egl_window>(egl, surface, l.width, l.height);
    if (!egl.ready() || !window->ready() || !window->make_current()) {
        std::fprintf(stderr, "bare-wayland-loop: no EGL\n");
        return 1;
    }
    glViewport(0, 0, l.width, l.height);

    frame_pacer pacer(period_us);
    long frames = 0;
    for (;;) {
        const std::int64_t now = platform::monotonic_us();
        if (!l.frame_pending && pacer.wait_us(now) == 0) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            wl_callback_add_listener(wl_surface_frame(surface), &frame_listener, &l);
            l.frame_pending = true;
            if (!window->swap()) return 1;
            pacer.drawn(now);
            ++frames;
        }
        wl_display_flush(display);
        const int wait = l.frame_pending ? -1
                                         : static_cast<int>((pacer.wait_us(platform::monotonic_us()) + 999) / 1000);
        pollfd watched[2] = {{wl_display_get_fd(display), POLLIN, 0},
                             {signals.descriptor(), POLLIN, 0}};
        poll(watched, 2, wait);
        if (watched[1].revents & POLLIN) break;
        if ((watched[0].revents & POLLIN) && wl_display_dispatch(display) < 0) return 1;
    }
    std::printf("%ld frames\n", frames);
    window.reset();
    zwlr_layer_surface_v1_destroy(layer);
    wl_surface_destroy(surface);
    wl_display_disconnect(display);
    return 0;
}
