// SPDX-License-Identifier: MIT
// A camera with inertia: each of its five degrees of freedom carries an
// acceleration and a velocity, and one step per frame moves it by them.
#pragma once

#include "camera/camera_gl.h"

#include <cstdint>

namespace quillant {

// The only brakes on the camera's turning; the eye's motion has none.
inline constexpr double angular_acceleration_limit = 0.05;
inline constexpr double pitch_velocity_limit = 0.3;
inline constexpr double yaw_velocity_limit = 1.0;

// Motion of one coordinate or angle, per frame.
struct axis_motion {
    double acceleration = 0.0;
    double velocity = 0.0;
};

// Motion of the eye point, one axis at a time.
struct point_motion {
    axis_motion x;
    axis_motion y;
    axis_motion z;
};

struct inertial_camera_gl : public camera_gl {
    point_motion position_motion;
    axis_motion pitch_motion;
    axis_motion yaw_motion;
    // A held angle keeps its value and its motion through integrate().
    bool hold_pitch = false;
    bool hold_yaw = false;

    // One frame of the concrete camera's motion for a window of
    // width x height pixels; calls integrate() once.
    virtual void update(std::int32_t width, std::int32_t height) = 0;

    // One inertial step: limits the angular accelerations, moves the eye and
    // the angles, and brings the yaw back into -180..180.
    void integrate();
};

}  // namespace quillant
