// SPDX-License-Identifier: MIT
// Faults that no compositor here makes on demand, for quillant-wayland's
// end-to-end cases: a library preloaded into the program (LD_PRELOAD) that
// stands between it and EGL, libwayland and the C library. QUILLANT_FAULTS
// lists the faults, separated by commas:
//
//   make_current=N         the Nth eglMakeCurrent on a surface fails
//   make_current_from=N    so do the Nth and every one after it
//   swap_from=N            the Nth eglSwapBuffers and every one after it
//                          fail, committing nothing
//   flush_eagain           from the 100th call on, four calls in a row to
//                          wl_display_flush in every fifty report a full
//                          socket (EAGAIN) and send nothing
//   layer_size_zero        every layer surface's configure says 0x0
//   layer_configure_twice  each layer surface's first configure comes
//                          twice, the second half as wide
//   signalfd_fails         signalfd fails as with no descriptor left
//
// Each fault made is noted, one line each, in the file QUILLANT_FAULTS_LOG
// when it is set, so that a case knows that its fault came.
//
// It also tells what the program drew where no compositor here takes
// screenshots (KWin and Mutter): with QUILLANT_FRAMES_DIR set, every 20th
// frame of each surface is read back before its swap and written as
// DIR/view-N.ppm, N counting the surfaces in the order they first swapped.
// QUILLANT_FRAMES_KEEP lists frames, by their count from 1, separated by
// commas, that are kept besides, each as DIR/view-N-at-F.ppm: the same
// moment of two processes, however fast each draws.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <dlfcn.h>
#include <sys/signalfd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The number after "name=" in QUILLANT_FAULTS, 0 when absent; 1 for a bare
// name.
long fault(const char* name) {
    const char* list = std::getenv("QUILLANT_FAULTS");
    if (list == nullptr) return 0;
    const std::string faults = std::string(",") + list + ",";
    const std::string key = std::string(",") + name;
    const std::size_t at = faults.find(key);
    if (at == std::string::npos) return 0;
    const char after = faults[at + key.size()];
    if (after == ',') return 1;
    return after == '=' ? std::strtol(faults.c_str() + at + key.size() + 1, nullptr, 10) : 0;
}

void note(const char* what) {
    const char* path = std::getenv("QUILLANT_FAULTS_LOG");
    if (path == nullptr) return;
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s\n", what);
        std::fclose(log);
    }
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Leaves EGL's error as a refusal of the surface would: a swap of no
// surface fails with EGL_BAD_SURFACE.
EGLBoolean refuse(EGLDisplay display) {
    next<EGLBoolean (*)(EGLDisplay, EGLSurface)>("eglSwapBuffers")(display, EGL_NO_SURFACE);
    return EGL_FALSE;
}

// A layer surface's own listener and data, behind the one put in its place.
struct wrapped_layer {
    wl_proxy* proxy = nullptr;
    const void* const* listener = nullptr;
    void* data = nullptr;
    bool configured = false;
};
wrapped_layer layers[64];

using configure_fn = void (*)(void*, void*, std::uint32_t, std::uint32_t, std::uint32_t);
using closed_fn = void (*)(void*, void*);

void layer_configure(void* data, void* layer, std::uint32_t serial, std::uint32_t width,
                     std::uint32_t height) {
    auto& w = *static_cast<wrapped_layer*>(data);
    const auto configure = reinterpret_cast<configure_fn>(w.listener[0]);
    if (fault("layer_size_zero")) {
        note("layer_size_zero");
        width = height = 0;
    }
    configure(w.data, layer, serial, width, height);
    if (fault("layer_configure_twice") && !w.configured) {
        note("layer_configure_twice");
        configure(w.data, layer, serial, width / 2, height);
    }
    w.configured = true;
}
void layer_closed(void* data, void* layer) {
    auto& w = *static_cast<wrapped_layer*>(data);
    reinterpret_cast<closed_fn>(w.listener[1])(w.data, layer);
}
const void* const layer_listener[] = {reinterpret_cast<const void*>(layer_configure),
                                      reinterpret_cast<const void*>(layer_closed)};

// The surfaces in the order they first swapped, and their frames so far.
struct drawn_surface {
    EGLSurface surface = EGL_NO_SURFACE;
    long frames = 0;
};
drawn_surface surfaces[64];

