// SPDX-License-Identifier: MIT
#include "roses/colour.h"

namespace quillant {

namespace {

std::uint8_t truncated_byte(double value) {
    return static_cast<std::uint8_t>(static_cast<int>(value));
}

}  // namespace

void hsv_to_rgb(double h, double s, double v, rgba& colour) {
    if (h == 1.0) h = 0.0;
    const double value = v * 255.0;
    const std::uint8_t w = truncated_byte(value);
    colour.red = colour.green = colour.blue = w;
    if (s == 0.0) return;

    const double sector_position = h * 360.0 / 60.0;
    const int sector = static_cast<int>(sector_position);
    const double f = sector_position - sector;
    const std::uint8_t p = truncated_byte(value * (1.0 - s));
    const std::uint8_t q = truncated_byte(value * (1.0 - f * s));
    const std::uint8_t t = truncated_byte(value * (1.0 - s * (1.0 - f)));
    // Beyond the six sectors (h above 1) the grey above stands.
    switch (sector) {
        case 0: colour = {w, t, p, colour.alpha}; break;
        case 1: colour = {q, w, p, colour.alpha}; break;
        case 2: colour = {p, w, t, colour.alpha}; break;
        case 3: colour = {p, q, w, colour.alpha}; break;
        case 4: colour = {t, p, w, colour.alpha}; break;
        case 5: colour = {w, p, q, colour.alpha}; break;
        default: break;
    }
}

}  // namespace quillant
