// SPDX-License-Identifier: MIT
#include "camera/ball_camera.h"
#include "camera/normal_source.h"
#include "generation/random_source.h"
#include "render/offscreen_context.h"
#include "tests/support/gl_matrix.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <random>
#include <vector>

namespace quillant {
namespace {

using namespace testing::gl;

constexpr std::int32_t w = 1024;
constexpr std::int32_t h = 768;

// The centre of the rose field for the test window.
const vec3 centre{w / 2.0, h / 2.0, -h / 2.0};

vec3 eye_of(const ball_camera& camera) {
    return {camera.position.x, camera.position.y, camera.position.z};
}

vec3 direction_of(float pitch, float yaw) {
    const direction d = view_direction(pitch, yaw);
    return {d.x, d.y, d.z};
}

class BallCamera : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        camera->width = w;
        camera->height = h;
    }

    // A new camera for the test window, seeded from the shared engine as it stands.
    void remake_camera() {
        camera = std::make_unique<ball_camera>();
        camera->width = w;
        camera->height = h;
    }

    offscreen_context context{8, 8};
    std::unique_ptr<ball_camera> camera = std::make_unique<ball_camera>();
};

TEST_F(BallCamera, StartsAtRestInTheTiltPhase) {
    const ball_camera fresh;
    EXPECT_TRUE(fresh.tilting);
    EXPECT_FALSE(fresh.hold_pitch);
    EXPECT_FALSE(fresh.hold_yaw);
    EXPECT_FALSE(fresh.normal_source.have_spare);
    EXPECT_EQ(fresh.width, 0);
    EXPECT_EQ(fresh.height, 0);
    EXPECT_EQ(fresh.pitch, 0.0f);
    EXPECT_EQ(fresh.yaw, 0.0f);
    EXPECT_EQ(fresh.zoom, 0.0);
    EXPECT_EQ(fresh.pitch_motion.velocity, 0.0);
    EXPECT_EQ(fresh.yaw_motion.acceleration, 0.0);
    EXPECT_EQ(fresh.position_motion.z.velocity, 0.0);
}

// The first update places the pitch from one uniform draw, then pushes the
// pitch with the cosine of a normal pair and the yaw with its sine.
TEST_F(BallCamera, FirstUpdatePlacesThePitchAndPushesBothAngles) {
    reseed_random_engine(11);
    std::mt19937 shared(11);
    remake_camera();
    std::mt19937 reference(shared());
    const double u = reference() / 4294967296.0;
    const double u1 = reference() / 4294967296.0;
    const double u2 = reference() / 4294967296.0;
    const double radius = std::sqrt(-2.0 * std::log(1.0 - u2));
    const double g = radius * std::cos(6.283185307179586 * u1);
    const double g_yaw = radius * std::sin(6.283185307179586 * u1);

    const auto placed = static_cast<float>(-50.0 - 40.0 * u);
    const double pitch_push = 0.009999999776482582 * g - 0.000006 * (placed + 90.0);
    const double yaw_push = 0.004999999888241291 * g_yaw;

    camera->update(w, h);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.acceleration, pitch_push);
    EXPECT_DOUBLE_EQ(camera->yaw_motion.acceleration, yaw_push);
    EXPECT_FLOAT_EQ(camera->pitch, static_cast<float>(placed + pitch_push));
    EXPECT_FLOAT_EQ(camera->yaw, static_cast<float>(yaw_push));
    EXPECT_GT(camera->pitch, -90.0f);
    EXPECT_LE(camera->pitch, -49.9f);
}

// Wherever the angles and the zoom stand, the eye lies on the line of sight
// through the centre, 3.5 heights from it at rest.
TEST_F(BallCamera, EyeRidesOnASphereAboutTheCentre) {
    reseed_random_engine(4);
    for (int frame = 0; frame < 600; ++frame) {
        camera->update(w, h);
        const vec3 eye = eye_of(*camera);
        const vec3 to_centre{centre.x - eye.x, centre.y - eye.y, centre.z - eye.z};
        const double r = 3.5 * h * (1.0 - camera->zoom);
        const vec3 d = direction_of(camera->pitch, camera->yaw);
        EXPECT_NEAR(to_centre.x, r * d.x, 1e-3) << "frame " << frame;
        EXPECT_NEAR(to_centre.y, r * d.y, 1e-3) << "frame " << frame;
        EXPECT_NEAR(to_centre.z, r * d.z, 1e-3) << "frame " << frame;
    }
}

