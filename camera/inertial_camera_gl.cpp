// SPDX-License-Identifier: MIT
#include "camera/inertial_camera_gl.h"

#include <algorithm>

namespace quillant {

namespace {

// Moves one eye coordinate by its motion; no limits apply.
void move(float& coordinate, axis_motion& motion) {
    motion.velocity += motion.acceleration;
    coordinate = static_cast<float>(coordinate + motion.velocity);
}

// Turns one angle by its motion, the velocity limited to +-limit.
void turn(float& angle, axis_motion& motion, double limit) {
    motion.velocity = std::clamp(motion.velocity + motion.acceleration, -limit, limit);
    angle = static_cast<float>(angle + motion.velocity);
}

}  // namespace

void inertial_camera_gl::integrate() {
    const double a = angular_acceleration_limit;
    if (!hold_pitch) pitch_motion.acceleration = std::clamp(pitch_motion.acceleration, -a, a);
    if (!hold_yaw) yaw_motion.acceleration = std::clamp(yaw_motion.acceleration, -a, a);

    move(position.x, position_motion.x);
    move(position.y, position_motion.y);
    move(position.z, position_motion.z);

    if (!hold_pitch) turn(pitch, pitch_motion, pitch_velocity_limit);
    if (!hold_yaw) turn(yaw, yaw_motion, yaw_velocity_limit);

    // One correction each way is enough for a yaw that moves at most a degree
    // a frame; +-180 themselves stay.
    if (yaw < -180.0f) yaw = static_cast<float>(yaw + 360.0);
    if (yaw > 180.0f) yaw = static_cast<float>(yaw - 360.0);
}

}  // namespace quillant
