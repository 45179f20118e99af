// SPDX-License-Identifier: MIT
// The X11 hack's window: a top-level window of its own, or one that
// XScreenSaver, a locker or a settings dialog made; and the events of it that
// the hack follows.
#pragma once

#include "x11/hack_options.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <string>

namespace quillant {

// Replaces Xlib's handling of a failed request, which prints the error and
// ends the process, with a record that x_request_failed reads; a lost
// connection ends the process with one line and status 1.
void trap_x_errors();

// True, once, when a request on the resource failed since the last call.
bool x_request_failed(XID resource);

enum class window_event {
    none,     // nothing that concerns the hack
    resized,  // the window's size changed; the window holds the new one
    closed,   // the window went, or its user asked the hack to end
};

struct hack_window {
    Display* display = nullptr;
    Window id = None;
    bool own = false;  // made here; else someone else's, only drawn into
    std::int32_t width = 0;
    std::int32_t height = 0;
    XVisualInfo visual{};
    Colormap colormap = None;
    Atom delete_message = None;
};

// Makes the hack's own window, with a visual that GL can draw into, or takes
// the window that the options name. False, with a one-line reason, when
// there is no such window; nothing is left made then.
bool open_hack_window(Display* display, const hack_options& options, hack_window& window,
                      std::string& error);

// What keeps GL from drawing into the window, in one line, or "" when
// nothing does.
std::string gl_window_problem(hack_window& window);

// What the event means for the window. In someone else's window only its
// size and its end matter; input there belongs to whoever made it.
window_event follow_window(hack_window& window, XEvent& event);

// Destroys an own window and lets go of someone else's.
void close_hack_window(hack_window& window);

}  // namespace quillant
