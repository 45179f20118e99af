// SPDX-License-Identifier: MIT
#include "x11/hack_window_x11.h"

#include "x11/gl_context_glx.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>

namespace quillant {

namespace {

constexpr char window_title[] = "Quillant";

// NOTE: Xlib's error handler takes no context of ours, so the failure it
// reports is kept here, for the window's thread alone.
XID failed_resource = None;
bool request_failed = false;

int record_x_error(Display*, XErrorEvent* error) {
    failed_resource = error->resourceid;
    request_failed = true;
    return 0;
}

// The connection to the display is gone; Xlib ends the process after this, so
// it ends here, with one line and without the runtime's exit processing.
[[noreturn]] int report_lost_display(Display*) {
    std::fputs("quillant: lost the connection to the X display\n", stderr);
    std::_Exit(1);
}

std::string hex_id(XID id) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(id));
    return text;
}

// A top-level window of the options' size, with a GL visual, that the window
// manager may close and whose keys the hack reads.
bool make_own_window(Display* display, const hack_options& options, hack_window& window,
                     std::string& error) {
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = choose_gl_visual(display, screen);
    if (visual == nullptr) {
        error = "the X display offers no double-buffered RGBA visual with OpenGL";
        return false;
    }
    window.visual = *visual;
    XFree(visual);

    const Window root = RootWindow(display, screen);
    window.colormap = XCreateColormap(display, root, window.visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = window.colormap;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.event_mask = StructureNotifyMask | KeyPressMask;
    window.id = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(options.width),
                              static_cast<unsigned>(options.height), 0, window.visual.depth,
                              InputOutput, window.visual.visual,
                              CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                              &attributes);
    window.own = true;
    window.width = options.width;
    window.height = options.height;

    XStoreName(display, window.id, window_title);
    XClassHint names{const_cast<char*>("quillant"), const_cast<char*>(window_title)};
    XSetClassHint(display, window.id, &names);
    window.delete_message = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window.id, &window.delete_message, 1);
    XMapWindow(display, window.id);
    return true;
}

// Someone else's window, or the root window: only its size and its end are
// followed.
bool take_window(Display* display, Window id, hack_window& window, std::string& error) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, id, &attributes) || x_request_failed(id)) {
        error = "window " + hex_id(id) + " does not exist on this display";
        return false;
    }
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    if (visual == nullptr) {
        error = "window " + hex_id(id) + " has a visual that the display does not list";
        return false;
    }
    window.visual = *visual;
    XFree(visual);

    XSelectInput(display, id, StructureNotifyMask);
    window.id = id;
    window.own = false;
    window.width = attributes.width;
    window.height = attributes.height;
    return true;
}

}  // namespace

void trap_x_errors() {
    XSetErrorHandler(record_x_error);
    XSetIOErrorHandler(report_lost_display);
}

bool x_request_failed(XID resource) {
    const bool failed = request_failed && failed_resource == resource;
    if (failed) request_failed = false;
    return failed;
}

bool open_hack_window(Display* display, const hack_options& options, hack_window& window,
                      std::string& error) {
    window.display = display;
    if (options.target == hack_target::own_window) {
        return make_own_window(display, options, window, error);
    }
    const Window id = options.window != 0 ? options.window : DefaultRootWindow(display);
    return take_window(display, id, window, error);
}

std::string gl_window_problem(hack_window& window) {
    const char* problem = gl_visual_problem(window.display, window.visual);
    if (problem == nullptr) return "";
    return "cannot draw into window " + hex_id(window.id) + " with OpenGL: " + problem;
}

window_event follow_window(hack_window& window, XEvent& event) {
    switch (event.type) {
        case ConfigureNotify: {
            const XConfigureEvent& configure = event.xconfigure;
            if (configure.window != window.id ||
                (configure.width == window.width && configure.height == window.height)) {
                return window_event::none;
            }
            window.width = configure.width;
            window.height = configure.height;
            return window_event::resized;
        }
        case DestroyNotify:
            return event.xdestroywindow.window == window.id ? window_event::closed
                                                            : window_event::none;
        case ClientMessage:
            return window.own && static_cast<Atom>(event.xclient.data.l[0]) ==
                                     window.delete_message
                       ? window_event::closed
                       : window_event::none;
        case KeyPress: {
            if (!window.own) return window_event::none;
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            return key == XK_Escape || key == XK_q ? window_event::closed : window_event::none;
        }
        default:
            return window_event::none;
    }
}

void close_hack_window(hack_window& window) {
    if (window.id == None) return;
    if (window.own) {
        XDestroyWindow(window.display, window.id);
        XFreeColormap(window.display, window.colormap);
    } else {
        XSelectInput(window.display, window.id, NoEventMask);
    }
    window.id = None;
}

}  // namespace quillant
