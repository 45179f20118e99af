#include "generation/random_source.h"

#include "platform/platform.h"

namespace quillant {

namespace {

std::mt19937 random_engine(seed_from_calendar_time(std::time(nullptr)));

// Private to the engine: every output is taken under it. Never destroyed, as
// the worker thread may still draw while the process exits.
platform::lock& engine_lock = *new platform::lock;

std::uint32_t take_output(std::mt19937& engine) {
    platform::scoped_lock held(engine_lock);
    return static_cast<std::uint32_t>(engine());
}

}  // namespace

const uniform_distribution uniform_source{random_engine, engine_output_factor, 0.0, 1.0};

std::uint32_t seed_from_calendar_time(std::time_t calendar_time) {
    return static_cast<std::uint32_t>(calendar_time);
}

std::uint32_t next_engine_output() { return take_output(random_engine); }

double scale_engine_output(std::uint32_t output) {
    return static_cast<double>(output) * engine_output_factor;
}

double draw_uniform() {
    const uniform_distribution& d = uniform_source;
    double r;
    do {
        r = static_cast<double>(take_output(d.engine)) * d.factor;
    } while (r >= 1.0);
    return d.a + (d.b - d.a) * (r - 0.0) / (1.0 - 0.0);
}

void reseed_random_engine(std::uint32_t seed) {
    platform::scoped_lock held(engine_lock);
    random_engine.seed(seed);
}

}  // namespace quillant
