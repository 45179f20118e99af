// SPDX-License-Identifier: MIT
// What the parts of quillant-wayland's client share: the connection with
// its globals, the outputs and seats the compositor announces, and the views
// that draw, one for each output covered (or the one window). The
// connection, outputs and seats live as long as the client; the views come
// and go with show_views and hide_views.
#pragma once

#include "render/frame_pacer.h"
#include "render/scene.h"
#include "wayland/egl_context_wayland.h"
#include "wayland/fps_figures.h"
#include "wayland/saver_options.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct wp_viewporter;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace quillant {

struct client;
struct idle_watch;

// One output as the compositor describes it: through wl_output, and through
// xdg-output where wl_output is too old to name it or to place it.
struct output {
    client* owner = nullptr;
    wl_output* handle = nullptr;
    std::uint32_t version = 0;
    std::uint32_t global = 0;
    zxdg_output_v1* xdg = nullptr;
    bool xdg_heard = false;  // the xdg-output has said something
    std::string name;
    std::int32_t scale = 1;
    std::int32_t mode_width = 0, mode_height = 0;       // pixels
    std::int32_t logical_width = 0, logical_height = 0;  // from xdg-output; 0 if unknown
    std::int32_t x = 0, y = 0;                           // in the desktop's layout
    bool placed = false;                                 // x and y are known
    bool described = false;                              // its first "done" has come
};

// A surface that draws a scene of its own: a layer surface or a toplevel.
struct view {
    client* owner = nullptr;
    output* on = nullptr;  // null for --window
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    xdg_surface* shell_surface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
    std::uint32_t fractional_120 = 0;  // preferred scale x 120; 0 before one comes
    std::int32_t surface_scale = 1;    // the scale of the output it is on
    std::int32_t width = 0, height = 0;  // logical size; 0 before a configure
    std::int32_t buffer_width = 0, buffer_height = 0;
    bool configured = false;
    std::uint32_t seed = 0;
    std::unique_ptr<egl_window> window;
    std::unique_ptr<scene> drawn;
    std::unique_ptr<fps_figures> figures;
    frame_pacer pacer{default_frame_period_us};
    wl_callback* frame = nullptr;  // the compositor has not asked for the next
    bool presented = false;        // a frame of it has been on screen
};

// A seat with the devices it offers now, and where its pointer was first
// seen, in the desktop's layout where the outputs are placed.
struct seat {
    client* owner = nullptr;
    wl_seat* handle = nullptr;
    std::uint32_t version = 0;
    std::uint32_t global = 0;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    const view* pointer_on = nullptr;     // the view the pointer is over
    const view* origin_on = nullptr;      // the view the origin was taken on
    bool origin_seen = false;
    double origin_x = 0, origin_y = 0;
};

struct client {
    wayland_options options;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layer_shell = nullptr;
    std::uint32_t layer_shell_version = 0;
    xdg_wm_base* wm_base = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractional_manager = nullptr;
    zxdg_output_manager_v1* xdg_outputs = nullptr;
    xkb_context* keys = nullptr;
    std::unique_ptr<egl_display> egl;
    std::vector<std::unique_ptr<output>> outputs;
    std::vector<std::unique_ptr<seat>> seats;
    std::vector<std::unique_ptr<view>> views;
    bool shown = false;         // views are wanted: between show_views and hide_views
    bool views_closed = false;  // the compositor closed a view since the loop last looked
    std::uint32_t first_seed = 0;
    std::size_t views_made = 0;
    bool ending = false;
    std::string failure;  // set when it must end with status 1
    // --idle: what says when the user is idle, and whether the views are
    // shown; null without --idle (idle_wayland.h).
    std::unique_ptr<idle_watch> idle;
};

// One line on standard error.
void report(const std::string& message);

// surfaces: the views' surfaces and their roles.

// Makes a view on every output the options choose, or the one window: each
// with its surface, and with its GL context, scene and worker thread once
// the compositor has sized it.
void show_views(client& c);
// Destroys every view with its surface, GL context, scene and worker
// thread; the connection, the outputs and the seats stay.
void hide_views(client& c);
// Gives a described output its view, when views are shown and it is one to
// draw on and has none.
void cover_output(client& c, output& o);
// Destroys the views on an output that goes.
void uncover_output(client& c, const output& o);
// The view of a surface, or null.
const view* view_of(const client& c, const wl_surface* surface);

// scale: sizes, scales and the GL and scene that follow them.

// Lays the view out anew for its size and scale; makes its GL context and
// scene with the first layout. Sets the client's failure when EGL cannot.
void lay_out(view& v);

// frames: drawing.

// Draws the view's frame when the compositor wants one and it is due.
void draw_if_due(view& v, std::int64_t now_us);
// Milliseconds until a view is due to draw; -1 when every one waits for the
// compositor.
int next_frame_ms(const client& c, std::int64_t now_us);

// outputs
void add_output(client& c, wl_registry* registry, std::uint32_t global, std::uint32_t version);
// Asks the output's xdg-output, once the manager is known.
void describe_with_xdg(client& c, output& o);
void release_output(output& o);

// seats and input
void add_seat(client& c, wl_registry* registry, std::uint32_t global, std::uint32_t version);
void release_seat(seat& s);
// Reads the keymap the compositor gives the seat's keyboard.
void read_keymap(seat& s, std::uint32_t format, int fd, std::uint32_t size);
// The device listeners, which decide what ends the saver.
extern const wl_keyboard_listener keyboard_listener;
extern const wl_pointer_listener pointer_listener;
extern const wl_touch_listener touch_listener;
// Forgets the pointer's view, and the origin taken on it, when that view goes.
void forget_view(client& c, const view* gone);

// registry: the globals, from the first roundtrip to the disconnection.

// Binds the globals and waits for the outputs' descriptions; what the
// compositor lacks for the mode asked, or "".
std::string meet_compositor(client& c);
void disconnect(client& c);

}  // namespace quillant
