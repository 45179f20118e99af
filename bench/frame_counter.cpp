// SPDX-License-Identifier: MIT
// frame-counter: preloaded (LD_PRELOAD) into a program that the benchmarks
// measure, it counts the frames the program swaps and keeps the count in
// the file that QUILLANT_FRAME_COUNT names, rewritten in place at each
// swap, so that CPU over a stretch of time is divided by the frames
// actually drawn in it rather than by those the period asked for.
#include <EGL/egl.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// The count's file, opened at the first swap; -1 without one.
int count_file() {
    const char* path = std::getenv("QUILLANT_FRAME_COUNT");
    return path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
}

}  // namespace

extern "C" EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    using swap_fn = EGLBoolean (*)(EGLDisplay, EGLSurface);
    static const auto next = reinterpret_cast<swap_fn>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    static const int file = count_file();
    static std::atomic<long> frames{0};
    const EGLBoolean swapped = next(display, surface);
    if (swapped == EGL_TRUE && file >= 0) {
        // One fixed-width write at the start: a reader sees one count whole.
        char text[24];
        const int length = std::snprintf(text, sizeof text, "%20ld\n", ++frames);
        if (pwrite(file, text, static_cast<std::size_t>(length), 0) != length) return swapped;
    }
    return swapped;
}
