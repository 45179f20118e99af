// SPDX-License-Identifier: MIT
#include "shell/scene_window.h"

#include <GL/gl.h>

#include <new>

namespace quillant {

namespace {

constexpr UINT_PTR frame_timer = 1;
constexpr UINT frame_period_ms = 50;
constexpr BYTE colour_bits = 24;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format descriptor's size");

// The window's device context and GL context, from creation to destruction.
HDC device_context = nullptr;
HGLRC gl_context = nullptr;

// Makes the host's app record. False when it cannot be allocated, so that the
// window's creation can be refused.
bool create_app_record() {
    host.app = new (std::nothrow) app_record{0, nullptr};
    return host.app != nullptr;
}

// Makes the scene, drawing from the process-wide engine with a worker thread,
// and stores it in the app record. Returns the view mode, 1, or 0 when the
// scene cannot be allocated.
int create_scene() {
    // NOTE: a scene that cannot be made refuses the window rather than
    // letting the failure unwind through the platform's window procedure.
    try {
        host.app->scene = new scene(search_driver::thread);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return perspective_view;
}

// Lays the scene out for the window and starts its worker, once.
void set_up_view() { host.app->scene->resize(host.window_width, host.window_height); }

// Builds everything the frames need; false when the scene cannot be made.
bool create_scene_window(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    host.window_width = client.right;
    host.window_height = client.bottom;
    create_gl_context(window);
    if (!create_app_record()) return false;
    host.app->view_mode = create_scene();
    if (host.app->view_mode == 0) return false;
    set_up_view();
    SetTimer(window, frame_timer, frame_period_ms, nullptr);
    return true;
}

// Renders one frame and shows it.
void present_frame() {
    host.app->scene->draw_frame();
    glFinish();
    glFlush();
    SwapBuffers(device_context);
}

// The timer goes first, so that no frame is drawn on a released context.
// Safe to call again: a refused creation releases what it made, and the
// platform may still send destruction after it.
void release_scene_window(HWND window) {
    KillTimer(window, frame_timer);
    wglMakeCurrent(nullptr, nullptr);
    if (gl_context != nullptr) {
        wglDeleteContext(gl_context);
        gl_context = nullptr;
    }
    if (device_context != nullptr) {
        ReleaseDC(window, device_context);
        device_context = nullptr;
    }
}

}  // namespace

render_host host;

LRESULT SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        WNDPROC fallback) {
    switch (message) {
        case WM_CREATE:
            if (create_scene_window(window)) return 0;
            // NOTE: not every platform sends destruction to a window whose
            // creation was refused.
            release_scene_window(window);
            return -1;
        case WM_DESTROY:
            release_scene_window(window);
            return 0;
        case WM_TIMER:
            present_frame();
            return 0;
        default:
            return fallback(window, message, wParam, lParam);
    }
}

void create_gl_context(HWND window) {
    device_context = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = colour_bits;
    SetPixelFormat(device_context, ChoosePixelFormat(device_context, &format), &format);
    gl_context = wglCreateContext(device_context);
    wglMakeCurrent(device_context, gl_context);
}

}  // namespace quillant
