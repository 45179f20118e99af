// SPDX-License-Identifier: MIT
#include "x11/gl_context_glx.h"

namespace quillant {

namespace {

// The value of one GLX attribute of the visual, 0 when GLX cannot tell.
int visual_attribute(Display* display, XVisualInfo& visual, int attribute) {
    int value = 0;
    if (glXGetConfig(display, &visual, attribute, &value) != 0) return 0;
    return value;
}

}  // namespace

XVisualInfo* choose_gl_visual(Display* display, int screen) {
    // The saver's pixel format: RGBA with at least 8 bits a colour, double
    // buffered, no depth or stencil buffer.
    int attributes[] = {GLX_RGBA,     GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8,               None};
    return glXChooseVisual(display, screen, attributes);
}

const char* gl_visual_problem(Display* display, XVisualInfo& visual) {
    int error_base = 0;
    int event_base = 0;
    if (!glXQueryExtension(display, &error_base, &event_base)) {
        return "the X display has no GLX extension, so no OpenGL";
    }
    if (visual_attribute(display, visual, GLX_USE_GL) == 0) {
        return "its visual does not support OpenGL";
    }
    if (visual_attribute(display, visual, GLX_RGBA) == 0) {
        return "its visual has OpenGL only with colour indices, not RGBA";
    }
    return nullptr;
}

glx_context::glx_context(Display* display, Window window, XVisualInfo& visual)
    : display_(display), window_(window) {
    double_buffered_ = visual_attribute(display, visual, GLX_DOUBLEBUFFER) != 0;
    context_ = glXCreateContext(display, &visual, nullptr, True);
    if (context_ == nullptr) return;
    if (!glXMakeCurrent(display, window, context_)) {
        glXDestroyContext(display, context_);
        context_ = nullptr;
    }
}

glx_context::~glx_context() {
    if (context_ == nullptr) return;
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
}

void glx_context::present() {
    glFinish();
    glFlush();
    // NOTE: a single-buffered window, which someone else made, shows the frame
    // as it is drawn; there is nothing to swap.
    if (double_buffered_) glXSwapBuffers(display_, window_);
}

}  // namespace quillant
