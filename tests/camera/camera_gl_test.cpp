// SPDX-License-Identifier: MIT
#include "camera/camera_gl.h"
#include "render/offscreen_context.h"
#include "tests/support/gl_matrix.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace quillant {
namespace {

using namespace testing::gl;

camera_gl camera_at(scene_point position, float pitch, float yaw) {
    camera_gl camera;
    camera.position = position;
    camera.pitch = pitch;
    camera.yaw = yaw;
    return camera;
}

class CameraView : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ready()); }

    offscreen_context context{8, 8};
};

TEST_F(CameraView, LevelCameraLooksAlongItsYawWithZUp) {
    camera_at({0, 0, 0}, 0.0f, 0.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), 1e-6);

    camera_at({0, 0, 0}, 0.0f, 90.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {0, 1, 0}, {0, 0, 1}), 1e-6);

    camera_at({0, 0, 0}, 0.0f, -135.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {-1, -1, 0}, {0, 0, 1}), 1e-6);
}

// Straight down, +z has nothing left across the line of sight; the yaw
// direction is what points up on the screen.
TEST_F(CameraView, LookingStraightDownTheYawPointsUpTheScreen) {
    camera_at({0, 0, 0}, -90.0f, 0.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {0, 0, -1}, {1, 0, 0}), 1e-6);

    camera_at({0, 0, 0}, -90.0f, 90.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {0, 0, -1}, {0, 1, 0}), 1e-6);

    camera_at({512, 384, 2304}, -90.0f, 180.0f).apply_view();
    expect_near(current(GL_MODELVIEW_MATRIX),
                look_at({512, 384, 2304}, {0, 0, -1}, {-1, 0, 0}), 1e-3);
}

TEST_F(CameraView, TiltedCameraAwayFromTheOriginMovesItsEyeToTheOrigin) {
    const scene_point eye{100.0f, -50.0f, 20.0f};
    camera_at(eye, 30.0f, 45.0f).apply_view();
    // 30 degrees above the diagonal of the first quadrant; screen-up leans
    // back towards the eye by the same angle.
    const double c = std::sqrt(3.0) / 2.0;
    const double h = std::sqrt(0.5);
    expect_near(current(GL_MODELVIEW_MATRIX),
                look_at({100, -50, 20}, {c * h, c * h, 0.5}, {-0.5 * h, -0.5 * h, c}), 1e-5);
}

TEST_F(CameraView, ReplacesTheModelviewMatrixAndLeavesTheProjectionAlone) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(5.0, 6.0, 7.0);
    glRotated(30.0, 1.0, 2.0, 3.0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(2.0, 3.0, 4.0);
    const matrix projection = current(GL_PROJECTION_MATRIX);

    camera_at({0, 0, 0}, 0.0f, 0.0f).apply_view();

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), 1e-6);
    EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection);
}

// The order of the two operations shows in the last bit for many angles,
// such as -179.5, where multiplying by a ready-made pi / 180 differs.
TEST(CameraAngles, DegreesAreMultipliedByPiBeforeDividing) {
    EXPECT_EQ(to_radians(180.0f), 3.141592653589793);
    EXPECT_EQ(to_radians(-179.5f), -179.5 * 3.141592653589793 / 180.0);
    EXPECT_NE(to_radians(-179.5f), -179.5 * (3.141592653589793 / 180.0));
}

}  // namespace
}  // namespace quillant
