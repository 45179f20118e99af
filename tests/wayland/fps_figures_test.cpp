// SPDX-License-Identifier: MIT
#include "wayland/fps_figures.h"

#include <gtest/gtest.h>

#include <string>

namespace quillant {
namespace {

// The figure after one second of frames every period_us, from the first.
std::string first_figure(std::int64_t period_us) {
    fps_figures figures;
    for (std::int64_t t = 0; figures.text().empty(); t += period_us) figures.count(t);
    return figures.text().substr(0, figures.text().find(' '));
}

TEST(fps_figures, first_figure_counts_the_frames_of_its_second) {
    EXPECT_EQ(first_figure(50000), "20.0");
    EXPECT_EQ(first_figure(100000), "10.0");
    EXPECT_EQ(first_figure(16667), "60.0");
}

TEST(fps_figures, later_figures_count_alike) {
    fps_figures figures;
    std::int64_t t = 0;
    for (; t <= 1000000; t += 50000) figures.count(t);
    ASSERT_EQ(figures.text().substr(0, 4), "20.0");
    // A slower second: 10 frames more.
    for (t = 1100000; t <= 2000000; t += 100000) figures.count(t);
    EXPECT_EQ(figures.text().substr(0, 4), "10.0");
}

}  // namespace
}  // namespace quillant
