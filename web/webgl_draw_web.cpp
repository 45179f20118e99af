// SPDX-License-Identifier: MIT
#include "web/webgl_draw.h"

#include <webgl/webgl1.h>

#include <cstddef>

namespace quillant {

namespace {

// The corners come in clip coordinates, so the vertex shader only passes
// them on; the colours are shaded between them.
constexpr char vertex_shader[] = R"(
attribute vec4 position;
attribute vec4 colour;
varying lowp vec4 shade;
void main() {
    gl_Position = position;
    shade = colour;
}
)";

constexpr char fragment_shader[] = R"(
varying lowp vec4 shade;
void main() {
    gl_FragColor = shade;
}
)";

constexpr GLuint position_attribute = 0;
constexpr GLuint colour_attribute = 1;

GLuint compiled(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

}  // namespace

bool start_webgl_drawing() {
    const GLuint vertex = compiled(GL_VERTEX_SHADER, vertex_shader);
    const GLuint fragment = compiled(GL_FRAGMENT_SHADER, fragment_shader);
    if (vertex == 0 || fragment == 0) return false;
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glBindAttribLocation(program, position_attribute, "position");
    emscripten_glBindAttribLocation(program, colour_attribute, "colour");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    emscripten_glUseProgram(program);

    // One buffer, bound for good, that every draw fills anew.
    GLuint corners = 0;
    emscripten_glGenBuffers(1, &corners);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, corners);
    emscripten_glEnableVertexAttribArray(position_attribute);
    emscripten_glEnableVertexAttribArray(colour_attribute);
    emscripten_glVertexAttribPointer(position_attribute, 4, GL_FLOAT, GL_FALSE,
                                     sizeof(clip_vertex), nullptr);
    emscripten_glVertexAttribPointer(colour_attribute, 4, GL_UNSIGNED_BYTE, GL_TRUE,
                                     sizeof(clip_vertex),
                                     reinterpret_cast<const void*>(offsetof(clip_vertex, red)));
    return true;
}

void webgl_enable(unsigned capability) { emscripten_glEnable(capability); }

void webgl_blend_func(unsigned source, unsigned destination) {
    emscripten_glBlendFunc(source, destination);
}

void webgl_clear(unsigned mask) { emscripten_glClear(mask); }

void webgl_viewport(int x, int y, int width, int height) {
    emscripten_glViewport(x, y, width, height);
}

void webgl_flush() { emscripten_glFlush(); }

void draw_clip_triangles(const std::vector<clip_vertex>& corners) {
    if (corners.empty()) return;
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(corners.size() * sizeof(clip_vertex)),
                            corners.data(), GL_STREAM_DRAW);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size()));
}

}  // namespace quillant
