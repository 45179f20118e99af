// SPDX-License-Identifier: MIT
#include "roses/colour.h"

#include <gtest/gtest.h>

namespace quillant {
namespace {

struct hsv_case {
    double h, s, v;
    int red, green, blue;
};

rgba convert(double h, double s, double v) {
    rgba colour{1, 2, 3, 77};
    hsv_to_rgb(h, s, v, colour);
    return colour;
}

TEST(HsvToRgb, ConvertsKnownColoursWithTruncation) {
    const hsv_case cases[] = {
        {0.25, 0.6, 0.75, 133, 191, 76},
        {0.0, 0.6, 0.75, 191, 76, 76},
        {0.9, 0.6, 0.75, 191, 76, 145},
        {1.0, 0.8, 0.8, 204, 40, 40},  // hue 1 is hue 0
        {0.7, 0.0, 0.8, 204, 204, 204},  // no saturation: grey
        {0.5, 1.0, 1.0, 0, 255, 255},
    };
    for (const auto& c : cases) {
        const rgba colour = convert(c.h, c.s, c.v);
        EXPECT_EQ(colour.red, c.red) << c.h << ' ' << c.s << ' ' << c.v;
        EXPECT_EQ(colour.green, c.green) << c.h << ' ' << c.s << ' ' << c.v;
        EXPECT_EQ(colour.blue, c.blue) << c.h << ' ' << c.s << ' ' << c.v;
        EXPECT_EQ(colour.alpha, 77) << "the fourth byte is left alone";
    }
}

// At each sector edge the colour is the pure corner of the next sector, and
// just below it the end of the previous one.
TEST(HsvToRgb, SectorEdgesMeetContinuously) {
    const rgba corners[] = {{255, 0, 0, 0},   {255, 255, 0, 0}, {0, 255, 0, 0},
                            {0, 255, 255, 0}, {0, 0, 255, 0},   {255, 0, 255, 0}};
    for (int sector = 0; sector < 6; ++sector) {
        const rgba at = convert(sector / 6.0, 1.0, 1.0);
        const rgba& corner = corners[sector];
        EXPECT_EQ(at.red, corner.red) << "sector " << sector;
        EXPECT_EQ(at.green, corner.green) << "sector " << sector;
        EXPECT_EQ(at.blue, corner.blue) << "sector " << sector;
    }
    const rgba before_green = convert(2.0 / 6.0 - 1e-9, 1.0, 1.0);
    EXPECT_EQ(before_green.red, 0);  // truncated from just above 0
    EXPECT_EQ(before_green.green, 255);
    EXPECT_EQ(before_green.blue, 0);
    const rgba end_of_circle = convert(1.0 - 1e-9, 1.0, 1.0);
    EXPECT_EQ(end_of_circle.red, 255);
    EXPECT_EQ(end_of_circle.green, 0);
    EXPECT_EQ(end_of_circle.blue, 0);
}

TEST(HsvToRgb, HueAboveOneGivesTheGrey) {
    const rgba colour = convert(1.5, 0.8, 0.8);
    EXPECT_EQ(colour.red, 204);
    EXPECT_EQ(colour.green, 204);
    EXPECT_EQ(colour.blue, 204);
}

}  // namespace
}  // namespace quillant
