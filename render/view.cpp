// SPDX-License-Identifier: MIT
#include "render/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

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

void set_up_view(ball_camera& root, std::int32_t w, std::int32_t h) {
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float q = static_cast<float>(h) / w;
    gluPerspective(field_of_view(w, h), 1.0 / q, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    gluLookAt(cx, cy, 3.0 * h, cx, cy, -h / 2.0, 0.0, 1.0, 0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    root.width = w;
    root.height = h;
    root.roses.fit_roses(w, h);
}

}  // namespace quillant
