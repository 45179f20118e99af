// The rendering host's portable share: the app record, the scene root and the
// view (projection and fixed look-at) set up once for the window.
#pragma once

#include "camera/ball_camera.h"

#include <cstdint>

namespace quillant {

// View mode 1: the perspective projection and the fixed look-at.
inline constexpr std::int32_t perspective_view = 1;

struct app_record {
    std::int32_t view_mode;
    ball_camera* scene;
};

// State of the rendering host, used on the window's thread only.
struct render_host {
    std::int32_t window_width = 0;
    std::int32_t window_height = 0;
    app_record* app = nullptr;
};

extern render_host host;

// Makes the host's app record. False when it cannot be allocated, so that the
// window's creation can be refused.
bool create_app_record();

// Makes the scene root with its rose set and stores it in the app record.
// Returns the view mode, 1, or 0 when the scene root cannot be allocated.
int create_scene();

// Sets viewport, projection and fixed look-at for the window size, stores the
// size in the scene root, lays the roses out for it and starts the worker
// thread once. Needs a current GL context.
void set_up_view();

}  // namespace quillant
