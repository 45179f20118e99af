// SPDX-License-Identifier: MIT
// bare-glx-loop: the X11 hack's frame loop with nothing to draw, for the
// hack's frame cost to be measured against (bench/frame-cost). Its own
// window of the hack's default size and visual, and every period a clear and
// the hack's present, until SIGTERM; then it prints the frames it drew.
//
//   bare-glx-loop [period in microseconds, default 50000]
#include "x11/gl_context_glx.h"
#include "x11/hack_window_x11.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

int main(int argc, char** argv) {
    using namespace quillant;
    const long period_us = argc > 1 ? std::atol(argv[1]) : 50000;
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop, nullptr);

    Display* display = XOpenDisplay(nullptr);
    hack_window window;
    std::string error;
    if (display == nullptr || !open_hack_window(display, hack_options{}, window, error)) {
        std::fprintf(stderr, "bare-glx-loop: no window %s\n", error.c_str());
        return 1;
    }
    glx_context context(display, window.id, window.visual);
    if (!context.ready()) return 1;
    glViewport(0, 0, window.width, window.height);

    long frames = 0;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        context.present();
        ++frames;
        // Wait for the next beat, or for SIGTERM.
        next.tv_nsec += period_us * 1000;
        next.tv_sec += next.tv_nsec / 1000000000;
        next.tv_nsec %= 1000000000;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        long rest_ns = (next.tv_sec - now.tv_sec) * 1000000000L + (next.tv_nsec - now.tv_nsec);
        if (rest_ns < 0) rest_ns = 0;
        const timespec rest{rest_ns / 1000000000L, rest_ns % 1000000000L};
        if (sigtimedwait(&stop, nullptr, &rest) == SIGTERM) break;
    }
    std::printf("%ld frames\n", frames);
    return 0;
}
