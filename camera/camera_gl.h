// SPDX-License-Identifier: MIT
// The plain camera: an eye point and a view direction given by two angles,
// turned into the modelview matrix once per frame.
#pragma once

namespace quillant {

inline constexpr double pi = 3.141592653589793;

// A point of the scene, in scene units (window pixels).
struct scene_point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A direction in double precision.
struct direction {
    double x;
    double y;
    double z;
};

// Degrees to radians in double precision, multiplying by pi before dividing.
inline double to_radians(float degrees) { return static_cast<double>(degrees) * pi / 180.0; }

// The unit view direction of a pitch above the x-y plane and a yaw from +x
// towards +y, both in degrees.
direction view_direction(float pitch, float yaw);

struct camera_gl {
    scene_point position;
    // Degrees above the x-y plane; -90 looks straight down the -z axis.
    float pitch = 0.0f;
    // Degrees in the x-y plane, from +x towards +y.
    float yaw = 0.0f;

    // Replaces the current modelview matrix with this camera's view, keeping
    // the world's +z upwards on the screen. Needs a current GL context.
    void apply_view() const;
};

}  // namespace quillant
