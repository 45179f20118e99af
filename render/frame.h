// SPDX-License-Identifier: MIT
// One frame of the saver: fixed GL state, the scene's advance, and every live
// rose drawn as a coloured line strip.
#pragma once

#include "camera/ball_camera.h"
#include "roses/traj_rose.h"

namespace quillant {

// Renders one frame into the current GL context: clears, advances the scene
// and draws the live roses, oldest first, under the rose set's lock, their
// lines widened by `line_scale`.
void render_frame(ball_camera& root, float line_scale = 1.0f);

// Draws the stretch of the rose and its colours that its progress selects:
// growing, two colour runs, withering. Makes no GL call when fewer than two
// vertices remain. Call with the rose set's lock held.
void draw_rose(const traj_rose& rose, float line_scale = 1.0f);

}  // namespace quillant
