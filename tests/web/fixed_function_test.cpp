// SPDX-License-Identifier: MIT
#include "render/offscreen_context.h"
#include "web/fixed_function.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace quillant {
namespace {

// The page's matrices against those that Mesa's GL and GLU make from the same
// calls, which the desktop builds draw with: the same up to single-precision
// rounding, whatever the sizes and camera, so that no call of the page's
// leaves a matrix as it was, or replaces where it should multiply.
TEST(FixedFunctionGl, MatricesAreMesasForTheSameCalls) {
    offscreen_context context(16, 16);
    ASSERT_TRUE(context.ready());
    std::mt19937 engine(2026);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(engine);
    };
    for (int trial = 0; trial < 200; ++trial) {
        const double fovy = uniform(5.0, 60.0);
        const double aspect = uniform(0.3, 3.0);
        const double eye[3] = {uniform(-3000, 3000), uniform(-3000, 3000), uniform(-3000, 3000)};
        const double d[3] = {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
        const double up[3] = {-d[2] * d[0], -d[2] * d[1], d[0] * d[0] + d[1] * d[1]};

        fixed_function_gl page;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        page.select(fixed_function_gl::stack::projection);
        page.load_identity();
        gluPerspective(fovy, aspect, 1.0, 10000000.0);
        page.perspective(fovy, aspect, 1.0, 10000000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        page.select(fixed_function_gl::stack::modelview);
        page.load_identity();
        // The fixed look-at, pushed, then the camera's view in its place.
        gluLookAt(512, 384, 2304, 512, 384, -384, 0, 1, 0);
        page.look_at(512, 384, 2304, 512, 384, -384, 0, 1, 0);
        glPushMatrix();
        page.push();
        glLoadIdentity();
        page.load_identity();
        gluLookAt(eye[0], eye[1], eye[2], eye[0] + d[0], eye[1] + d[1], eye[2] + d[2], up[0],
                  up[1], up[2]);
        page.look_at(eye[0], eye[1], eye[2], eye[0] + d[0], eye[1] + d[1], eye[2] + d[2], up[0],
                     up[1], up[2]);

        using stack = fixed_function_gl::stack;
        for (const auto& [name, which] : {std::pair{GL_PROJECTION_MATRIX, stack::projection},
                                          std::pair{GL_MODELVIEW_MATRIX, stack::modelview}}) {
            GLfloat mesa[16];
            glGetFloatv(name, mesa);
            const gl_matrix& ours = page.top(which);
            for (int i = 0; i < 16; ++i) {
                const float scale = std::max(1.0f, std::fabs(mesa[i]));
                EXPECT_NEAR(ours[i], mesa[i], 4e-6f * scale)
                    << "trial " << trial << ", element " << i;
            }
        }
        glPopMatrix();
        page.pop();
        GLfloat mesa[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
        EXPECT_NEAR(page.top(fixed_function_gl::stack::modelview)[14], mesa[14], 1e-3f)
            << "the pop brings back the fixed look-at";
    }
}

// Pixels of a picture that are not black.
std::vector<bool> lit(const std::vector<std::uint8_t>& pixels) {
    std::vector<bool> on(pixels.size() / 4);
    for (std::size_t i = 0; i < on.size(); ++i) {
        on[i] = pixels[4 * i] + pixels[4 * i + 1] + pixels[4 * i + 2] > 0;
    }
    return on;
}

// A strip of vertices and colours as the scene keeps a rose's.
struct test_strip {
    std::vector<float> xyz;
    std::vector<std::uint8_t> rgba;
    line_strip strip() const {
        return {reinterpret_cast<const unsigned char*>(xyz.data()), 12, rgba.data(), 4,
                static_cast<std::int32_t>(xyz.size() / 3)};
    }
};

// The page's wide lines cover what GL's own 2-pixel lines cover, with the
// same colours, where the strip stays in front of the eye and where it
// passes behind it.
TEST(FixedFunctionGl, WideLinesCoverWhatGlsWideLinesCover) {
    constexpr std::int32_t size = 200;
    offscreen_context context(size, size);
    ASSERT_TRUE(context.ready());
    fixed_function_gl page;
    glViewport(0, 0, size, size);
    page.viewport(0, 0, size, size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, 1.0, 1.0, 10000.0);
    page.select(fixed_function_gl::stack::projection);
    page.perspective(40.0, 1.0, 1.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 10, 0, 0, 0, 0, 1, 0);
    page.select(fixed_function_gl::stack::modelview);
    page.look_at(0, 0, 10, 0, 0, 0, 0, 1, 0);

    // A spiral in depth, some of it behind the eye at z = 10.
    test_strip spiral;
    for (int i = 0; i < 300; ++i) {
        const double t = i * 0.07;
        spiral.xyz.insert(spiral.xyz.end(), {static_cast<float>(3 * std::cos(t)),
                                             static_cast<float>(3 * std::sin(t) * 0.7),
                                             static_cast<float>(-20 + i * 0.1)});
        spiral.rgba.insert(spiral.rgba.end(), {255, static_cast<std::uint8_t>(i % 256), 40, 255});
    }

    // GL's line strip.
    glClear(GL_COLOR_BUFFER_BIT);
    glLineWidth(2.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 12, spiral.xyz.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 4, spiral.rgba.data());
    glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(spiral.xyz.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    const std::vector<std::uint8_t> gl_picture = context.pixels();

    // The page's triangles, given in clip coordinates.
    std::vector<clip_vertex> corners;
    page.line_strip_triangles(spiral.strip(), 2.0f, corners);
    ASSERT_EQ(corners.size() % 3, 0u);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_TRIANGLES);
    for (const clip_vertex& c : corners) {
        glColor4ub(c.red, c.green, c.blue, c.alpha);
        glVertex4f(c.x, c.y, c.z, c.w);
    }
    glEnd();
    const std::vector<std::uint8_t> page_picture = context.pixels();

    const std::vector<bool> gl_lit = lit(gl_picture);
    const std::vector<bool> page_lit = lit(page_picture);
    int gl_count = 0;
    int both = 0;
    int differing = 0;
    for (std::size_t i = 0; i < gl_lit.size(); ++i) {
        gl_count += gl_lit[i];
        both += gl_lit[i] && page_lit[i];
        differing += gl_lit[i] != page_lit[i];
        if (gl_lit[i] && page_lit[i]) {
            EXPECT_NEAR(page_picture[4 * i], gl_picture[4 * i], 2) << "red of pixel " << i;
            EXPECT_NEAR(page_picture[4 * i + 1], gl_picture[4 * i + 1], 40)
                << "green of pixel " << i;
        }
    }
    ASSERT_GT(gl_count, 1000) << "GL drew the spiral";
    // Rasterising wide lines and triangles differs only at a few edges.
    EXPECT_GT(both, gl_count * 97 / 100);
    EXPECT_LT(differing, gl_count * 3 / 100);
}

TEST(FixedFunctionGl, StripsBehindTheEyeOrOfOneVertexMakeNothing) {
    fixed_function_gl page;
    page.viewport(0, 0, 100, 100);
    page.select(fixed_function_gl::stack::projection);
    page.perspective(40.0, 1.0, 1.0, 100.0);
    test_strip behind{{0, 0, 5, 1, 1, 5, 2, 0, 5},
                      {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255}};
    std::vector<clip_vertex> corners;
    page.line_strip_triangles(behind.strip(), 2.0f, corners);
    EXPECT_TRUE(corners.empty()) << "the whole strip lies behind the eye";

    test_strip single{{0, 0, -5}, {255, 0, 0, 255}};
    page.line_strip_triangles(single.strip(), 2.0f, corners);
    EXPECT_TRUE(corners.empty());

    test_strip in_front{{0, 0, -5, 1, 0, -5}, {255, 0, 0, 255, 0, 0, 255, 255}};
    page.line_strip_triangles(in_front.strip(), 2.0f, corners);
    ASSERT_EQ(corners.size(), 6u) << "one segment, two triangles";
    // An x-major segment 2 pixels wide: its corners lie a pixel above and
    // below it, at either end the end's own colour.
    const float pixel = 2.0f / 100.0f;
    EXPECT_NEAR(corners[0].y / corners[0].w - corners[1].y / corners[1].w, 2 * pixel, 1e-6f);
    EXPECT_EQ(corners[0].red, 255);
    EXPECT_EQ(corners[2].blue, 255);
}

}  // namespace
}  // namespace quillant