// The camera takes one output of the shared engine as it is made, and never
// another: cameras made after the same seed fly the same way, however the
// worker draws meanwhile.
TEST_F(BallCamera, FlightDependsOnTheSeedAloneNotOnOtherDraws) {
    struct pose {
        float pitch, yaw, x, y, z;
        bool operator==(const pose& o) const {
            return pitch == o.pitch && yaw == o.yaw && x == o.x && y == o.y && z == o.z;
        }
    };
    auto fly = [&](int worker_draws_per_frame) {
        reseed_random_engine(9);
        remake_camera();
        std::vector<pose> flight;
        for (int frame = 0; frame < 2000; ++frame) {
            for (int i = 0; i < worker_draws_per_frame; ++i) draw_uniform();
            advance_scene(*camera);
            flight.push_back({camera->pitch, camera->yaw, camera->position.x,
                              camera->position.y, camera->position.z});
        }
        return flight;
    };
    const std::vector<pose> alone = fly(0);
    EXPECT_TRUE(fly(7) == alone);

    reseed_random_engine(9);
    std::mt19937 shared(9);
    remake_camera();
    shared();
    for (int frame = 0; frame < 100; ++frame) camera->update(w, h);
    EXPECT_EQ(next_engine_output(), shared()) << "the camera took only its seed";
}

TEST_F(BallCamera, LookingStraightDownAtRestTheEyeIsTheFixedLookAtsEye) {
    camera->pitch = -90.0f;
    camera->hold_pitch = true;
    camera->hold_yaw = true;
    camera->update(w, h);
    EXPECT_NEAR(camera->position.x, 512.0f, 1e-3f);
    EXPECT_NEAR(camera->position.y, 384.0f, 1e-3f);
    EXPECT_NEAR(camera->position.z, 2304.0f, 1e-3f);
}

// Past +-90 the pitch is held at the limit and an outward acceleration is
// halved, leaving the velocity alone; an inward one is kept.
TEST_F(BallCamera, PitchIsClampedAtTheVerticalsWithTheOutwardPushHalved) {
    camera->tilting = false;  // no random pitch pushes
    camera->hold_yaw = true;
    camera->pitch = 89.9f;
    camera->pitch_motion = {0.04, 0.3};
    camera->update(w, h);
    EXPECT_EQ(camera->pitch, 90.0f);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.acceleration, 0.02);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.velocity, 0.3);
    camera->update(w, h);
    EXPECT_EQ(camera->pitch, 90.0f);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.acceleration, 0.01);

    camera->pitch = -89.9f;
    camera->pitch_motion = {-0.04, -0.3};
    camera->update(w, h);
    EXPECT_EQ(camera->pitch, -90.0f);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.acceleration, -0.02);

    camera->pitch = 89.9f;
    camera->pitch_motion = {-0.01, 0.3};
    camera->update(w, h);
    EXPECT_EQ(camera->pitch, 90.0f);
    EXPECT_DOUBLE_EQ(camera->pitch_motion.acceleration, -0.01);
}

TEST_F(BallCamera, PitchBelowTheThresholdStartsTheZoomPhase) {
    reseed_random_engine(2);
    camera->pitch = -89.7f;
    camera->yaw = 10.0f;
    camera->pitch_motion = {0.0, -0.3};
    advance_scene(*camera);
    EXPECT_FALSE(camera->tilting);
    EXPECT_EQ(camera->pitch_motion.acceleration, 0.0);
    EXPECT_EQ(camera->pitch_motion.velocity, 0.0);
    EXPECT_EQ(camera->zoom_velocity, 0.0);
    EXPECT_EQ(camera->zoom, 0.0);

    // It does not end in the frame that started it.
    advance_scene(*camera);
    EXPECT_FALSE(camera->tilting);
    EXPECT_GT(camera->zoom, 0.0);
}

