// SPDX-License-Identifier: MIT
#include "web/fixed_function.h"

#include <cmath>
#include <cstring>

namespace quillant {

namespace {

constexpr gl_matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr double glu_pi = 3.14159265358979323846;

// The product a b, in single precision term by term in GL's order, as
// Mesa multiplies its matrices.
gl_matrix product(const gl_matrix& a, const gl_matrix& b) {
    gl_matrix p{};
    for (int row = 0; row < 4; ++row) {
        const float a0 = a[row];
        const float a1 = a[4 + row];
        const float a2 = a[8 + row];
        const float a3 = a[12 + row];
        for (int column = 0; column < 4; ++column) {
            const float* b_column = &b[4 * column];
            p[4 * column + row] =
                a0 * b_column[0] + a1 * b_column[1] + a2 * b_column[2] + a3 * b_column[3];
        }
    }
    return p;
}

// GLU's vector helpers, in single precision as GLU has them.
void normalize(float v[3]) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void cross(const float a[3], const float b[3], float result[3]) {
    result[0] = a[1] * b[2] - a[2] * b[1];
    result[1] = a[2] * b[0] - a[0] * b[2];
    result[2] = a[0] * b[1] - a[1] * b[0];
}

// A point of a line strip in clip space with its colour, while it is cut.
struct clip_point {
    float x, y, z, w;
    float colour[4];
};

clip_point transformed(const gl_matrix& m, const float* v, const std::uint8_t* rgba) {
    clip_point p{};
    p.x = m[0] * v[0] + m[4] * v[1] + m[8] * v[2] + m[12];
    p.y = m[1] * v[0] + m[5] * v[1] + m[9] * v[2] + m[13];
    p.z = m[2] * v[0] + m[6] * v[1] + m[10] * v[2] + m[14];
    p.w = m[3] * v[0] + m[7] * v[1] + m[11] * v[2] + m[15];
    for (int i = 0; i < 4; ++i) p.colour[i] = rgba[i];
    return p;
}

clip_point between(const clip_point& a, const clip_point& b, float t) {
    clip_point p{};
    p.x = a.x + t * (b.x - a.x);
    p.y = a.y + t * (b.y - a.y);
    p.z = a.z + t * (b.z - a.z);
    p.w = a.w + t * (b.w - a.w);
    for (int i = 0; i < 4; ++i) p.colour[i] = a.colour[i] + t * (b.colour[i] - a.colour[i]);
    return p;
}

std::uint8_t colour_byte(float value) { return static_cast<std::uint8_t>(std::lround(value)); }

// A corner of the quad of a segment: the point moved by (dx, dy) in
// normalised device coordinates, kept homogeneous so that colours are shaded
// with perspective as GL shades them.
clip_vertex corner(const clip_point& p, float dx, float dy) {
    return {p.x + dx * p.w,          p.y + dy * p.w,          p.z,
            p.w,                     colour_byte(p.colour[0]), colour_byte(p.colour[1]),
            colour_byte(p.colour[2]), colour_byte(p.colour[3])};
}

}  // namespace

fixed_function_gl::fixed_function_gl() : modelview_{identity}, projection_{identity} {}

std::vector<gl_matrix>& fixed_function_gl::selected_stack() {
    return selected_ == stack::modelview ? modelview_ : projection_;
}

const gl_matrix& fixed_function_gl::top(stack which) const {
    return which == stack::modelview ? modelview_.back() : projection_.back();
}

void fixed_function_gl::load_identity() { selected_stack().back() = identity; }

void fixed_function_gl::push() {
    std::vector<gl_matrix>& matrices = selected_stack();
    matrices.push_back(matrices.back());
}

void fixed_function_gl::pop() {
    // As GL, which reports a stack underflow and changes nothing.
    std::vector<gl_matrix>& matrices = selected_stack();
    if (matrices.size() > 1) matrices.pop_back();
}

void fixed_function_gl::multiply(const gl_matrix& m) {
    gl_matrix& current = selected_stack().back();
    current = product(current, m);
}

void fixed_function_gl::translate(float x, float y, float z) {
    gl_matrix& m = selected_stack().back();
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void fixed_function_gl::perspective(double fovy, double aspect, double near, double far) {
    const double radians = fovy / 2 * glu_pi / 180;
    const double delta_z = far - near;
    const double sine = std::sin(radians);
    if (delta_z == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    gl_matrix m = identity;
    m[0] = static_cast<float>(cotangent / aspect);
    m[5] = static_cast<float>(cotangent);
    m[10] = static_cast<float>(-(far + near) / delta_z);
    m[11] = -1.0f;
    m[14] = static_cast<float>(-2 * near * far / delta_z);
    m[15] = 0.0f;
    multiply(m);
}

void fixed_function_gl::look_at(double eye_x, double eye_y, double eye_z, double centre_x,
                                double centre_y, double centre_z, double up_x, double up_y,
                                double up_z) {
    float forward[3] = {static_cast<float>(centre_x - eye_x), static_cast<float>(centre_y - eye_y),
                        static_cast<float>(centre_z - eye_z)};
    float up[3] = {static_cast<float>(up_x), static_cast<float>(up_y), static_cast<float>(up_z)};
    float side[3];
    normalize(forward);
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);

    gl_matrix m = identity;
    m[0] = side[0];
    m[4] = side[1];
    m[8] = side[2];
    m[1] = up[0];
    m[5] = up[1];
    m[9] = up[2];
    m[2] = -forward[0];
    m[6] = -forward[1];
    m[10] = -forward[2];
    multiply(m);
    translate(static_cast<float>(-eye_x), static_cast<float>(-eye_y), static_cast<float>(-eye_z));
}

void fixed_function_gl::viewport(std::int32_t, std::int32_t, std::int32_t width,
                                 std::int32_t height) {
    viewport_width_ = width;
    viewport_height_ = height;
}

void fixed_function_gl::line_strip_triangles(const line_strip& strip, float width,
                                             std::vector<clip_vertex>& out) const {
    if (strip.count < 2 || viewport_width_ <= 0 || viewport_height_ <= 0) return;
    const gl_matrix m = product(projection_.back(), modelview_.back());
    const float half_x = width / static_cast<float>(viewport_width_);
    const float half_y = width / static_cast<float>(viewport_height_);
    auto point = [&](std::int32_t i) {
        float v[3];
        const auto at = static_cast<std::size_t>(i);
        std::memcpy(v, strip.vertices + at * strip.vertex_stride, sizeof v);
        const auto* rgba = strip.colours + at * strip.colour_stride;
        return transformed(m, v, rgba);
    };

    clip_point next = point(0);
    for (std::int32_t i = 1; i < strip.count; ++i) {
        clip_point a = next;
        clip_point b = point(i);
        next = b;

        // Cut the segment at the near plane, z = -w, as GL's clipper does.
        const float a_in = a.z + a.w;
        const float b_in = b.z + b.w;
        if (a_in < 0 && b_in < 0) continue;
        if (a_in < 0) a = between(a, b, a_in / (a_in - b_in));
        if (b_in < 0) b = between(b, a, b_in / (b_in - a_in));
        if (a.w <= 0 || b.w <= 0) continue;

        // Widen it across its minor axis in window pixels, as GL widens lines.
        const float dx = (b.x / b.w - a.x / a.w) * static_cast<float>(viewport_width_);
        const float dy = (b.y / b.w - a.y / a.w) * static_cast<float>(viewport_height_);
        if (dx == 0 && dy == 0) continue;
        const bool x_major = std::fabs(dx) >= std::fabs(dy);
        const float ox = x_major ? 0.0f : half_x;
        const float oy = x_major ? half_y : 0.0f;
        const clip_vertex a_plus = corner(a, ox, oy);
        const clip_vertex a_minus = corner(a, -ox, -oy);
        const clip_vertex b_plus = corner(b, ox, oy);
        const clip_vertex b_minus = corner(b, -ox, -oy);
        out.insert(out.end(), {a_plus, a_minus, b_plus, b_plus, a_minus, b_minus});
    }
}

}  // namespace quillant
