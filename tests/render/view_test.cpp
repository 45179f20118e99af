// SPDX-License-Identifier: MIT
#include "render/offscreen_context.h"
#include "render/view.h"
#include "tests/support/gl_matrix.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace quillant {
namespace {

using namespace testing::gl;

constexpr double radians_per_degree = 3.141592653589793 / 180.0;

// The vertical field of view and aspect ratio GL's projection matrix holds.
struct projection_shape {
    double fovy_degrees;
    double aspect;
};

projection_shape shape_of(const matrix& p) {
    return {2.0 * std::atan(1.0 / p[5]) / radians_per_degree, p[5] / p[0]};
}

TEST(SetUpView, PerspectiveAndFixedLookAtFor1024By768) {
    offscreen_context context(1024, 768);
    ASSERT_TRUE(context.ready());
    ball_camera root;
    set_up_view(root, 1024, 768);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);

    const matrix p = current(GL_PROJECTION_MATRIX);
    const projection_shape shape = shape_of(p);
    EXPECT_NEAR(shape.fovy_degrees, 20.81, 0.005);
    EXPECT_NEAR(shape.aspect, 4.0 / 3.0, 1e-6);
    // The short pi of the conversion: 360 / 3.14159 rather than 360 / pi.
    const double s = std::sqrt(1024.0 * 1024.0 + 2.0 * 768.0 * 768.0);
    const double fovy = std::atan(768.0 / (2.0 * (3.0 * 768 - (0.4 * s - 0.5 * 768)))) *
                        (360.0 / 3.14159);
    EXPECT_NEAR(p[5], 1.0 / std::tan(fovy / 2.0 * radians_per_degree), 1e-6);
    const double fovy_with_pi = fovy * 3.14159 / 3.141592653589793;
    EXPECT_GT(std::fabs(p[5] - 1.0 / std::tan(fovy_with_pi / 2.0 * radians_per_degree)), 2e-6);
    // Near plane 1; the far plane, ten million, is beyond what the matrix's
    // single precision tells apart.
    const double near_plane = p[14] / (p[10] - 1.0);
    const double far_plane = p[14] / (p[10] + 1.0);
    EXPECT_NEAR(near_plane, 1.0, 1e-3);
    EXPECT_GT(far_plane, 1e6);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expect_near(current(GL_MODELVIEW_MATRIX), look_at({512, 384, 2304}, {0, 0, -1}, {0, 1, 0}),
                1e-6);
}

TEST(SetUpView, EveryFourToThreeWindowGetsTheSameFieldOfView) {
    for (const auto& size : {std::pair{800, 600}, std::pair{640, 480}, std::pair{1600, 1200}}) {
        offscreen_context context(size.first, size.second);
        ASSERT_TRUE(context.ready());
        ball_camera root;
        set_up_view(root, size.first, size.second);
        EXPECT_NEAR(shape_of(current(GL_PROJECTION_MATRIX)).fovy_degrees, 20.81, 0.005)
            << size.first << " x " << size.second;
    }
}

TEST(SetUpView, StoresTheSizeAndLaysTheRosesOutForIt) {
    testing::diagnostics_capture out(diagnostic_stream::output);
    offscreen_context context(320, 200);
    ASSERT_TRUE(context.ready());
    ball_camera scene;
    orbit_slot& slot = scene.roses.slots[0];
    slot.n = 2;
    slot.points[1] = complex_f(1.0f, 1.0f);
    scene.roses.add_rose(
        std::make_unique<traj_rose>(slot, 0, rgba{1, 2, 3, 0}, 0.0f, 0.0f, 1.0f, 1.0f, 0, 0));
    set_up_view(scene, 320, 200);
    EXPECT_EQ(scene.width, 320);
    EXPECT_EQ(scene.height, 200);
    EXPECT_EQ(scene.roses.width.load(), 320);
    const traj_rose& rose = *scene.roses.roses.front();
    EXPECT_FLOAT_EQ(rose.vertices[1].x, 320.0f);
    EXPECT_FLOAT_EQ(rose.vertices[1].y, 200.0f);
    EXPECT_FLOAT_EQ(rose.vertices[1].z, -100.0f);
}

}  // namespace
}  // namespace quillant
