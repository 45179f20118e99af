// SPDX-License-Identifier: MIT
// One traced orbit: the record that the worker traces into and a rose shows.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace quillant {

using complex_f = std::complex<float>;

inline constexpr std::int32_t default_points_per_hop = 9;
inline constexpr std::int32_t default_max_hops = 384;

// Its point storage is sized once, here, and never resized, so tracing never
// allocates.
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

}  // namespace quillant
