#include "render/view.h"

#include "generation/worker.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <new>

namespace quillant {

namespace {

// 360 / 3.14159: the field of view is converted with this slightly short pi.
constexpr double degrees_per_half_radian = 114.59165581759555;
constexpr double near_plane = 1.0;
constexpr double far_plane = 10000000.0;

// Vertical field of view, in degrees, under which a height h is seen from
// 3.5 h less 0.4 of the field's space diagonal.
double field_of_view(std::int32_t w, std::int32_t h) {
    // NOTE: formed in 64 bits; 32-bit squares overflow beyond about 26000
    // pixels, which a wide virtual screen can reach.
    const std::int64_t sum = std::int64_t{w} * w + 2 * std::int64_t{h} * h;
    const double s = std::sqrt(static_cast<double>(sum));
    const double height = h;
    return std::atan(height / (2.0 * (3.0 * height - (0.4 * s - 0.5 * height)))) *
           degrees_per_half_radian;
}

}  // namespace

render_host host;

bool create_app_record() {
    host.app = new (std::nothrow) app_record{0, nullptr};
    return host.app != nullptr;
}

int create_scene() {
    // NOTE: a scene root that cannot be made refuses the window rather than
    // letting the failure unwind through the platform's window procedure.
    try {
        host.app->scene = new ball_camera;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return perspective_view;
}

void set_up_view() {
    const std::int32_t w = host.window_width;
    const std::int32_t h = host.window_height;
    ball_camera& scene = *host.app->scene;
    const bool perspective = host.app->view_mode == perspective_view;

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (perspective) {
        const float q = static_cast<float>(h) / w;
        gluPerspective(field_of_view(w, h), 1.0 / q, near_plane, far_plane);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (perspective) {
        const double cx = w / 2.0;
        const double cy = h / 2.0;
        gluLookAt(cx, cy, 3.0 * h, cx, cy, -h / 2.0, 0.0, 1.0, 0.0);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    scene.width = w;
    scene.height = h;
    scene.roses.fit_roses(w, h);
    if (!scene.worker_started) {
        scene.worker_thread = platform::start_thread(worker_main, &scene.roses, "quillant-worker");
        scene.worker_started = true;
    }
}

}  // namespace quillant
