// SPDX-License-Identifier: MIT
// Orbit tracing: follows z -> z^2 + c from z = c, stores every hop as an arc of
// a logarithmic spiral, measures the orbit's shape and accepts or rejects c.
#pragma once

#include "roses/orbit_slot.h"

#include <cstdint>

namespace quillant {

// Hops 0-15 are left out of the centroid.
inline constexpr std::int32_t first_centroid_hop = 16;
inline constexpr float escape_modulus = 5.0f;
inline constexpr double vanishing_step = 0.001;
inline constexpr std::int32_t fewest_vanishing_hops = 32;
inline constexpr double smallest_accepted_radius = 0.2;
inline constexpr double largest_accepted_radius = 0.45;
// pi / 6, 30 degrees.
inline constexpr double smallest_accepted_angle = 0.5235987755982988;

// The exponent w with z^(1 + w) = z^2 + c: log(z^2 + c) / log(z) - 1.
complex_f hop_exponent(complex_f z, complex_f c);

// True when an orbit of this radius and last vertex angle is not a rose.
// A NaN radius or angle does not by itself reject.
bool rejects_shape(float radius, float angle);

// Traces the orbit of c = (re, im) into the slot. Returns false when c is
// accepted and true when it is rejected. Writes the "vanished after " and
// "finished with radius " lines to the diagnostics' standard error.
bool trace_orbit(orbit_slot& slot, float re, float im);

}  // namespace quillant
