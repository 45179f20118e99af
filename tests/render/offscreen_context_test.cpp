// SPDX-License-Identifier: MIT
#include "render/offscreen_context.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace quillant {
namespace {

TEST(OffscreenContext, RefusesAnEmptyBuffer) {
    offscreen_context none(0, 4);
    EXPECT_FALSE(none.ready());
    EXPECT_TRUE(none.pixels().empty());
}

// The bottom row is cleared red, the rest blue: the buffer must start with
// the bottom row, four bytes a pixel.
TEST(OffscreenContext, GivesRgbaRowsBottomUp) {
    offscreen_context context(3, 2);
    ASSERT_TRUE(context.ready());
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 3, 1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    const std::vector<std::uint8_t>& pixels = context.pixels();
    ASSERT_EQ(pixels.size(), 3u * 2u * 4u);
    const std::vector<std::uint8_t> red{255, 0, 0, 255};
    const std::vector<std::uint8_t> blue{0, 0, 255, 255};
    for (int i = 0; i < 6; ++i) {
        const std::vector<std::uint8_t> pixel(pixels.begin() + 4 * i, pixels.begin() + 4 * i + 4);
        EXPECT_EQ(pixel, i < 3 ? red : blue) << "pixel " << i;
    }
}

}  // namespace
}  // namespace quillant
