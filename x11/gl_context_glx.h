// SPDX-License-Identifier: MIT
// The X11 host's GL context: GLX drawing into an X window, which the host
// made itself or was given.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace quillant {

// A visual of the screen with double-buffered RGBA GL, for a window of the
// host's own; null when the display offers none. Free it with XFree.
XVisualInfo* choose_gl_visual(Display* display, int screen);

// What keeps a window of this visual from being drawn into with GL, or null
// when nothing does.
const char* gl_visual_problem(Display* display, XVisualInfo& visual);

class glx_context {
public:
    // Makes a GL context for the window, of the window's visual, and makes it
    // current on the calling thread; ready() tells whether that worked.
    glx_context(Display* display, Window window, XVisualInfo& visual);
    ~glx_context();
    glx_context(const glx_context&) = delete;
    glx_context& operator=(const glx_context&) = delete;

    bool ready() const { return context_ != nullptr; }

    // Shows the frame drawn since the last, as the Windows saver does: waits
    // for it, flushes, and swaps a double-buffered window's buffers.
    void present();

private:
    Display* display_;
    Window window_;
    GLXContext context_ = nullptr;
    bool double_buffered_ = false;
};

}  // namespace quillant
