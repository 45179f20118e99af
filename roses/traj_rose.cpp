// SPDX-License-Identifier: MIT
#include "roses/traj_rose.h"

#include "roses/diagnostics.h"

#include <cmath>
#include <cstddef>

namespace quillant {

namespace {

// Alpha of the ramp's k-th entry for a rose of v vertices.
std::uint8_t ramp_alpha(std::size_t k, std::size_t v) {
    const double k2 = 2.0 * static_cast<double>(k);
    return static_cast<std::uint8_t>(
        static_cast<int>(255.0 * (0.3 + 0.7 * std::exp((k2 * -2.3) / static_cast<double>(v)))));
}

}  // namespace

traj_rose::traj_rose(const orbit_slot& slot, std::int32_t slot_index, rgba base, float x_min,
                     float y_min, float x_max, float y_max, float width, float height)
    : slot(slot),
      slot_index(slot_index),
      vertices(static_cast<std::size_t>(slot.n), vertex{0.0f, 0.0f, 0.0f}),
      colours(2 * static_cast<std::size_t>(slot.n), rgba{0, 0, 0, 0}),
      x_min(x_min),
      y_min(y_min),
      x_max(x_max),
      y_max(y_max),
      width(0.0f),
      height(0.0f),
      progress(progress_step) {
    dump_rose();

    // Ramp the upper half from full alpha, then mirror it into the lower half,
    // so that entries v - 1 and v carry the base colour at full strength.
    const std::size_t v = vertices.size();
    for (std::size_t k = 0; 2 * k < v; ++k) {
        colours[v + k] = rgba{base.red, base.green, base.blue, ramp_alpha(k, v)};
    }
    for (std::size_t i = 0; i < v; ++i) colours[i] = colours[2 * v - 1 - i];

    this->width = std::trunc(width);
    this->height = std::trunc(height);
    lay_out();
}

void traj_rose::lay_out() {
    if (width <= 0.0f || height <= 0.0f) return;
    const double sx = static_cast<double>(width) / (static_cast<double>(x_max) - x_min);
    const double sy = static_cast<double>(height) / (static_cast<double>(y_max) - y_min);
    const double v = static_cast<double>(vertices.size());
    for (std::size_t k = 0; k < vertices.size(); ++k) {
        const complex_f p = slot.points[k];
        vertices[k].x = static_cast<float>(sx * (static_cast<double>(p.real()) - x_min));
        vertices[k].y = static_cast<float>(sy * (static_cast<double>(p.imag()) - y_min));
        vertices[k].z = static_cast<float>(-static_cast<double>(k) * height / v);
    }
}

void traj_rose::dump_rose() const {
    constexpr double pi = 3.141592653589793;
    constexpr diagnostic_stream out = diagnostic_stream::output;
    diagnose(out, "traj_rose:");
    diagnose(out, "\thops:       %d", static_cast<int>(slot.hops));
    diagnose(out, "\tcentroid:   (%g,%g)", static_cast<double>(slot.centroid.real()),
             static_cast<double>(slot.centroid.imag()));
    diagnose(out, "\tangle:      %g (%g)", static_cast<double>(slot.angle),
             static_cast<double>(slot.angle) * 180.0 / pi);
    diagnose(out, "\tradius:     %g", static_cast<double>(slot.radius));
    diagnose(out, "\tn:          %d", static_cast<int>(slot.n));
    diagnose(out, "%s", "");
}

}  // namespace quillant
