// SPDX-License-Identifier: MIT
// The scene root: the camera that circles the rose field, holding the shared
// rose set and the window size.
#pragma once

#include "camera/inertial_camera_gl.h"
#include "camera/normal_source.h"
#include "generation/random_source.h"
#include "roses/rose_set.h"

#include <cstdint>
#include <random>

namespace quillant {

// Random pushes per frame: the pitch's, its pull towards -90 per degree, and
// the yaw's. The pushes are single-precision constants.
inline constexpr float pitch_push = 0.01f;
inline constexpr double pitch_pull = 0.000006;
inline constexpr float yaw_push = 0.005f;

// The zoom phase: constant acceleration up to zoom_spring_start, then a spring
// towards 0.55.
inline constexpr double zoom_push = 0.00007;
inline constexpr double zoom_spring = 0.00028;
inline constexpr double zoom_spring_start = 0.3;

// A pitch below this, in the tilt phase, starts the zoom phase.
inline constexpr float zoom_start_pitch = -89.8f;
// The tilt phase restarts from this pitch and pitch velocity.
inline constexpr float tilt_restart_pitch = -89.0f;
inline constexpr double tilt_restart_velocity = 0.5;

struct ball_camera : public inertial_camera_gl {
    // Seeds the camera's engine from one output of the scene's source.
    explicit ball_camera(random_source& source = shared_random_source())
        : motion_engine(source.next_output()) {}

    // One frame of motion: random pushes on the pitch and yaw, one inertial
    // step, the limits of the pitch, the zoom, and the eye placed on its sphere
    // about the centre of the field.
    void update(std::int32_t width, std::int32_t height) override;

    // How far the eye has moved in from 3.5 heights from the centre.
    double zoom = 0.0;
    double zoom_velocity = 0.0;
    double zoom_acceleration = 0.0;
    bool tilting = true;
    // The camera's own engine, seeded from the scene's source as the camera
    // is made, before the worker starts: the worker's draws and the camera's
    // never interleave, so a seed gives the same roses and the same flight
    // however the two threads are timed.
    std::mt19937 motion_engine;
    normal_distribution normal_source = standard_normal;
    rose_set roses;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// One frame of the scene: ages the roses, moves the camera, switches between
// the tilt and zoom phases and loads the camera's view. Does nothing while the
// window size is unknown. Needs a current GL context.
void advance_scene(ball_camera& root);

// One frame of the camera's flight alone: moves it and switches between the
// tilt and zoom phases. Its angles and zoom do not depend on the window's
// size, which only places the eye, anew each frame.
void fly_camera(ball_camera& root);

}  // namespace quillant
