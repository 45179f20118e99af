// SPDX-License-Identifier: MIT
// The page's GL: the calls of OpenGL 1.1 and GLU that the scene makes,
// answered by fixed_function_gl and WebGL (gl_entry_points_web.cpp), and
// what the page itself asks of it.
#pragma once

#include "web/fixed_function.h"

#include <cstdint>

namespace quillant {

// Readies drawing in the current WebGL context; false when WebGL refuses.
bool start_page_gl();

// Device pixels to a pixel of glLineWidth, so that lines are as wide on a
// dense screen as on an ordinary one: the device pixel ratio.
void set_line_width_scale(float scale);

// The projection and modelview that the last line strip was drawn with.
struct drawn_view {
    gl_matrix projection;
    gl_matrix modelview;
};
const drawn_view& last_drawn_view();

// How many line strips have been drawn.
std::uint64_t strips_drawn();

}  // namespace quillant
