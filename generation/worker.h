// SPDX-License-Identifier: MIT
// The worker thread: repeats the generation step until it is asked to stop,
// paced by the wall clock to one step per 50 ms and a fifth of a processor.
#pragma once

#include "generation/random_source.h"
#include "platform/platform.h"
#include "roses/rose_set.h"

#include <cstdint>

namespace quillant {

// What one worker searches with, and the signal that stops it.
struct worker_task {
    worker_task(rose_set& searched, random_source& drawn) : set(searched), random(drawn) {}

    rose_set& set;
    random_source& random;
    platform::stop_signal stop;
};

// Wall-clock time as whole seconds since 1970 (low 32 bits) and microseconds.
struct time_stamp {
    std::int32_t seconds;
    std::int32_t microseconds;
};

inline constexpr std::int64_t period = 50000;        // µs from step start to step start
inline constexpr double work_share = 0.2;            // of one processor, for long steps
inline constexpr double idle_share = 0.8;            // the rest of it
inline constexpr std::int64_t smallest_pause = 5000;  // µs; shorter pauses are skipped

// The time of day for a system time of 100-ns intervals since 1601.
time_stamp time_of_day_at(std::uint64_t system_time_100ns);

// The current time of day from the system clock.
time_stamp time_of_day();

// Microseconds from t0 to t1; negative when the clock was set back.
std::int64_t elapsed_microseconds(time_stamp t0, time_stamp t1);

// The pause after a step that took `elapsed` µs: the rest of the period, or
// four times the step when that is longer.
std::int64_t pause_microseconds(std::int64_t elapsed);

// Milliseconds to sleep for a pause, 0 when the pause is skipped. Never longer
// than the pause, and never the platform's "forever".
std::uint32_t sleep_milliseconds(std::int64_t pause);

// Thread entry: the parameter is a worker_task. Returns once the task's stop
// signal is raised, which it hears between two candidates of a search and
// while it pauses; until then it never returns.
void worker_main(void* parameter);

}  // namespace quillant
