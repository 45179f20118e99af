// SPDX-License-Identifier: MIT
#include "camera/camera_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace quillant {

direction view_direction(float pitch, float yaw) {
    const double p = to_radians(pitch);
    const double y = to_radians(yaw);
    return {std::cos(p) * std::cos(y), std::cos(p) * std::sin(y), std::sin(p)};
}

void camera_gl::apply_view() const {
    const direction d = view_direction(pitch, yaw);
    const double x = position.x;
    const double y = position.y;
    const double z = position.z;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Up is +z with its part along d removed. Its length, |cos pitch|, is left
    // as it is: gluLookAt uses only its direction.
    gluLookAt(x, y, z, x + d.x, y + d.y, z + d.z,
              -d.z * d.x, -d.z * d.y, d.x * d.x + d.y * d.y);
}

}  // namespace quillant
