// SPDX-License-Identifier: MIT
#include "generation/worker.h"

#include "generation/generation_step.h"

#include <cmath>

namespace quillant {

namespace {

// Microseconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t epoch_offset_us = 11644473600000000ULL;

// The longest single sleep: one below the platform's "wait forever".
constexpr std::int64_t longest_sleep_ms = 0xFFFFFFFE;

}  // namespace

time_stamp time_of_day_at(std::uint64_t system_time_100ns) {
    const std::uint64_t us = system_time_100ns / 10 - epoch_offset_us;
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(us / 1000000)),
            static_cast<std::int32_t>(us % 1000000)};
}

time_stamp time_of_day() { return time_of_day_at(platform::system_time_100ns()); }

std::int64_t elapsed_microseconds(time_stamp t0, time_stamp t1) {
    // Wrapping 32-bit difference of the seconds, as the stamps themselves wrap.
    const auto seconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(t1.seconds) -
                                                   static_cast<std::uint32_t>(t0.seconds));
    return static_cast<std::int64_t>(
        static_cast<double>(seconds) * 1000000.0 + t1.microseconds - t0.microseconds);
}

std::int64_t pause_microseconds(std::int64_t elapsed) {
    // In 64 bits, so that a step stretched by a clock jump cannot overflow.
    const auto long_pause = static_cast<std::int64_t>(
        static_cast<double>(elapsed) * idle_share / work_share);
    const std::int64_t rest_of_period = period - elapsed;
    return rest_of_period > long_pause ? rest_of_period : long_pause;
}

std::uint32_t sleep_milliseconds(std::int64_t pause) {
    if (pause <= smallest_pause) return 0;
    const std::int64_t ms = pause / 1000;
    return static_cast<std::uint32_t>(ms < longest_sleep_ms ? ms : longest_sleep_ms);
}

void worker_main(void* parameter) {
    worker_task& task = *static_cast<worker_task*>(parameter);
    sliced_generation_step step;
    while (!task.stop.raised()) {
        const time_stamp t0 = time_of_day();
        // A candidate at a time, so that a stop is heard within a long search.
        while (!step.run(task.set, 1, task.random)) {
            if (task.stop.raised()) return;
        }
        const time_stamp t1 = time_of_day();
        const std::uint32_t ms = sleep_milliseconds(pause_microseconds(elapsed_microseconds(t0, t1)));
        if (ms > 0 && task.stop.wait_ms(ms)) return;
    }
}

}  // namespace quillant
