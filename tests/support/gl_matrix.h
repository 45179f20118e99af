// SPDX-License-Identifier: MIT
// Matrices as GL keeps them, for checking the matrices GL holds against ones
// computed independently. Needs a current GL context where it reads them.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace quillant::testing::gl {

using matrix = std::array<double, 16>;

struct vec3 {
    double x;
    double y;
    double z;
};

inline vec3 cross(vec3 a, vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline vec3 normalised(vec3 v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

inline double dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The view matrix, column-major as GL keeps it, of an eye looking along
// `forward` with `screen_up` pointing up on the screen: its rows are the
// screen's right, up and backward axes, and it moves the eye to the origin.
inline matrix look_at(vec3 eye, vec3 forward, vec3 screen_up) {
    const vec3 f = normalised(forward);
    const vec3 u = normalised(screen_up);
    const vec3 r = cross(f, u);
    const vec3 rows[3] = {r, u, {-f.x, -f.y, -f.z}};
    matrix m{};
    for (int row = 0; row < 3; ++row) {
        m[0 + row] = rows[row].x;
        m[4 + row] = rows[row].y;
        m[8 + row] = rows[row].z;
        m[12 + row] = -dot(rows[row], eye);
    }
    m[15] = 1.0;
    return m;
}

inline matrix current(GLenum which) {
    matrix m{};
    glGetDoublev(which, m.data());
    return m;
}

inline void expect_near(const matrix& actual, const matrix& expected, double tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

}  // namespace quillant::testing::gl
