// SPDX-License-Identifier: MIT
// Stands in for XScreenSaver, a locker or a settings dialog in the hack's
// tests:
//
//   test-window WxH+X+Y    makes a grey top-level window there, prints its id in
//                          hexadecimal and in decimal once it shows, and keeps
//                          it until killed; the end of the process destroys it
//   test-window --close ID asks window ID to close, as a window manager does
//                          (WM_DELETE_WINDOW)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int fail(const char* message) {
    std::fprintf(stderr, "test-window: %s\n", message);
    return 2;
}

int make_window(Display* display, const char* geometry) {
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    const int parsed = XParseGeometry(geometry, &x, &y, &width, &height);
    if ((parsed & (WidthValue | HeightValue)) != (WidthValue | HeightValue)) {
        return fail("give the window as WxH+X+Y");
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x404040;
    attributes.override_redirect = True;
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), x, y, width, height, 0, CopyFromParent,
        InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XStoreName(display, window, "test window");
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    std::printf("0x%lx %lu\n", window, window);
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

int close_window(Display* display, const char* id) {
    const Window window = std::strtoul(id, nullptr, 0);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
    XSync(display, False);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return fail("no X display");
    if (argc == 3 && std::strcmp(argv[1], "--close") == 0) return close_window(display, argv[2]);
    if (argc == 2) return make_window(display, argv[1]);
    return fail("usage: test-window WxH+X+Y | --close ID");
}