// Whether the frame, counted from 1, is one of QUILLANT_FRAMES_KEEP's.
bool listed_frame(long frame) {
    const char* list = std::getenv("QUILLANT_FRAMES_KEEP");
    while (list != nullptr && *list != '\0') {
        char* end = nullptr;
        if (std::strtol(list, &end, 10) == frame) return true;
        if (end == list) return false;
        list = *end == ',' ? end + 1 : end;
    }
    return false;
}

// Writes the surface's back buffer as a PPM file at `path`, atomically: the
// case may read it at any moment.
void write_frame(EGLDisplay display, EGLSurface surface, const std::string& path) {
    EGLint width = 0, height = 0;
    eglQuerySurface(display, surface, EGL_WIDTH, &width);
    eglQuerySurface(display, surface, EGL_HEIGHT, &height);
    if (width <= 0 || height <= 0) return;
    std::string pixels(static_cast<std::size_t>(width) * height * 3, '\0');
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    FILE* file = std::fopen((path + ".part").c_str(), "wb");
    if (file == nullptr) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (EGLint y = height; y-- > 0;) std::fwrite(pixels.data() + y * row, 1, row, file);
    std::fclose(file);
    std::rename((path + ".part").c_str(), path.c_str());
}

// Reads back every 20th frame of the surface, and the frames listed, into
// QUILLANT_FRAMES_DIR.
void keep_frame(EGLDisplay display, EGLSurface surface) {
    const char* folder = std::getenv("QUILLANT_FRAMES_DIR");
    if (folder == nullptr) return;
    std::size_t index = 0;
    while (index < 64 && surfaces[index].surface != surface &&
           surfaces[index].surface != EGL_NO_SURFACE) {
        ++index;
    }
    if (index == 64) return;
    surfaces[index].surface = surface;
    const long frame = ++surfaces[index].frames;
    const std::string view = std::string(folder) + "/view-" + std::to_string(index);
    if (frame % 20 == 1) write_frame(display, surface, view + ".ppm");
    if (listed_frame(frame)) write_frame(display, surface, view + "-at-" + std::to_string(frame) + ".ppm");
}

}  // namespace

extern "C" {

EGLBoolean eglMakeCurrent(EGLDisplay display, EGLSurface draw, EGLSurface read,
                          EGLContext context) {
    static long calls = 0;
    const long from = fault("make_current_from");
    if (draw != EGL_NO_SURFACE &&
        (++calls == fault("make_current") || (from > 0 && calls >= from))) {
        note("make_current");
        return refuse(display);
    }
    return next<EGLBoolean (*)(EGLDisplay, EGLSurface, EGLSurface, EGLContext)>("eglMakeCurrent")(
        display, draw, read, context);
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static long calls = 0;
    const long from = fault("swap_from");
    if (surface != EGL_NO_SURFACE && from > 0 && ++calls >= from) {
        note("swap");
        return refuse(display);
    }
    keep_frame(display, surface);
    return next<EGLBoolean (*)(EGLDisplay, EGLSurface)>("eglSwapBuffers")(display, surface);
}

int wl_display_flush(wl_display* display) {
    static long calls = 0;
    ++calls;
    if (fault("flush_eagain") && calls >= 100 && calls % 50 < 4) {
        note("flush_eagain");
        errno = EAGAIN;
        return -1;
    }
    return next<int (*)(wl_display*)>("wl_display_flush")(display);
}

int wl_proxy_add_listener(wl_proxy* proxy, void (**implementation)(void), void* data) {
    const auto add = next<int (*)(wl_proxy*, void (**)(void), void*)>("wl_proxy_add_listener");
    const bool wrap = fault("layer_size_zero") || fault("layer_configure_twice");
    if (wrap && std::strcmp(wl_proxy_get_class(proxy), "zwlr_layer_surface_v1") == 0) {
        for (auto& w : layers) {
            if (w.proxy != nullptr) continue;
            w = {proxy, reinterpret_cast<const void* const*>(implementation), data, false};
            return add(proxy, reinterpret_cast<void (**)(void)>(const_cast<void**>(layer_listener)),
                       &w);
        }
    }
    return add(proxy, implementation, data);
}

int signalfd(int fd, const sigset_t* mask, int flags) {
    if (fault("signalfd_fails")) {
        note("signalfd_fails");
        errno = EMFILE;
        return -1;
    }
    return next<int (*)(int, const sigset_t*, int)>("signalfd")(fd, mask, flags);
}

}  // extern "C"
