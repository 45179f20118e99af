// SPDX-License-Identifier: MIT
#include "generation/generation_step.h"
#include "generation/random_source.h"
#include "render/frame.h"
#include "render/offscreen_context.h"
#include "render/view.h"
#include "tests/support/gl_matrix.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <vector>

namespace quillant {
namespace {

using namespace testing::gl;

// What GL drew: the vertex and colour indices along one line strip.
struct drawn_strip {
    std::vector<int> vertices;
    std::vector<int> colours;
};

// A rose of n vertices in a row across the viewport, whose colour i has red
// 10 i, so that feedback tells which vertex and which colour were drawn.
class RoseDrawing : public ::testing::Test {
protected:
    static constexpr int n = 10;

    void SetUp() override {
        ASSERT_TRUE(context.ready());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        slot.n = n;
        testing::diagnostics_capture out(diagnostic_stream::output);
        rose = std::make_unique<traj_rose>(slot, 0, rgba{0, 0, 0, 0}, 0.0f, 0.0f, 1.0f, 1.0f,
                                           0.0f, 0.0f);
        for (int k = 0; k < n; ++k) rose->vertices[k] = {-0.9f + 0.2f * k, 0.0f, 0.0f};
        for (int i = 0; i < 2 * n; ++i) {
            rose->colours[i] = rgba{static_cast<std::uint8_t>(10 * i), 0, 0, 255};
        }
    }

    // Draws the rose at progress p in feedback mode and reads the strip back.
    drawn_strip draw_at(std::int32_t p) {
        rose->progress = p;
        std::vector<GLfloat> feedback(4096);
        glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D_COLOR, feedback.data());
        glRenderMode(GL_FEEDBACK);
        draw_rose(*rose);
        const GLint values = glRenderMode(GL_RENDER);
        drawn_strip strip;
        // Each line is a token and two vertices of x, y, z and RGBA.
        for (GLint at = 0; at + 15 <= values; at += 15) {
            for (int end = 0; end < 2; ++end) {
                const GLfloat* v = &feedback[at + 1 + 7 * end];
                const int vertex = static_cast<int>(std::lround((v[0] / 50.0 - 0.1) / 0.2));
                const int colour = static_cast<int>(std::lround(v[3] * 255.0 / 10.0));
                if (end == 0 && !strip.vertices.empty()) continue;
                strip.vertices.push_back(vertex);
                strip.colours.push_back(colour);
            }
        }
        return strip;
    }

    static std::vector<int> run(int from, int to) {
        std::vector<int> result;
        for (int i = from; i <= to; ++i) result.push_back(i);
        return result;
    }

    offscreen_context context{100, 10};
    orbit_slot slot;
    std::unique_ptr<traj_rose> rose;
};

TEST_F(RoseDrawing, GrowsRunsItsColoursTwiceAndWithers) {
    const struct {
        std::int32_t progress;
        int first_vertex, last_vertex, first_colour, last_colour;
    } cases[] = {
        {6, 3, 9, 10, 16},   // growing from the last vertex
        {9, 0, 9, 10, 19},   // n - 1: the whole strip
        {10, 0, 9, 10, 19},  // n: the first colour run begins
        {12, 0, 9, 8, 17},   // colours move towards the last vertex
        {24, 0, 9, 4, 13},   // and back in the second run
        {33, 4, 9, 10, 15},  // withering from vertex 0
    };
    for (const auto& c : cases) {
        const drawn_strip strip = draw_at(c.progress);
        EXPECT_EQ(strip.vertices, run(c.first_vertex, c.last_vertex)) << "p = " << c.progress;
        EXPECT_EQ(strip.colours, run(c.first_colour, c.last_colour)) << "p = " << c.progress;
    }
}

TEST_F(RoseDrawing, FewerThanTwoVerticesLeftMakesNoGlCall) {
    glLineWidth(5.0f);
    for (const std::int32_t p : {38, 39, 40, 1000}) {
        EXPECT_TRUE(draw_at(p).vertices.empty()) << "p = " << p;
        GLfloat width = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &width);
        EXPECT_EQ(width, 5.0f) << "not even the line width is set";
    }
    const drawn_strip last = draw_at(37);
    EXPECT_EQ(last.vertices, run(8, 9));
}

TEST_F(RoseDrawing, LeavesTheClientArraysSwitchedOff) {
    draw_at(12);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 2.0f);
}

