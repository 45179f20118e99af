// SPDX-License-Identifier: MIT
#include "wayland/egl_context_wayland.h"

#include <EGL/eglext.h>

#include <cstdio>
#include <vector>

namespace quillant {

namespace {

// The first config of exactly 8 bits a colour and a window surface, with no
// alpha if there is one: the frame's alpha is not opacity, and a surface
// with alpha would show what lies under it.
// NOTE: eglChooseConfig lists the deepest colour first, and a 10-bit config
// shows black on some compositors.
EGLConfig choose_config(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) return nullptr;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    for (const bool opaque_only : {true, false}) {
        for (EGLConfig config : configs) {
            EGLint red = 0, green = 0, blue = 0, alpha = 0;
            eglGetConfigAttrib(display, config, EGL_RED_SIZE, &red);
            eglGetConfigAttrib(display, config, EGL_GREEN_SIZE, &green);
            eglGetConfigAttrib(display, config, EGL_BLUE_SIZE, &blue);
            eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &alpha);
            if (red == 8 && green == 8 && blue == 8 && (alpha == 0 || !opaque_only)) return config;
        }
    }
    return nullptr;
}

}  // namespace

std::string egl_error() {
    static const struct {
        EGLint code;
        const char* name;
    } names[] = {{EGL_NOT_INITIALIZED, "EGL_NOT_INITIALIZED"}, {EGL_BAD_ACCESS, "EGL_BAD_ACCESS"},
                 {EGL_BAD_ALLOC, "EGL_BAD_ALLOC"},             {EGL_BAD_CONTEXT, "EGL_BAD_CONTEXT"},
                 {EGL_BAD_DISPLAY, "EGL_BAD_DISPLAY"},         {EGL_BAD_MATCH, "EGL_BAD_MATCH"},
                 {EGL_BAD_NATIVE_WINDOW, "EGL_BAD_NATIVE_WINDOW"},
                 {EGL_BAD_SURFACE, "EGL_BAD_SURFACE"},         {EGL_CONTEXT_LOST, "EGL_CONTEXT_LOST"}};
    const EGLint code = eglGetError();
    char text[48];
    const char* name = "EGL error";
    for (const auto& known : names) {
        if (known.code == code) name = known.name;
    }
    std::snprintf(text, sizeof text, "%s (0x%x)", name, static_cast<unsigned>(code));
    return text;
}

egl_display::egl_display(wl_display* display) {
    display_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) {
        error_ = "no EGL on this Wayland display";
        return;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = "EGL here offers no desktop OpenGL, which Quillant draws with";
        return;
    }
    config_ = choose_config(display_);
    if (config_ == nullptr) {
        error_ = "EGL here has no 8-bit RGB config for desktop OpenGL";
        return;
    }
    const EGLContext probe = make_context();
    if (probe == EGL_NO_CONTEXT) {
        error_ = "EGL here makes no desktop OpenGL context, which Quillant draws with";
        return;
    }
    eglDestroyContext(display_, probe);
}

egl_display::~egl_display() {
    if (display_ != EGL_NO_DISPLAY) eglTerminate(display_);
}

EGLContext egl_display::make_context() const {
    // Any version's compatibility profile runs the frame's GL 1.1 calls.
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(display_, config_, EGL_NO_CONTEXT, attributes);
}

egl_window::egl_window(const egl_display& egl, wl_surface* surface, std::int32_t width,
                       std::int32_t height)
    : egl_(egl) {
    window_ = wl_egl_window_create(surface, width, height);
    if (window_ == nullptr) return;
    surface_ = eglCreatePlatformWindowSurface(egl.display(), egl.config(), window_, nullptr);
    context_ = egl.make_context();
}

egl_window::~egl_window() {
    if (surface_ != EGL_NO_SURFACE) {
        eglMakeCurrent(egl_.display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(egl_.display(), surface_);
    }
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(egl_.display(), context_);
    if (window_ != nullptr) wl_egl_window_destroy(window_);
}

void egl_window::resize(std::int32_t width, std::int32_t height) {
    wl_egl_window_resize(window_, width, height, 0, 0);
}

bool egl_window::make_current() {
    if (!eglMakeCurrent(egl_.display(), surface_, surface_, context_)) return false;
    // The frame callbacks pace the frames: a swap must not wait for one too.
    eglSwapInterval(egl_.display(), 0);
    return true;
}

bool egl_window::swap() {
    return eglSwapBuffers(egl_.display(), surface_) == EGL_TRUE;
}

}  // namespace quillant
