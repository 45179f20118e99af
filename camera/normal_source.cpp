// SPDX-License-Identifier: MIT
#include "camera/normal_source.h"

#include "generation/random_source.h"

#include <cmath>
#include <cstdint>

namespace quillant {

double start_normal_pair(normal_distribution& d, double u1, double u2) {
    d.u1 = u1;
    // 1 - u2 lies in (0, 1], so the logarithm is finite.
    d.radius = std::sqrt(-2.0 * std::log(1.0 - u2));
    d.have_spare = true;
    return d.mean + d.standard_deviation * d.radius * std::cos(two_pi * d.u1);
}

double take_normal_spare(normal_distribution& d) {
    d.have_spare = false;
    return d.mean + d.standard_deviation * d.radius * std::sin(two_pi * d.u1);
}

double draw_normal(normal_distribution& d, std::mt19937& engine) {
    if (d.have_spare) return take_normal_spare(d);
    const double u1 = scale_engine_output(static_cast<std::uint32_t>(engine()));
    const double u2 = scale_engine_output(static_cast<std::uint32_t>(engine()));
    return start_normal_pair(d, u1, u2);
}

}  // namespace quillant
