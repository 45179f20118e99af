// SPDX-License-Identifier: MIT
#include "camera/ball_camera.h"

#include "camera/normal_source.h"

#include <algorithm>
#include <cmath>

namespace quillant {

void ball_camera::update(std::int32_t window_width, std::int32_t window_height) {
    // Push the angles.
    if (!hold_pitch) {
        if (pitch == 0.0f && yaw == 0.0f) {
            pitch = static_cast<float>(-50.0 - 40.0 * scale_engine_output(motion_engine()));
        }
        if (tilting) {
            pitch_motion.acceleration +=
                static_cast<double>(pitch_push) * draw_normal(normal_source, motion_engine) -
                pitch_pull * (static_cast<double>(pitch) + 90.0);
        }
    }
    if (!hold_yaw) {
        yaw_motion.acceleration += static_cast<double>(yaw_push) * draw_normal(normal_source, motion_engine);
    }

    integrate();

    // Keep the pitch within +-90; an acceleration still pushing outwards is halved.
    if (!hold_pitch) {
        pitch = std::clamp(pitch, -90.0f, 90.0f);
        if (std::fabs(pitch) == 90.0f && pitch * pitch_motion.acceleration > 0.0) {
            pitch_motion.acceleration *= 0.5;
        }
    }

    if (!tilting) {
        zoom_acceleration = zoom_push - zoom_spring * std::max(zoom - zoom_spring_start, 0.0);
        zoom_velocity += zoom_acceleration;
        zoom += zoom_velocity;
    }

    // Place the eye so that the line of sight passes through the field's centre.
    const double w = window_width;
    const double h = window_height;
    const double r = (0.5 * h + 3.0 * h) * (1.0 - zoom);
    const direction d = view_direction(pitch, yaw);
    position.x = static_cast<float>(0.5 * w - r * d.x);
    position.y = static_cast<float>(0.5 * h - r * d.y);
    position.z = static_cast<float>(-0.5 * h - r * d.z);
}

void advance_scene(ball_camera& root) {
    if (root.width == 0 || root.height == 0) return;
    root.roses.age_roses();
    fly_camera(root);
    root.apply_view();
}

void fly_camera(ball_camera& root) {
    inertial_camera_gl& camera = root;
    camera.update(root.width, root.height);

    if (root.tilting && root.pitch < zoom_start_pitch) {
        root.tilting = false;
        root.pitch_motion = axis_motion{};
        root.zoom_velocity = 0.0;
    } else if (!root.tilting && root.zoom <= 0.0) {
        root.zoom_velocity = 0.0;
        root.tilting = true;
        root.zoom = 0.0;
        root.pitch = tilt_restart_pitch;
        root.pitch_motion.velocity = tilt_restart_velocity;
    }
}

}  // namespace quillant
