// SPDX-License-Identifier: MIT
// The page: the saver's scene in a browser, drawn into the canvas with WebGL
// at the device's pixel ratio, a frame every period on the browser's
// animation frames, the orbit search run in slices between them; its moments
// saved as a picture and a link, and opened from one.
//
//   index.html?seed=N&delay=MICROSECONDS&fps&verbose
//   index.html?seed=N&frame=F&rose=K&began=B&orbit=RE,IM,RADIUS,RRGGBB
#include "render/frame_pacer.h"
#include "render/frame_rate.h"
#include "render/host_options.h"
#include "render/scene.h"
#include "roses/diagnostics.h"
#include "web/page_gl.h"
#include "web/page_options.h"

#include "quillant_version.h"

#include <emscripten.h>
#include <emscripten/console.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace quillant {

namespace {

constexpr char canvas[] = "#canvas";
// A frame is drawn on the animation frame nearest its time, even one this
// much early, so that the browser's beat does not drop frames.
constexpr std::int64_t frame_slack_us = 4000;
// The work of an animation frame on the way to the moment of an address:
// about two frames of the display, so that the page still answers.
constexpr std::int64_t opening_slice_us = 30000;

// What a frame drew its roses with: the frame, the buffer's size, the
// camera, the matrices.
struct frame_view {
    std::int64_t frame = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    scene_point position;
    float pitch = 0.0f;
    float yaw = 0.0f;
    drawn_view drawn{};
};

struct page {
    page_options options;
    std::unique_ptr<scene> drawn;
    frame_pacer pacer{default_frame_period_us};
    std::int32_t width = 0;
    std::int32_t height = 0;
    double pixel_ratio = 0.0;
    std::uint32_t frames_drawn = 0;
    // True from the loss of the WebGL context until the browser gives it back.
    bool context_lost = false;
    // True while the scene is on its way to the moment of the address.
    bool opening = false;
    frame_rate rate;
    // Set by S or the page's control: the next frame drawn is saved.
    bool save_asked = false;
    // The camera and the matrices of the last frame that drew a rose, and
    // of the last frame saved, for the page's tests.
    frame_view last_view;
    frame_view saved_view;
};

// The diagnostics, when asked for, as lines of the console.
void write_to_console(diagnostic_stream, const char* line) { emscripten_console_log(line); }

// Says in the page, in place of the canvas, why nothing can be drawn.
void show_message(const char* text) {
    EM_ASM({ showQuillantMessage(UTF8ToString($0)); }, text);
}

// Sizes the drawing buffer to the canvas's size in device pixels, and lays
// the scene out for it, when either changed.
void follow_size(page& p) {
    double css_width = 0.0;
    double css_height = 0.0;
    emscripten_get_element_css_size(canvas, &css_width, &css_height);
    const double ratio = emscripten_get_device_pixel_ratio();
    const auto width = static_cast<std::int32_t>(std::max(1.0, std::round(css_width * ratio)));
    const auto height = static_cast<std::int32_t>(std::max(1.0, std::round(css_height * ratio)));
    if (width == p.width && height == p.height && ratio == p.pixel_ratio) return;
    p.width = width;
    p.height = height;
    p.pixel_ratio = ratio;
    emscripten_set_canvas_element_size(canvas, width, height);
    set_line_width_scale(static_cast<float>(ratio));
    p.drawn->resize(width, height);
}

// Writes the frames per second into the overlay once a second.
void count_frame(page& p, double time_ms) {
    if (const auto figure = p.rate.drawn(time_ms)) {
        EM_ASM({ document.getElementById('fps').textContent = 'FPS: ' + $0.toFixed(1); }, *figure);
    }
}

// Hands the frame just drawn, still in the drawing buffer, to the page's
// script, which saves it as quillant-<seed>-<frame>.png with a link to its
// moment.
void save_moment(page& p) {
    p.save_asked = false;
    const moment shown = p.drawn->now();
    p.saved_view = p.last_view.frame == shown.frame ? p.last_view : frame_view{};
    const std::string query = moment_query(shown);
    const std::string name = "quillant-" + std::to_string(shown.seed) + "-" +
                             std::to_string(shown.frame) + ".png";
    diagnose(diagnostic_stream::error, "quillant: saved the moment ?%s", query.c_str());
    EM_ASM({ quillantSaveMoment(UTF8ToString($0), UTF8ToString($1)); }, query.c_str(),
           name.c_str());
}

// The view as JSON, or "" before any rose was drawn.
std::string view_json(const frame_view& view) {
    if (view.width == 0) return "";
    char number[32];
    auto add = [&number](std::string& json, double value) {
        std::snprintf(number, sizeof number, "%.9g", value);
        json += number;
    };
    std::string json = "{\"frame\":" + std::to_string(view.frame) +
                       ",\"width\":" + std::to_string(view.width) +
                       ",\"height\":" + std::to_string(view.height) + ",\"position\":[";
    add(json, view.position.x);
    json += ',';
    add(json, view.position.y);
    json += ',';
    add(json, view.position.z);
    json += "],\"pitch\":";
    add(json, view.pitch);
    json += ",\"yaw\":";
    add(json, view.yaw);
    for (const auto* matrix : {&view.drawn.projection, &view.drawn.modelview}) {
        json += matrix == &view.drawn.projection ? ",\"projection\":[" : ",\"modelview\":[";
        for (std::size_t i = 0; i < matrix->size(); ++i) {
            if (i != 0) json += ',';
            add(json, (*matrix)[i]);
        }
        json += ']';
    }
    return json + '}';
}

// Whether the page is out of sight (another tab, a minimised window).
bool page_hidden() {
    EmscriptenVisibilityChangeEvent visibility;
    return emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS &&
           visibility.hidden;
}

// Warns that the moment of the address is not shown, and why, and starts
// the seed from its beginning.
void ignore_moment(page& p, const std::string& why) {
    emscripten_console_warn(("quillant: ignored the moment: " + why).c_str());
    p.drawn = std::make_unique<scene>(p.options.opened_at->seed, search_driver::slices);
}

// Takes the scene a slice further on its way to the moment of the address,
// which a moment days in takes seconds to reach; true once it is there, or
// refused and the seed started from its beginning.
bool go_on_opening(page& p) {
    const std::optional<std::string> why = p.drawn->reach_further(opening_slice_us);
    if (!why) return false;
    p.opening = false;
    if (!why->empty()) {
        ignore_moment(p, *why);
    } else {
        diagnose(diagnostic_stream::error, "quillant: opened on the moment ?%s",
                 moment_query(*p.options.opened_at).c_str());
    }
    return true;
}

// One animation frame of the browser: the scene's frame when it is due.
EM_BOOL animation_frame(double time_ms, void* data) {
    page& p = *static_cast<page*>(data);
    // NOTE: Firefox still gives a hidden tab an animation frame a second or so.
    if (p.context_lost || page_hidden()) return EM_TRUE;
    if (p.opening && !go_on_opening(p)) return EM_TRUE;
    const auto now_us = static_cast<std::int64_t>(time_ms * 1000.0);
    if (p.pacer.wait_us(now_us + frame_slack_us) > 0) return EM_TRUE;
    follow_size(p);
    const std::uint64_t strips_before = strips_drawn();
    p.drawn->draw_frame();
    ++p.frames_drawn;
    if (strips_drawn() != strips_before) {
        const ball_camera& root = p.drawn->root();
        p.last_view = {p.drawn->frame(), p.width, p.height, root.position, root.pitch, root.yaw,
                       last_drawn_view()};
    }
    if (p.save_asked) save_moment(p);
    if (p.options.show_fps) count_frame(p, time_ms);
    // A hidden page has no animation frames; back, it draws the frame that is
    // due and goes on from there.
    p.pacer.drawn(now_us);
    return EM_TRUE;
}

// The GPU was reset or taken away: the scene waits as it is, roses, camera
// and search, and the browser is asked to give the context back.
EM_BOOL lose_context(int, const void*, void* data) {
    static_cast<page*>(data)->context_lost = true;
    return EM_TRUE;  // NOTE: prevents the default, without which no context comes back
}

// The context is back, empty: its shaders and buffer are made again, and the
// next frame sets the view up again for the same roses.
EM_BOOL restore_context(int, const void*, void* data) {
    page& p = *static_cast<page*>(data);
    if (!start_page_gl()) {
        show_message("Quillant lost WebGL, and this browser did not give it back.");
        return EM_TRUE;
    }
    p.width = 0;
    p.context_lost = false;
    return EM_TRUE;
}

// Makes the page's scene, set on its way to the moment of the address when
// it has one; a moment that no run of its seed shows is warned about, and
// the seed starts from its beginning.
void open_scene(page& p, std::uint32_t seed) {
    p.drawn = std::make_unique<scene>(seed, search_driver::slices);
    if (!p.options.opened_at) return;
    const std::string why = p.drawn->begin_reach(*p.options.opened_at);
    p.opening = why.empty();
    if (!p.opening) ignore_moment(p, why);
}

// The page's one object, made at the start and kept for the page's life.
page& the_page() {
    static page p;
    return p;
}

}  // namespace

}  // namespace quillant

