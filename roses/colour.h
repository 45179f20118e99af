// SPDX-License-Identifier: MIT
// Colours of the rose field: packed RGBA bytes and the HSV conversion that
// makes a rose's base colour.
#pragma once

#include <cstdint>

namespace quillant {

struct rgba {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t alpha;
};
static_assert(sizeof(rgba) == 4, "colours are drawn as packed bytes");

// Writes the red, green and blue of (h, s, v) into the colour, truncating
// each channel; its alpha is left as it was. h lies in [0, 1], 1 meaning 0.
void hsv_to_rgb(double h, double s, double v, rgba& colour);

}  // namespace quillant
