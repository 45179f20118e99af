// SPDX-License-Identifier: MIT
// Orbit-tracing throughput on a fixed seed: candidates per second, time per
// hop and time per accepted orbit. The tracing's diagnostic lines are
// discarded, so the figures are those of the arithmetic alone.
#include "generation/orbit_tracing.h"
#include "generation/random_source.h"
#include "roses/diagnostics.h"

#include <benchmark/benchmark.h>

namespace {

void trace_candidates(benchmark::State& state) {
    const quillant::diagnostics_sink previous =
        quillant::set_diagnostics_sink(quillant::discard_diagnostics);
    quillant::reseed_random_engine(7);
    quillant::orbit_slot slot;
    std::int64_t candidates = 0;
    std::int64_t hops = 0;
    std::int64_t accepted = 0;

    for (auto _ : state) {
        const double a = quillant::draw_uniform();
        const double b = quillant::draw_uniform();
        const bool rejected = quillant::trace_orbit(slot, static_cast<float>(4.0 * b - 2.0),
                                                    static_cast<float>(4.0 * a - 2.0));
        ++candidates;
        hops += slot.hops > 0 ? slot.hops : 0;
        accepted += rejected ? 0 : 1;
    }

    quillant::set_diagnostics_sink(previous);
    using benchmark::Counter;
    state.counters["candidates_per_s"] = Counter(static_cast<double>(candidates), Counter::kIsRate);
    state.counters["s_per_hop"] =
        Counter(static_cast<double>(hops), Counter::kIsRate | Counter::kInvert);
    state.counters["s_per_accepted_orbit"] =
        Counter(static_cast<double>(accepted), Counter::kIsRate | Counter::kInvert);
    state.counters["accepted"] = Counter(static_cast<double>(accepted));
}

}  // namespace

BENCHMARK(trace_candidates)->MinTime(2.0)->Unit(benchmark::kMicrosecond);