// For the page's tests: the camera and matrices of the last frame that drew
// a rose, as JSON.
extern "C" EMSCRIPTEN_KEEPALIVE const char* quillant_last_view() {
    static std::string json;
    json = quillant::view_json(quillant::the_page().last_view);
    return json.c_str();
}

// For the page's tests: the view of the last frame saved, as JSON.
extern "C" EMSCRIPTEN_KEEPALIVE const char* quillant_saved_view() {
    static std::string json;
    json = quillant::view_json(quillant::the_page().saved_view);
    return json.c_str();
}

// For the page's tests: the frames drawn since the page began.
extern "C" EMSCRIPTEN_KEEPALIVE std::uint32_t quillant_frames_drawn() {
    return quillant::the_page().frames_drawn;
}

// S or the page's control: saves the next frame drawn and links to it.
extern "C" EMSCRIPTEN_KEEPALIVE void quillant_save_moment() {
    quillant::the_page().save_asked = true;
}

int main() {
    using namespace quillant;
    page& p = the_page();
    const page_command command = read_page_query(emscripten_run_script_string("location.search"));
    for (const std::string& warning : command.warnings) {
        emscripten_console_warn(("quillant: " + warning).c_str());
    }
    p.options = command.options;
    p.pacer = frame_pacer(p.options.frame_period_us);
    set_diagnostics_sink(p.options.verbose ? write_to_console : discard_diagnostics);
    diagnose(diagnostic_stream::error, "quillant %s", version);
    const std::uint32_t seed = p.options.seed.value_or(instance_seed());
    diagnose(diagnostic_stream::error, "quillant: seed %u", static_cast<unsigned>(seed));

    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // Opaque, as a window is, and without multisampling, as the saver draws.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_LOW_POWER;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvas, &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !start_page_gl()) {
        show_message("Quillant draws with WebGL, which this browser does not offer or has "
                     "turned off.");
        return 0;
    }

    open_scene(p, seed);
    emscripten_set_webglcontextlost_callback(canvas, &p, EM_FALSE, lose_context);
    emscripten_set_webglcontextrestored_callback(canvas, &p, EM_FALSE, restore_context);
    if (p.options.show_fps) EM_ASM({ document.getElementById('fps').hidden = false; });
    emscripten_request_animation_frame_loop(animation_frame, &p);
    return 0;
}
