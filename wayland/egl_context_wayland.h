// SPDX-License-Identifier: MIT
// Desktop OpenGL on a Wayland connection through EGL: the compatibility
// profile, so that the frame's GL 1.1 and GLU calls run as they are, in an
// exact 8-bit RGB config; a window surface and a context for each surface,
// as each output's scene keeps its view in its context's matrices.
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdint>
#include <string>

namespace quillant {

// EGL's last error on this thread, named: "EGL_BAD_SURFACE (0x300d)".
std::string egl_error();

class egl_display {
public:
    // Opens EGL on the connection; ready() tells whether it offers desktop
    // OpenGL in a config fit to draw in, and error() says what failed.
    explicit egl_display(wl_display* display);
    ~egl_display();
    egl_display(const egl_display&) = delete;
    egl_display& operator=(const egl_display&) = delete;

    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    EGLDisplay display() const { return display_; }
    EGLConfig config() const { return config_; }
    // A compatibility-profile context of desktop OpenGL, or EGL_NO_CONTEXT.
    EGLContext make_context() const;

private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    std::string error_;
};

// The EGL window of one Wayland surface, of a size in buffer pixels.
class egl_window {
public:
    egl_window(const egl_display& egl, wl_surface* surface, std::int32_t width,
               std::int32_t height);
    ~egl_window();
    egl_window(const egl_window&) = delete;
    egl_window& operator=(const egl_window&) = delete;

    bool ready() const { return surface_ != EGL_NO_SURFACE && context_ != EGL_NO_CONTEXT; }
    void resize(std::int32_t width, std::int32_t height);
    // Makes the window's context current; false when EGL refuses.
    bool make_current();
    // Shows what was drawn: a commit of the Wayland surface. False when EGL
    // refuses, and nothing is committed.
    bool swap();

private:
    const egl_display& egl_;
    wl_egl_window* window_ = nullptr;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
};

}  // namespace quillant
