// SPDX-License-Identifier: MIT
// The saver window's own handling of its creation, its destruction and the
// frame timer, on a GL context of its own, with the rendering host's state:
// the window's size, its contexts and the app record with the scene.
#pragma once

#include "render/scene.h"

#include <windows.h>

#include <cstdint>

namespace quillant {

// View mode 1: the perspective projection and the fixed look-at.
inline constexpr std::int32_t perspective_view = 1;

struct app_record {
    std::int32_t view_mode;
    quillant::scene* scene;
};

// State of the rendering host, used on the window's thread only.
struct render_host {
    std::int32_t window_width = 0;
    std::int32_t window_height = 0;
    app_record* app = nullptr;
};

extern render_host host;

// Handles creation (GL context, scene, view, the 50 ms frame timer),
// destruction (timer and contexts released) and every timer message (one
// frame, presented), each answered 0. Any other message is answered by
// `fallback`, the shell's default handling. Creation is answered -1, so that
// no window is made, when the app record or the scene cannot be allocated.
// NOTE: the scene and its worker are never ended: they run until the
// process ends, which ends the worker.
LRESULT SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        WNDPROC fallback);

// Takes the window's device context, gives it a double-buffered RGBA pixel
// format and makes a new GL context current on the calling thread.
void create_gl_context(HWND window);

}  // namespace quillant
