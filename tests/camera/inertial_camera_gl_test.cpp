// SPDX-License-Identifier: MIT
#include "camera/inertial_camera_gl.h"

#include <gtest/gtest.h>

namespace quillant {
namespace {

// A camera that only integrates; every field starts at zero.
struct drifting_camera : public inertial_camera_gl {
    void update(std::int32_t, std::int32_t) override { integrate(); }
};

TEST(InertialCamera, AngularAccelerationsAreCutBeforeUseAndStoredBack) {
    drifting_camera camera;
    camera.pitch_motion.acceleration = 0.07;
    camera.yaw_motion.acceleration = -0.2;
    camera.integrate();
    EXPECT_EQ(camera.pitch_motion.acceleration, 0.05);
    EXPECT_EQ(camera.pitch_motion.velocity, 0.05);
    EXPECT_EQ(camera.pitch, 0.05f);
    EXPECT_EQ(camera.yaw_motion.acceleration, -0.05);
    EXPECT_EQ(camera.yaw_motion.velocity, -0.05);
    EXPECT_EQ(camera.yaw, -0.05f);

    // A value exactly at the limit is kept as it is.
    camera.pitch_motion.acceleration = -0.05;
    camera.integrate();
    EXPECT_EQ(camera.pitch_motion.acceleration, -0.05);
    EXPECT_EQ(camera.pitch_motion.velocity, 0.0);
}

TEST(InertialCamera, AngularVelocitiesAreLimited) {
    drifting_camera camera;
    camera.pitch = 10.0f;
    camera.pitch_motion.velocity = 0.5;
    camera.yaw_motion = {0.05, 0.98};
    camera.integrate();
    EXPECT_EQ(camera.pitch_motion.velocity, 0.3);
    EXPECT_EQ(camera.pitch, static_cast<float>(10.0f + 0.3));
    EXPECT_EQ(camera.yaw_motion.velocity, 1.0);
    EXPECT_EQ(camera.yaw, 1.0f);

    camera.pitch_motion = {-0.05, -0.29};
    camera.yaw_motion = {-0.05, -1.5};
    camera.integrate();
    EXPECT_EQ(camera.pitch_motion.velocity, -0.3);
    EXPECT_EQ(camera.yaw_motion.velocity, -1.0);
    EXPECT_EQ(camera.yaw, 0.0f);
}

TEST(InertialCamera, EyeMovesWithoutLimits) {
    drifting_camera camera;
    camera.position = {100.0f, 0.0f, -3.0f};
    camera.position_motion.x.velocity = 0.75;
    camera.position_motion.y = {250.0, 1000.0};
    camera.position_motion.z.acceleration = -0.5;
    camera.integrate();
    EXPECT_EQ(camera.position_motion.x.velocity, 0.75);
    EXPECT_EQ(camera.position.x, 100.75f);
    EXPECT_EQ(camera.position_motion.y.velocity, 1250.0);
    EXPECT_EQ(camera.position.y, 1250.0f);
    EXPECT_EQ(camera.position_motion.z.velocity, -0.5);
    EXPECT_EQ(camera.position.z, -3.5f);
}

TEST(InertialCamera, YawWrapsOnceEachWayAndKeepsTheBounds) {
    drifting_camera camera;
    camera.yaw = 179.5f;
    camera.yaw_motion.velocity = 1.0;
    camera.integrate();
    EXPECT_EQ(camera.yaw, -179.5f);

    camera.yaw = -179.5f;
    camera.yaw_motion.velocity = -1.0;
    camera.integrate();
    EXPECT_EQ(camera.yaw, 179.5f);

    camera.yaw = 179.75f;
    camera.yaw_motion.velocity = 0.25;
    camera.integrate();
    EXPECT_EQ(camera.yaw, 180.0f);

    camera.yaw = -179.75f;
    camera.yaw_motion.velocity = -0.25;
    camera.integrate();
    EXPECT_EQ(camera.yaw, -180.0f);

    // A yaw already far outside is corrected only once per step.
    camera.yaw_motion.velocity = 0.0;
    camera.yaw = 600.0f;
    camera.integrate();
    EXPECT_EQ(camera.yaw, 240.0f);
    camera.yaw = -600.0f;
    camera.integrate();
    EXPECT_EQ(camera.yaw, -240.0f);
}

TEST(InertialCamera, HeldPitchKeepsItsValueAndMotionWhileTheRestMoves) {
    drifting_camera camera;
    camera.hold_pitch = true;
    camera.pitch = -45.0f;
    camera.pitch_motion = {5.0, 2.0};
    camera.yaw_motion = {0.01, 0.1};
    camera.position_motion.z.velocity = 3.0;
    camera.integrate();
    EXPECT_EQ(camera.pitch, -45.0f);
    EXPECT_EQ(camera.pitch_motion.acceleration, 5.0);
    EXPECT_EQ(camera.pitch_motion.velocity, 2.0);
    EXPECT_DOUBLE_EQ(camera.yaw_motion.velocity, 0.11);
    EXPECT_FLOAT_EQ(camera.yaw, 0.11f);
    EXPECT_EQ(camera.position.z, 3.0f);
}

TEST(InertialCamera, HeldYawKeepsItsMotionButIsStillWrapped) {
    drifting_camera camera;
    camera.hold_yaw = true;
    camera.yaw = 190.0f;
    camera.yaw_motion = {5.0, 2.0};
    camera.pitch_motion.velocity = 0.1;
    camera.integrate();
    EXPECT_EQ(camera.yaw, -170.0f);
    EXPECT_EQ(camera.yaw_motion.acceleration, 5.0);
    EXPECT_EQ(camera.yaw_motion.velocity, 2.0);
    EXPECT_EQ(camera.pitch, 0.1f);
}

TEST(InertialCamera, VelocitiesNeverDecay) {
    drifting_camera camera;
    camera.yaw_motion.velocity = 0.2;
    camera.pitch_motion.velocity = -0.1;
    camera.position_motion.x.velocity = 2.0;
    for (int frame = 0; frame < 500; ++frame) camera.update(640, 480);
    EXPECT_EQ(camera.yaw_motion.velocity, 0.2);
    EXPECT_EQ(camera.pitch_motion.velocity, -0.1);
    EXPECT_NEAR(camera.yaw, 100.0f, 0.01f);
    EXPECT_NEAR(camera.pitch, -50.0f, 0.01f);
    EXPECT_EQ(camera.position.x, 1000.0f);
}

}  // namespace
}  // namespace quillant
