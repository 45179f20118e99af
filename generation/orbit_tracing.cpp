// SPDX-License-Identifier: MIT
#include "generation/orbit_tracing.h"

#include "roses/diagnostics.h"

#include <cmath>

namespace quillant {

namespace {

// z^2 + c, with the square's parts rounded to single precision before c is added.
complex_f square_plus(complex_f z, complex_f c) {
    const float re = z.real() * z.real() - z.imag() * z.imag();
    const float im = 2.0f * z.real() * z.imag();
    return complex_f(re, im) + c;
}

// The angle at the vertex between the way back and the way on, in radians;
// unchanged while either step is zero.
void update_vertex_angle(orbit_slot& slot, complex_f d_prev, complex_f d) {
    const float length_prev = std::abs(d_prev);
    const float length = std::abs(d);
    if (length_prev == 0.0f || length == 0.0f) return;
    const float cos_theta = (d.real() * -d_prev.real() + d.imag() * -d_prev.imag()) /
                            (length * length_prev);
    slot.angle = static_cast<float>(std::acos(static_cast<double>(cos_theta)));
}

}  // namespace

complex_f hop_exponent(complex_f z, complex_f c) {
    const complex_f s = square_plus(z, c);
    const complex_f log_z = std::log(z);
    const complex_f log_s = std::log(s);
    complex_f w = log_s / log_z;
    w.real(w.real() - 1.0f);
    return w;
}

bool rejects_shape(float radius, float angle) {
    return static_cast<double>(radius) < smallest_accepted_radius ||
           static_cast<double>(radius) > largest_accepted_radius ||
           static_cast<double>(angle) < smallest_accepted_angle;
}

bool trace_orbit(orbit_slot& slot, float re, float im) {
    const complex_f c(re, im);
    const std::int32_t points_per_hop = slot.points_per_hop;
    const std::int32_t max_hops = slot.max_hops;

    slot.radius = 0.0f;
    slot.angle = 0.0f;
    slot.start = c;
    slot.n = 0;
    complex_f z = c;
    complex_f w = hop_exponent(c, c);
    complex_f d_prev(0.0f, 0.0f);
    double sum_re = 0.0;
    double sum_im = 0.0;
    std::int32_t k = 0;
    const float reciprocal = 1.0f / static_cast<float>(points_per_hop);

    for (std::int32_t i = 0; i < max_hops; ++i) {
        // Store the orbit point and measure the shape so far.
        slot.points[slot.n++] = z;
        if (i >= first_centroid_hop) {
            ++k;
            sum_re += z.real();
            sum_im += z.imag();
            slot.centroid = complex_f(static_cast<float>(sum_re / k),
                                      static_cast<float>(sum_im / k));
        }
        const float r = std::abs(z - slot.centroid);
        if (!(r < slot.radius)) slot.radius = r;

        // Store the hop's arc, in the pow form: z^(1 + t w) for t = 0 .. (N-2)/N.
        for (std::int32_t j = 0; j <= points_per_hop - 2; ++j) {
            const float t = static_cast<float>(j) * reciprocal;
            complex_f e = complex_f(t, 0.0f) * w;
            e.real(e.real() + 1.0f);
            slot.points[slot.n++] = std::pow(z, e);
        }

        // Step to the next orbit point.
        const complex_f z1 = square_plus(z, c);
        const complex_f w1 = hop_exponent(z1, c);
        const complex_f d = z1 - z;
        update_vertex_angle(slot, d_prev, d);
        d_prev = d;
        z = z1;
        w = w1;

        if (escape_modulus < std::abs(z)) {
            slot.hops = i + 1;
            return true;
        }
        if (static_cast<double>(std::abs(d)) < vanishing_step) {
            slot.hops = i + 1;
            diagnose(diagnostic_stream::error, "vanished after %d; radius %g",
                     static_cast<int>(slot.hops), static_cast<double>(slot.radius));
            if (slot.hops < fewest_vanishing_hops) return true;
            return rejects_shape(slot.radius, slot.angle);
        }
    }

    slot.hops = max_hops;
    diagnose(diagnostic_stream::error, "finished with radius %g",
             static_cast<double>(slot.radius));
    return rejects_shape(slot.radius, slot.angle);
}

}  // namespace quillant
