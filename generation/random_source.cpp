// SPDX-License-Identifier: MIT
#include "generation/random_source.h"

namespace quillant {

namespace {

random_source random_engine(seed_from_calendar_time(std::time(nullptr)));

}  // namespace

std::uint32_t seed_from_calendar_time(std::time_t calendar_time) {
    return static_cast<std::uint32_t>(calendar_time);
}

double scale_engine_output(std::uint32_t output) {
    return static_cast<double>(output) * engine_output_factor;
}

std::uint32_t random_source::next_output() {
    platform::scoped_lock held(lock_);
    return static_cast<std::uint32_t>(engine_());
}

double random_source::draw_uniform() {
    const uniform_distribution& d = uniform_source;
    double r;
    do {
        r = static_cast<double>(next_output()) * d.factor;
    } while (r >= 1.0);
    return d.a + (d.b - d.a) * (r - 0.0) / (1.0 - 0.0);
}

void random_source::reseed(std::uint32_t seed) {
    platform::scoped_lock held(lock_);
    engine_.seed(seed);
}

random_source& shared_random_source() { return random_engine; }

std::uint32_t next_engine_output() { return random_engine.next_output(); }

double draw_uniform() { return random_engine.draw_uniform(); }

void reseed_random_engine(std::uint32_t seed) { random_engine.reseed(seed); }

}  // namespace quillant
