// SPDX-License-Identifier: MIT
// The normal distribution of the camera's random pushes: Box-Muller pairs
// from the camera's engine, the cosine value first and the sine value kept
// for the next draw. Each camera has its own, drawn from on its window's
// thread only.
#pragma once

#include <random>

namespace quillant {

inline constexpr double two_pi = 6.283185307179586;

// Mean and standard deviation, with the pair in progress.
struct normal_distribution {
    double mean;
    double standard_deviation;
    // True while the sine value of the current pair is still to be returned.
    bool have_spare;
    double u1;
    double radius;
};

// Mean 0, standard deviation 1, no spare.
inline constexpr normal_distribution standard_normal{0.0, 1.0, false, 0.0, 0.0};

// Starts a new pair in d from two uniform values on [0, 1) and returns its
// cosine value; the sine value becomes d's spare.
double start_normal_pair(normal_distribution& d, double u1, double u2);

// Returns the spare sine value of d's current pair and uses it up.
double take_normal_spare(normal_distribution& d);

// One value of d. Takes two outputs of the engine when it starts a pair,
// none when it returns the spare.
double draw_normal(normal_distribution& d, std::mt19937& engine);

}  // namespace quillant
