// SPDX-License-Identifier: MIT
// The view: the projection and the fixed look-at, set up for the window's
// size, with the scene root laid out for it.
#pragma once

#include "camera/ball_camera.h"

#include <cstdint>

namespace quillant {

// Sets viewport, projection and fixed look-at for a window of width x height
// pixels, stores the size in the scene root and lays the roses out for it.
// Needs a current GL context.
void set_up_view(ball_camera& root, std::int32_t width, std::int32_t height);

}  // namespace quillant
