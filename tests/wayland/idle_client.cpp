// SPDX-License-Identifier: MIT
// A Wayland client of the tests' own, for quillant-wayland --idle: a grey
// window that holds an idle inhibitor, as a film player does, until
// SIGTERM.
//
//   idle-client inhibit
//
// Prints "inhibiting" once the window is shown; exits 1 with a line when
// the compositor lacks what it needs.
#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int width = 320, height = 240;

struct globals {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wm_base = nullptr;
    zwp_idle_inhibit_manager_v1* inhibitors = nullptr;
    bool configured = false;
};

void ping(void*, xdg_wm_base* wm_base, std::uint32_t serial) { xdg_wm_base_pong(wm_base, serial); }
const xdg_wm_base_listener wm_base_listener = {ping};

void global_added(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t) {
    auto& g = *static_cast<globals*>(data);
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name) {
        g.compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (kind == wl_shm_interface.name) {
        g.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (kind == xdg_wm_base_interface.name) {
        g.wm_base = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(g.wm_base, &wm_base_listener, nullptr);
    } else if (kind == zwp_idle_inhibit_manager_v1_interface.name) {
        g.inhibitors = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
    }
}
void global_removed(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registry_listener = {global_added, global_removed};

void surface_configure(void* data, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    static_cast<globals*>(data)->configured = true;
}
const xdg_surface_listener surface_listener = {surface_configure};

// A grey buffer of the window's size, in shared memory.
wl_buffer* grey_buffer(wl_shm* shm) {
    const int stride = width * 4, size = stride * height;
    const int fd = memfd_create("idle-client", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return nullptr;
    std::memset(pixels, 0x80, size);
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

int refuse(const char* why) {
    std::fprintf(stderr, "idle-client: %s\n", why);
    return 1;
}

// Shows the window with its inhibitor, then waits for the compositor or a
// signal to end it.
int inhibit(wl_display* display, globals& g) {
    if (g.compositor == nullptr || g.shm == nullptr || g.wm_base == nullptr) return refuse("no xdg-shell window here");
    if (g.inhibitors == nullptr) return refuse("no zwp_idle_inhibit_manager_v1 here");
    wl_surface* surface = wl_compositor_create_surface(g.compositor);
    xdg_surface* shell_surface = xdg_wm_base_get_xdg_surface(g.wm_base, surface);
    xdg_surface_add_listener(shell_surface, &surface_listener, &g);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(shell_surface);
    xdg_toplevel_set_title(toplevel, "inhibitor");
    zwp_idle_inhibit_manager_v1_create_inhibitor(g.inhibitors, surface);
    wl_surface_commit(surface);
    while (!g.configured) {
        if (wl_display_dispatch(display) < 0) return refuse("the connection failed");
    }
    wl_surface_attach(surface, grey_buffer(g.shm), 0, 0);
    wl_surface_damage(surface, 0, 0, width, height);
    wl_surface_commit(surface);
    if (wl_display_roundtrip(display) < 0) return refuse("the connection failed");
    std::printf("inhibiting\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) != "inhibit") {
        std::fprintf(stderr, "usage: idle-client inhibit\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return refuse("no Wayland display");
    globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &g);
    if (wl_display_roundtrip(display) < 0) return refuse("the connection failed");
    return inhibit(display, g);
}
