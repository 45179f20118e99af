// SPDX-License-Identifier: MIT
// The share of OpenGL 1.1 and GLU that the scene draws with and WebGL lacks,
// kept on the processor: the matrix stacks with GLU's perspective and
// look-at, computed as Mesa and GLU compute them, and wide line strips,
// which WebGL draws only 1 pixel wide, made of triangles in clip space.
// Portable, so that it is tested against a real GL natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillant {

// A 4x4 matrix as GL keeps one: column after column.
using gl_matrix = std::array<float, 16>;

// A corner of the triangles that a line strip becomes: clip coordinates and
// the colour there.
struct clip_vertex {
    float x;
    float y;
    float z;
    float w;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t alpha;
};
static_assert(sizeof(clip_vertex) == 20, "clip vertices are uploaded as they are");

// A line strip from client arrays: `count` vertices of three floats and
// their colours of four bytes, each array with its stride in bytes.
struct line_strip {
    const unsigned char* vertices;
    std::size_t vertex_stride;
    const unsigned char* colours;
    std::size_t colour_stride;
    std::int32_t count;
};

class fixed_function_gl {
public:
    enum class stack { modelview, projection };

    fixed_function_gl();

    // glMatrixMode: the stack that the matrix calls below work on.
    void select(stack chosen) { selected_ = chosen; }
    // glLoadIdentity, glPushMatrix, glPopMatrix, glMultMatrixf, glTranslatef.
    void load_identity();
    void push();
    void pop();
    void multiply(const gl_matrix& m);
    void translate(float x, float y, float z);
    // gluPerspective and gluLookAt.
    void perspective(double fovy, double aspect, double near, double far);
    void look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                 double centre_z, double up_x, double up_y, double up_z);
    // The matrix on top of a stack.
    const gl_matrix& top(stack which) const;

    // glViewport: the window rectangle that clip space maps to.
    void viewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

    // Appends to `out` the triangles that GL's wide line strip covers, each
    // segment `width` window pixels across its minor axis, as GL draws wide
    // lines that are not antialiased, with its colours shaded smoothly.
    // Segments are cut where they cross the near plane.
    void line_strip_triangles(const line_strip& strip, float width,
                              std::vector<clip_vertex>& out) const;

private:
    std::vector<gl_matrix>& selected_stack();

    std::vector<gl_matrix> modelview_;
    std::vector<gl_matrix> projection_;
    stack selected_ = stack::modelview;
    std::int32_t viewport_width_ = 0;
    std::int32_t viewport_height_ = 0;
};

}  // namespace quillant
