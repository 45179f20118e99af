// Orbit tracing: follows z -> z^2 + c from z = c, stores every hop as an arc of
// a logarithmic spiral, measures the orbit's shape and accepts or rejects c.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace quillant {

using complex_f = std::complex<float>;

inline constexpr std::int32_t default_points_per_hop = 9;
inline constexpr std::int32_t default_max_hops = 384;

// Hops 0-15 are left out of the centroid.
inline constexpr std::int32_t first_centroid_hop = 16;
inline constexpr float escape_modulus = 5.0f;
inline constexpr double vanishing_step = 0.001;
inline constexpr std::int32_t fewest_vanishing_hops = 32;
inline constexpr double smallest_accepted_radius = 0.2;
inline constexpr double largest_accepted_radius = 0.45;
// pi / 6, 30 degrees.
inline constexpr double smallest_accepted_angle = 0.5235987755982988;

// One traced orbit. Its point storage is sized once, here, and never resized,
// so tracing never allocates.
struct orbit_slot {
    complex_f start{0.0f, 0.0f};
    std::int32_t points_per_hop = default_points_per_hop;
    std::int32_t max_hops = default_max_hops;
    std::int32_t hops = 0;
    std::int32_t n = 0;
    std::vector<complex_f> points =
        std::vector<complex_f>(default_points_per_hop * default_max_hops);
    // Not reset by a trace: the first hops of the next trace measure from it.
    complex_f centroid{0.0f, 0.0f};
    float angle = 0.0f;
    float radius = 0.0f;
};

// The exponent w with z^(1 + w) = z^2 + c: log(z^2 + c) / log(z) - 1.
complex_f hop_exponent(complex_f z, complex_f c);

// True when an orbit of this radius and last vertex angle is not a rose.
// A NaN radius or angle does not by itself reject.
bool rejects_shape(float radius, float angle);

// Traces the orbit of c = (re, im) into the slot. Returns false when c is
// accepted and true when it is rejected. Writes the "vanished after " and
// "finished with radius " lines to the standard error stream.
bool trace_orbit(orbit_slot& slot, float re, float im);

}  // namespace quillant
