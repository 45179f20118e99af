// SPDX-License-Identifier: MIT
#include "render/frame_rate.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillant {
namespace {

// The overlay's figure counts the frames after the first of its second:
// twenty at 20 frames a second, not twenty-one.
TEST(FrameRate, TwentyFramesASecondReadTwenty) {
    frame_rate rate;
    std::vector<double> figures;
    for (int frame = 0; frame <= 60; ++frame) {
        if (const auto figure = rate.drawn(1000.0 + 50.0 * frame)) figures.push_back(*figure);
    }
    EXPECT_EQ(figures, (std::vector<double>{20.0, 20.0, 20.0}));
    frame_rate slow;
    EXPECT_FALSE(slow.drawn(0.0).has_value());
    EXPECT_FALSE(slow.drawn(999.0).has_value());
    EXPECT_EQ(slow.drawn(2000.0), 1.0) << "two frames a second apart";
}

}  // namespace
}  // namespace quillant
