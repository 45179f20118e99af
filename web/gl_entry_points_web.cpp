// SPDX-License-Identifier: MIT
// The OpenGL 1.1 and GLU calls that the scene makes, for the page: matrices
// and wide line strips on the processor (fixed_function_gl), the rest passed
// to WebGL. The page's own GL, defined here, takes the place of emscripten's.
#include "web/page_gl.h"
#include "web/webgl_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

namespace quillant {

namespace {

// The state of the one GL context, as GL keeps it for the current context.
struct page_gl_state {
    fixed_function_gl fixed;
    float line_width = 1.0f;
    float line_width_scale = 1.0f;
    const void* vertices = nullptr;
    GLsizei vertex_stride = 0;
    const void* colours = nullptr;
    GLsizei colour_stride = 0;
    bool vertex_array = false;
    bool colour_array = false;
    std::vector<clip_vertex> corners;
    drawn_view drawn{};
    std::uint64_t strips = 0;
};

page_gl_state gl;

}  // namespace

bool start_page_gl() { return start_webgl_drawing(); }

void set_line_width_scale(float scale) { gl.line_width_scale = scale; }

const drawn_view& last_drawn_view() { return gl.drawn; }

std::uint64_t strips_drawn() { return gl.strips; }

}  // namespace quillant

using quillant::gl;

extern "C" {

void glEnable(GLenum capability) {
    // NOTE: polygon smoothing, which the frame enables, has no WebGL
    // counterpart and nothing here is drawn as a polygon of GL's.
    if (capability == GL_BLEND) quillant::webgl_enable(capability);
}

void glBlendFunc(GLenum source, GLenum destination) {
    quillant::webgl_blend_func(source, destination);
}

// NOTE: WebGL always shades between the corners, as GL_SMOOTH asks.
void glShadeModel(GLenum) {}

void glClear(GLbitfield mask) { quillant::webgl_clear(mask); }

void glFlush() { quillant::webgl_flush(); }

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    gl.fixed.viewport(x, y, width, height);
    quillant::webgl_viewport(x, y, width, height);
}

void glMatrixMode(GLenum mode) {
    gl.fixed.select(mode == GL_PROJECTION ? quillant::fixed_function_gl::stack::projection
                                          : quillant::fixed_function_gl::stack::modelview);
}

void glLoadIdentity() { gl.fixed.load_identity(); }

void glPushMatrix() { gl.fixed.push(); }

void glPopMatrix() { gl.fixed.pop(); }

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far) {
    gl.fixed.perspective(fovy, aspect, near, far);
}

void gluLookAt(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x,
               GLdouble centre_y, GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z) {
    gl.fixed.look_at(eye_x, eye_y, eye_z, centre_x, centre_y, centre_z, up_x, up_y, up_z);
}

void glLineWidth(GLfloat width) { gl.line_width = width; }

// Only the arrays the scene draws from: three floats a vertex, four bytes a
// colour.
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    if (size != 3 || type != GL_FLOAT) return;
    gl.vertices = pointer;
    gl.vertex_stride = stride != 0 ? stride : 3 * sizeof(GLfloat);
}

void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    if (size != 4 || type != GL_UNSIGNED_BYTE) return;
    gl.colours = pointer;
    gl.colour_stride = stride != 0 ? stride : 4;
}

void glEnableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) gl.vertex_array = true;
    if (array == GL_COLOR_ARRAY) gl.colour_array = true;
}

void glDisableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) gl.vertex_array = false;
    if (array == GL_COLOR_ARRAY) gl.colour_array = false;
}

// Line strips of coloured vertices, as wide lines made of triangles.
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (mode != GL_LINE_STRIP || !gl.vertex_array || !gl.colour_array || gl.vertices == nullptr ||
        gl.colours == nullptr || first < 0 || count < 2) {
        return;
    }
    const auto* vertices = static_cast<const unsigned char*>(gl.vertices);
    const auto* colours = static_cast<const unsigned char*>(gl.colours);
    const quillant::line_strip strip{vertices + static_cast<std::size_t>(first) * gl.vertex_stride,
                                     static_cast<std::size_t>(gl.vertex_stride),
                                     colours + static_cast<std::size_t>(first) * gl.colour_stride,
                                     static_cast<std::size_t>(gl.colour_stride), count};
    gl.corners.clear();
    gl.fixed.line_strip_triangles(strip, gl.line_width * gl.line_width_scale, gl.corners);
    quillant::draw_clip_triangles(gl.corners);
    gl.drawn = {gl.fixed.top(quillant::fixed_function_gl::stack::projection),
                gl.fixed.top(quillant::fixed_function_gl::stack::modelview)};
    ++gl.strips;
}

}  // extern "C"
