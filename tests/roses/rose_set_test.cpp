// SPDX-License-Identifier: MIT
#include "roses/rose_set.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

namespace quillant {
namespace {

using testing::diagnostics_capture;

class RoseSet : public ::testing::Test {
protected:
    // Puts v points into slot `index` and makes a live rose of it.
    traj_rose& add_rose_of(int index, int v, float width = 800, float height = 600) {
        orbit_slot& slot = set.slots[index];
        slot.n = v;
        for (int k = 0; k < v; ++k) slot.points[k] = complex_f(0.5f, 0.5f);
        set.slot_states[index].store(slot_ready);
        auto rose = std::make_unique<traj_rose>(slot, index, rgba{255, 255, 255, 0}, 0.0f, 0.0f,
                                                1.0f, 1.0f, width, height);
        traj_rose& added = *rose;
        set.add_rose(std::move(rose));
        return added;
    }

    diagnostics_capture out{diagnostic_stream::output};
    rose_set set;
};

TEST_F(RoseSet, StartsWithTwoFreeSlotsAndNoRoses) {
    EXPECT_EQ(set.max_roses, 1);
    ASSERT_EQ(set.slots.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(set.slot_states[i].load(), slot_free);
        EXPECT_EQ(set.slots[i].points.size(), 3456u);
        EXPECT_EQ(set.slots[i].points_per_hop, 9);
        EXPECT_EQ(set.slots[i].max_hops, 384);
    }
    EXPECT_TRUE(set.roses.empty());
    EXPECT_EQ(set.rose_count.load(), 0u);
    EXPECT_EQ(set.width.load(), 0);
    EXPECT_EQ(set.height.load(), 0);
}

TEST_F(RoseSet, AddingARoseMakesItsSlotShowing) {
    add_rose_of(1, 9);
    EXPECT_EQ(set.slot_states[1].load(), slot_showing);
    EXPECT_EQ(set.slot_states[0].load(), slot_free);
    EXPECT_EQ(set.roses.size(), 1u);
    EXPECT_EQ(set.rose_count.load(), 1u);
}

// A rose of v vertices retires at the first ageing that brings its progress
// to 4v or beyond.
TEST_F(RoseSet, RoseRetiresAtFourTimesItsVertexCount) {
    const struct {
        int v;
        int ageing;
        int progress;
    } cases[] = {{1, 1, 6}, {2, 2, 9}, {9, 11, 36}, {3456, 4607, 13824}};
    for (const auto& c : cases) {
        traj_rose& rose = add_rose_of(0, c.v);
        for (int ageing = 1; ageing < c.ageing; ++ageing) {
            set.age_roses();
            ASSERT_EQ(set.roses.size(), 1u) << "V = " << c.v << " ageing " << ageing;
            ASSERT_EQ(rose.progress, 3 + 3 * ageing);
            ASSERT_EQ(set.slot_states[0].load(), slot_showing);
        }
        EXPECT_EQ(rose.progress + 3, c.progress) << "V = " << c.v;
        set.age_roses();
        EXPECT_TRUE(set.roses.empty()) << "V = " << c.v;
        EXPECT_EQ(set.rose_count.load(), 0u);
        EXPECT_EQ(set.slot_states[0].load(), slot_free);
    }
}

TEST_F(RoseSet, EmptyRoseRetiresAtItsFirstAgeing) {
    add_rose_of(0, 0);
    set.age_roses();
    EXPECT_TRUE(set.roses.empty());
    EXPECT_EQ(set.slot_states[0].load(), slot_free);
}

TEST_F(RoseSet, AgeingWithoutRosesChangesNothing) {
    set.slot_states[1].store(slot_ready);
    set.age_roses();
    EXPECT_TRUE(set.roses.empty());
    EXPECT_EQ(set.slot_states[0].load(), slot_free);
    EXPECT_EQ(set.slot_states[1].load(), slot_ready);
}

TEST_F(RoseSet, FittingLaysEveryRoseOutForTheNewSize) {
    traj_rose& rose = add_rose_of(0, 4, 0, 0);
    EXPECT_EQ(rose.vertices[3].x, 0.0f) << "no size yet";
    set.fit_roses(1000, 500);
    EXPECT_EQ(set.width.load(), 1000);
    EXPECT_EQ(set.height.load(), 500);
    EXPECT_EQ(rose.width, 1000.0f);
    EXPECT_EQ(rose.height, 500.0f);
    EXPECT_FLOAT_EQ(rose.vertices[3].x, 500.0f);
    EXPECT_FLOAT_EQ(rose.vertices[3].y, 250.0f);
    EXPECT_FLOAT_EQ(rose.vertices[3].z, -375.0f);
}

TEST_F(RoseSet, FittingToAZeroSizeKeepsTheVertices) {
    traj_rose& rose = add_rose_of(0, 4);
    const vertex before = rose.vertices[3];
    set.fit_roses(0, 768);
    EXPECT_EQ(set.width.load(), 0);
    EXPECT_EQ(set.height.load(), 768);
    EXPECT_EQ(rose.width, 0.0f);
    EXPECT_EQ(rose.height, 768.0f);
    EXPECT_EQ(rose.vertices[3].x, before.x);
    EXPECT_EQ(rose.vertices[3].y, before.y);
    EXPECT_EQ(rose.vertices[3].z, before.z);
}

TEST_F(RoseSet, FittingWithoutRosesOnlyStoresTheSize) {
    set.fit_roses(640, 480);
    EXPECT_EQ(set.width.load(), 640);
    EXPECT_EQ(set.height.load(), 480);
    EXPECT_TRUE(set.roses.empty());
}

}  // namespace
}  // namespace quillant