TEST_F(RoseDrawing, RoseOfOneVertexIsNeverDrawn) {
    testing::diagnostics_capture out(diagnostic_stream::output);
    orbit_slot one;
    one.n = 1;
    const traj_rose single(one, 0, rgba{255, 255, 255, 0}, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f);
    std::vector<GLfloat> feedback(64);
    glFeedbackBuffer(64, GL_3D_COLOR, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw_rose(single);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
}

// Whole frames through the saver's own view set-up, scene and drawing.
class FrameRendering : public ::testing::Test {
protected:
    static constexpr std::int32_t width = 160;
    static constexpr std::int32_t height = 120;

    void SetUp() override {
        ASSERT_TRUE(context.ready());
        random_source flight(21);  // the camera's flight, which it seeds from a source
        scene = std::make_unique<ball_camera>(flight);
        set_up_view(*scene, width, height);  // the test makes the roses itself
        fixed_look_at = current(GL_MODELVIEW_MATRIX);
    }

    // Makes a live rose of an accepted orbit in the given base colour, as the
    // generation step would.
    traj_rose& add_rose(rgba base) {
        orbit_slot& slot = scene->roses.slots[0];
        {
            testing::silenced_diagnostics quiet;
            reseed_random_engine(21);
            search_orbit(slot);
        }
        const float r = slot.radius * 1.2f;
        const complex_f c = slot.centroid;
        testing::diagnostics_capture out(diagnostic_stream::output);
        scene->roses.add_rose(std::make_unique<traj_rose>(
            slot, 0, base, c.real() - r, c.imag() - r, c.real() + r, c.imag() + r,
            static_cast<float>(width), static_cast<float>(height)));
        return *scene->roses.roses.front();
    }

    offscreen_context context{width, height};
    std::unique_ptr<ball_camera> scene;
    matrix fixed_look_at{};
};

TEST_F(FrameRendering, FrameWithoutRosesIsBlack) {
    render_frame(*scene);
    const std::vector<std::uint8_t>& pixels = context.pixels();
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i] + pixels[i + 1] + pixels[i + 2], 0) << "pixel " << i / 4;
    }
}

// Blending the rose's colour at its alphas over black keeps its hue: every
// lit pixel is the base colour scaled, the brightest is the base itself.
TEST_F(FrameRendering, LiveRoseShowsItsColour) {
    traj_rose& rose = add_rose(rgba{240, 120, 0, 0});
    rose.progress = static_cast<std::int32_t>(rose.vertices.size());  // the whole strip
    render_frame(*scene);
    const std::vector<std::uint8_t>& pixels = context.pixels();
    int lit = 0;
    int off_hue = 0;
    int brightest = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const int red = pixels[i];
        const int green = pixels[i + 1];
        const int blue = pixels[i + 2];
        if (red + green + blue == 0) continue;
        ++lit;
        brightest = std::max(brightest, red);
        if (std::abs(2 * green - red) > 4) ++off_hue;
        EXPECT_EQ(blue, 0) << "pixel " << i / 4;
    }
    EXPECT_GT(lit, 50);
    // NOTE: where hundreds of faint strokes overlap, at the orbit's attracting
    // end, 8-bit blending stops each channel short at its own rounding point,
    // which bends the hue of those few pixels; every other pixel keeps it.
    EXPECT_LE(off_hue, lit / 100) << "of " << lit << " lit pixels";
    EXPECT_GE(brightest, 238);
    EXPECT_EQ(rose.progress, static_cast<std::int32_t>(rose.vertices.size()) + 3) << "aged once";
}

TEST_F(FrameRendering, FrameReturnsToTheFixedLookAtAndKeepsItsState) {
    add_rose(rgba{255, 255, 255, 0});
    render_frame(*scene);
    expect_near(current(GL_MODELVIEW_MATRIX), fixed_look_at, 1e-9);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
}

// With the size unknown nothing ages or moves, and the roses are drawn under
// the fixed look-at.
TEST_F(FrameRendering, WithoutAWindowSizeRosesAreDrawnUnderTheFixedLookAt) {
    traj_rose& rose = add_rose(rgba{255, 255, 255, 0});
    rose.progress = 500;
    scene->width = 0;
    render_frame(*scene);
    EXPECT_EQ(rose.progress, 500);
    EXPECT_EQ(scene->pitch, 0.0f);
    const std::vector<std::uint8_t>& pixels = context.pixels();
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 0;
    EXPECT_GT(lit, 50);
}

}  // namespace
}  // namespace quillant
