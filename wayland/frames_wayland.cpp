// SPDX-License-Identifier: MIT
// The views' frames: each draws at most once a period, and only when the
// compositor has asked for its next frame, so that an output the compositor
// does not show costs nothing.
#include "wayland/client_wayland.h"

namespace quillant {

namespace {

void frame_done(void* data, wl_callback* callback, std::uint32_t) {
    auto& v = *static_cast<view*>(data);
    wl_callback_destroy(callback);
    v.frame = nullptr;
    v.presented = true;
}
const wl_callback_listener frame_listener = {frame_done};

}  // namespace

void draw_if_due(view& v, std::int64_t now_us) {
    client& c = *v.owner;
    if (v.drawn == nullptr || v.frame != nullptr || v.pacer.wait_us(now_us) > 0) return;
    if (!c.failure.empty()) return;
    // A view that cannot draw would be due again at once, for ever: EGL's
    // refusal ends the program instead.
    if (!v.window->make_current()) {
        c.failure = "EGL could not make an output's context current: " + egl_error();
        return;
    }
    v.drawn->draw_frame();
    if (v.figures != nullptr) v.figures->draw(v.buffer_width, v.buffer_height, now_us);
    // The callback is asked for before the swap, whose commit carries it.
    v.frame = wl_surface_frame(v.surface);
    wl_callback_add_listener(v.frame, &frame_listener, &v);
    if (!v.window->swap()) {
        // Nothing was committed: no callback will come.
        wl_callback_destroy(v.frame);
        v.frame = nullptr;
        c.failure = "EGL could not show an output's frame: " + egl_error();
        return;
    }
    v.pacer.drawn(now_us);
}

int next_frame_ms(const client& c, std::int64_t now_us) {
    std::int64_t soonest = -1;
    for (const auto& v : c.views) {
        if (v->drawn == nullptr || v->frame != nullptr) continue;
        const std::int64_t wait = v->pacer.wait_us(now_us);
        if (soonest < 0 || wait < soonest) soonest = wait;
    }
    return soonest < 0 ? -1 : static_cast<int>((soonest + 999) / 1000);
}

}  // namespace quillant