// From rest the eye swings in through the centre and back out in 441 frames.
TEST_F(BallCamera, ZoomPhaseFromRestSwingsThroughTheCentreAndResets) {
    reseed_random_engine(6);
    camera->tilting = false;
    camera->pitch = -89.9f;
    int reached = 0;
    int peak_frame = 0;
    double peak = 0.0;
    int first_beyond = 0;
    int last_beyond = 0;
    int frame = 0;
    while (!camera->tilting && frame < 1000) {
        ++frame;
        advance_scene(*camera);
        if (camera->tilting) break;
        if (reached == 0 && camera->zoom >= 0.3) reached = frame;
        if (camera->zoom > peak) {
            peak = camera->zoom;
            peak_frame = frame;
        }
        if (camera->zoom > 1.0) {
            if (first_beyond == 0) first_beyond = frame;
            last_beyond = frame;
        }
    }
    EXPECT_EQ(reached, 93);
    EXPECT_EQ(peak_frame, 220);
    EXPECT_NEAR(peak, 1.01099, 1e-5);
    EXPECT_EQ(first_beyond, 208);
    EXPECT_EQ(last_beyond, 233);
    EXPECT_EQ(frame, 441);

    EXPECT_TRUE(camera->tilting);
    EXPECT_EQ(camera->zoom, 0.0);
    EXPECT_EQ(camera->zoom_velocity, 0.0);
    EXPECT_EQ(camera->pitch, -89.0f);
    EXPECT_EQ(camera->pitch_motion.velocity, 0.5);
}

// In the frame of the reset the eye was placed with the finished phase's
// pitch and zoom, while the view already looks along the restarted pitch.
TEST_F(BallCamera, ResetFrameViewsFromTheOldEyeAlongTheNewPitch) {
    camera->tilting = false;
    camera->hold_yaw = true;
    camera->pitch = -89.9f;
    camera->yaw = 30.0f;
    camera->zoom = 0.0001;
    camera->zoom_velocity = -0.001;
    advance_scene(*camera);
    ASSERT_TRUE(camera->tilting);

    const double zoom_at_placement = 0.0001 + (-0.001 + 0.00007);
    const double r = 3.5 * h * (1.0 - zoom_at_placement);
    const vec3 old_d = direction_of(-89.9f, 30.0f);
    const vec3 eye{centre.x - r * old_d.x, centre.y - r * old_d.y, centre.z - r * old_d.z};
    EXPECT_NEAR(camera->position.x, eye.x, 1e-3);
    EXPECT_NEAR(camera->position.z, eye.z, 1e-3);

    const vec3 d = direction_of(-89.0f, 30.0f);
    const vec3 up{-d.z * d.x, -d.z * d.y, d.x * d.x + d.y * d.y};
    // GL keeps the matrix in single precision: the translation is good to ~1e-4.
    expect_near(current(GL_MODELVIEW_MATRIX), look_at(eye_of(*camera), d, up), 1e-3);
}

TEST_F(BallCamera, NothingAdvancesWhileTheWindowSizeIsUnknown) {
    testing::diagnostics_capture out(diagnostic_stream::output);
    orbit_slot& slot = camera->roses.slots[0];
    slot.n = 9;
    camera->roses.add_rose(std::make_unique<traj_rose>(slot, 0, rgba{255, 0, 0, 0}, 0.0f, 0.0f,
                                                       1.0f, 1.0f, 100.0f, 100.0f));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(1.0, 2.0, 3.0);
    const matrix marker = current(GL_MODELVIEW_MATRIX);

    for (const auto& size : {std::pair{0, h}, std::pair{w, 0}}) {
        camera->width = size.first;
        camera->height = size.second;
        advance_scene(*camera);
        EXPECT_EQ(camera->roses.roses.front()->progress, 3);
        EXPECT_EQ(camera->pitch, 0.0f) << "not even the first placement";
        EXPECT_EQ(camera->position.z, 0.0f);
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), marker);
    }
}

TEST_F(BallCamera, AdvanceAgesTheRosesOncePerFrame) {
    testing::diagnostics_capture out(diagnostic_stream::output);
    orbit_slot& slot = camera->roses.slots[1];
    slot.n = 2;  // retires at its second ageing
    camera->roses.add_rose(std::make_unique<traj_rose>(slot, 1, rgba{255, 0, 0, 0}, 0.0f, 0.0f,
                                                       1.0f, 1.0f, 100.0f, 100.0f));
    advance_scene(*camera);
    ASSERT_EQ(camera->roses.roses.size(), 1u);
    EXPECT_EQ(camera->roses.roses.front()->progress, 6);
    advance_scene(*camera);
    EXPECT_TRUE(camera->roses.roses.empty());
    EXPECT_EQ(camera->roses.slot_states[1].load(), slot_free);
}

}  // namespace
}  // namespace quillant
