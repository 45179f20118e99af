// SPDX-License-Identifier: MIT
// The WebGL under the page's GL: the few calls that WebGL has as GL 1.1 has
// them, their enumerants the same, and triangles of clip-space corners drawn
// with one shader pair. Without GL headers, so that the GL 1.1 entry points
// can include theirs.
#pragma once

#include "web/fixed_function.h"

#include <vector>

namespace quillant {

// Makes the shader pair and the buffer in the current WebGL context; false
// when WebGL refuses them.
bool start_webgl_drawing();

void webgl_enable(unsigned capability);
void webgl_blend_func(unsigned source, unsigned destination);
void webgl_clear(unsigned mask);
void webgl_viewport(int x, int y, int width, int height);
void webgl_flush();

// Draws the triangles, three corners each, with the blending set.
void draw_clip_triangles(const std::vector<clip_vertex>& corners);

}  // namespace quillant
