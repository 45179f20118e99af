// SPDX-License-Identifier: MIT
// The random sources: MT19937 engines whose outputs are taken one at a time,
// indivisibly, and scaled to [0, 1). The process-wide one is seeded from the
// calendar time during static initialisation; a scene with a seed of its own
// has a source of its own, so that two scenes never disturb each other's
// sequences.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <ctime>
#include <random>

namespace quillant {

// Scales one 32-bit engine output to [0, 1): 2^-32, written as the reciprocal
// of the output range.
inline constexpr double engine_output_factor = 1.0 / (4294967295.0 + 1.0);

// The uniform distribution on [a, b), one engine output a value.
struct uniform_distribution {
    double factor;
    double a;
    double b;
};

inline constexpr uniform_distribution uniform_source{engine_output_factor, 0.0, 1.0};

// The engine's seed for a calendar time: its low 32 bits.
std::uint32_t seed_from_calendar_time(std::time_t calendar_time);

// One engine output scaled to [0, 1); exact, a multiple of 2^-32.
double scale_engine_output(std::uint32_t output);

class random_source {
public:
    explicit random_source(std::uint32_t seed) : engine_(seed) {}
    random_source(const random_source&) = delete;
    random_source& operator=(const random_source&) = delete;

    // One engine output, taken as one indivisible step with respect to
    // other threads' draws.
    std::uint32_t next_output();

    // One value of uniform_source, uniform on [0, 1), from exactly one output.
    double draw_uniform();

    // Restarts the engine from a seed.
    void reseed(std::uint32_t seed);

private:
    std::mt19937 engine_;
    platform::lock lock_;
};

// The process-wide source, the random_engine of the saver.
random_source& shared_random_source();

// One output of the process-wide source.
std::uint32_t next_engine_output();

// One value of uniform_source from the process-wide source.
double draw_uniform();

// Restarts the process-wide engine from a seed, before a scene that draws
// from it is made: for tests and tools that need repeatable sequences. The
// Windows saver never calls it.
void reseed_random_engine(std::uint32_t seed);

}  // namespace quillant
