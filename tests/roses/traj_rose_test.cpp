// SPDX-License-Identifier: MIT
#include "roses/traj_rose.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

namespace quillant {
namespace {

using testing::diagnostics_capture;

// A slot holding v points along the diagonal from (-1, -1) towards (1, 1).
orbit_slot slot_with_points(int v) {
    orbit_slot slot;
    slot.n = v;
    slot.hops = (v + 8) / 9;
    for (int k = 0; k < v; ++k) {
        const float t = v > 1 ? -1.0f + 2.0f * k / (v - 1) : 0.0f;
        slot.points[k] = complex_f(t, t);
    }
    return slot;
}

const rgba base{200, 100, 50, 9};

std::vector<int> alphas(const traj_rose& rose) {
    std::vector<int> result;
    for (const rgba& c : rose.colours) result.push_back(c.alpha);
    return result;
}

TEST(TrajRose, ColourRampIsMirroredAboutTheMiddle) {
    const struct {
        int v;
        std::vector<int> alphas;
    } cases[] = {
        {1, {255, 255}},
        {2, {0, 255, 255, 0}},
        {3, {0, 115, 255, 255, 115, 0}},
        {4, {0, 0, 133, 255, 255, 133, 0, 0}},
        {9, {0, 0, 0, 0, 99, 115, 140, 183, 255, 255, 183, 140, 115, 99, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        diagnostics_capture out(diagnostic_stream::output);
        const orbit_slot slot = slot_with_points(c.v);
        const traj_rose rose(slot, 0, base, -1, -1, 1, 1, 800, 600);
        EXPECT_EQ(alphas(rose), c.alphas) << "V = " << c.v;
        for (const rgba& colour : rose.colours) {
            if (colour.alpha == 0) {
                EXPECT_EQ(colour.red + colour.green + colour.blue, 0) << "transparent black";
            } else {
                EXPECT_EQ(colour.red, 200);
                EXPECT_EQ(colour.green, 100);
                EXPECT_EQ(colour.blue, 50);
            }
        }
    }
}

TEST(TrajRose, IsBuiltWithItsBoundsAndStartingProgress) {
    diagnostics_capture out(diagnostic_stream::output);
    const orbit_slot slot = slot_with_points(20);
    const traj_rose rose(slot, 1, base, -1.5f, -0.5f, 0.5f, 1.5f, 800.75f, 600.5f);
    EXPECT_EQ(&rose.slot, &slot);
    EXPECT_EQ(rose.slot_index, 1);
    EXPECT_EQ(rose.vertices.size(), 20u);
    EXPECT_EQ(rose.colours.size(), 40u);
    EXPECT_EQ(rose.progress, 3);
    EXPECT_EQ(rose.x_min, -1.5f);
    EXPECT_EQ(rose.y_min, -0.5f);
    EXPECT_EQ(rose.x_max, 0.5f);
    EXPECT_EQ(rose.y_max, 1.5f);
    EXPECT_EQ(rose.width, 800.0f) << "the size is truncated to whole pixels";
    EXPECT_EQ(rose.height, 600.0f);
}

TEST(TrajRose, LayoutFillsTheWindowAndStepsBackInDepth) {
    diagnostics_capture out(diagnostic_stream::output);
    orbit_slot slot = slot_with_points(6);
    slot.points[0] = complex_f(0.0f, 0.0f);
    slot.points[1] = complex_f(-1.0f, 1.0f);
    slot.points[2] = complex_f(1.0f, -1.0f);
    const traj_rose rose(slot, 0, base, -1, -1, 1, 1, 800, 600);
    EXPECT_FLOAT_EQ(rose.vertices[0].x, 400.0f);
    EXPECT_FLOAT_EQ(rose.vertices[0].y, 300.0f);
    EXPECT_FLOAT_EQ(rose.vertices[1].x, 0.0f);
    EXPECT_FLOAT_EQ(rose.vertices[1].y, 600.0f);
    EXPECT_FLOAT_EQ(rose.vertices[2].x, 800.0f);
    EXPECT_FLOAT_EQ(rose.vertices[2].y, 0.0f);
    for (int k = 0; k < 6; ++k) {
        EXPECT_FLOAT_EQ(rose.vertices[k].z, -600.0f * k / 6) << "vertex " << k;
    }
}

TEST(TrajRose, UnknownSizeLeavesVerticesAtTheOriginUntilLaidOut) {
    diagnostics_capture out(diagnostic_stream::output);
    const orbit_slot slot = slot_with_points(5);
    traj_rose rose(slot, 0, base, -1, -1, 1, 1, 0, 600);
    for (const vertex& v : rose.vertices) {
        EXPECT_EQ(v.x, 0.0f);
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_EQ(v.z, 0.0f);
    }
    rose.width = 100;
    rose.height = 100;
    rose.lay_out();
    EXPECT_FLOAT_EQ(rose.vertices[4].x, 100.0f);
    EXPECT_FLOAT_EQ(rose.vertices[4].z, -80.0f);
}

TEST(TrajRose, SingleVertexRoseLiesInThePlaneOfTheWindow) {
    diagnostics_capture out(diagnostic_stream::output);
    const orbit_slot slot = slot_with_points(1);
    const traj_rose rose(slot, 0, base, -1, -1, 1, 1, 800, 600);
    ASSERT_EQ(rose.vertices.size(), 1u);
    EXPECT_EQ(rose.vertices[0].z, 0.0f);
}

TEST(TrajRose, EmptySlotGivesARoseWithoutArrays) {
    diagnostics_capture out(diagnostic_stream::output);
    const orbit_slot slot = slot_with_points(0);
    const traj_rose rose(slot, 0, base, -1, -1, 1, 1, 800, 600);
    EXPECT_TRUE(rose.vertices.empty());
    EXPECT_TRUE(rose.colours.empty());
}

TEST(TrajRose, DumpDescribesTheSlotByteForByte) {
    orbit_slot slot;
    slot.hops = 384;
    slot.n = 3456;
    slot.centroid = complex_f(0.1f, -0.25f);
    slot.angle = 1.0f;
    slot.radius = 0.3f;
    diagnostics_capture out(diagnostic_stream::output);
    const traj_rose rose(slot, 0, base, -1, -1, 1, 1, 800, 600);
    EXPECT_EQ(out.text(),
              "traj_rose:\n"
              "\thops:       384\n"
              "\tcentroid:   (0.1,-0.25)\n"
              "\tangle:      1 (57.2958)\n"
              "\tradius:     0.3\n"
              "\tn:          3456\n"
              "\n");
}

}  // namespace
}  // namespace quillant
