// The process-wide random source: one MT19937 engine, seeded from the calendar
// time during static initialisation. The worker draws from it; the camera
// seeds its own engine from it once, on the window's thread.
#pragma once

#include <cstdint>
#include <ctime>
#include <random>

namespace quillant {

// Scales one 32-bit engine output to [0, 1): 2^-32, written as the reciprocal
// of the output range.
inline constexpr double engine_output_factor = 1.0 / (4294967295.0 + 1.0);

// The uniform distribution on [a, b) over the shared engine.
struct uniform_distribution {
    std::mt19937& engine;
    double factor;
    double a;
    double b;
};

extern const uniform_distribution uniform_source;

// The engine's seed for a calendar time: its low 32 bits.
std::uint32_t seed_from_calendar_time(std::time_t calendar_time);

// One engine output, taken as one indivisible step with respect to the other
// thread's draws.
std::uint32_t next_engine_output();

// One engine output scaled to [0, 1); exact, a multiple of 2^-32.
double scale_engine_output(std::uint32_t output);

// One value of uniform_source, uniform on [0, 1), from exactly one output.
double draw_uniform();

// Restarts the engine from a seed, before the scene is made: for hosts that
// choose their own seed, and for tests and tools that need repeatable
// sequences. The Windows saver never calls it.
void reseed_random_engine(std::uint32_t seed);

}  // namespace quillant
