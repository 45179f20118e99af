#include "camera/camera_gl.h"
#include "render/offscreen_context.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace quillant {
namespace {

using matrix = std::array<double, 16>;

struct vec3 {
    double x;
    double y;
    double z;
};

vec3 cross(vec3 a, vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

vec3 normalised(vec3 v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

double dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The view matrix, column-major as GL keeps it, of an eye looking along
// `forward` with `screen_up` pointing up on the screen: its rows are the
// screen's right, up and backward axes, and it moves the eye to the origin.
matrix look_at(vec3 eye, vec3 forward, vec3 screen_up) {
    const vec3 f = normalised(forward);
    const vec3 u = normalised(screen_up);
    const vec3 r = cross(f, u);
    const vec3 rows[3] = {r, u, {-f.x, -f.y, -f.z}};
    matrix m{};
    for (int row = 0; row < 3; ++row) {
        m[0 + row] = rows[row].x;
        m[4 + row] = rows[row].y;
        m[8 + row] = rows[row].z;
        m[12 + row] = -dot(rows[row], eye);
    }
    m[15] = 1.0;
    return m;
}

matrix current(GLenum which) {
    matrix m{};
    glGetDoublev(which, m.data());
    return m;
}

void expect_near(const matrix& actual, const matrix& expected, double tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

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
