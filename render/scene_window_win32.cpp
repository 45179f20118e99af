#include "render/scene_window.h"

#include "render/frame.h"
#include "render/view.h"

#include <GL/gl.h>

namespace quillant {

namespace {

constexpr UINT_PTR frame_timer = 1;
constexpr UINT frame_period_ms = 50;
constexpr BYTE colour_bits = 24;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format descriptor's size");

// The window's device context and GL context, from creation to destruction.
HDC device_context = nullptr;
HGLRC gl_context = nullptr;

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
    render_frame();
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
