// SPDX-License-Identifier: MIT
#include "generation/worker.h"
#include "platform/platform.h"
#include "roses/diagnostics.h"
#include "roses/rose_set.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace quillant {
namespace {

// The real worker, started through the platform, shows a first rose two
// paced steps after it starts, and ends when asked.
TEST(Worker, RunsOnItsOwnThreadShowsARoseAndStopsWhenAsked) {
    testing::silenced_diagnostics quiet;
    rose_set set;
    random_source random(12);
    worker_task task{set, random};
    set.fit_roses(640, 480);
    platform::thread worker;
    ASSERT_TRUE(worker.start(worker_main, &task));
    for (int wait = 0; wait < 600 && set.rose_count.load() == 0; ++wait) {
        platform::sleep_ms(50);
    }
    EXPECT_EQ(set.rose_count.load(), 1u);
    EXPECT_EQ(set.slot_states[0].load(), slot_showing);
    // It pauses between steps now that a rose shows and the other slot is
    // ready: the stop must end the pause, not wait for it.
    task.stop.raise();
    worker.join();
    EXPECT_NE(worker.identifier(), 0u);
}

// A stop that comes while the worker searches ends the search there: the
// step is left unfinished, its slot still free, rather than run to the end.
platform::stop_signal* stop_at_first_trace = nullptr;

void stop_on_trace(diagnostic_stream, const char* line) {
    if (std::strncmp(line, "roses.size", 10) != 0) stop_at_first_trace->raise();
}

TEST(Worker, StopsWithinTheSearchOfAStep) {
    rose_set set;
    // Seed 3's first search traces 35 candidates; the first that writes a
    // line is rejected, 31 candidates before the one accepted.
    random_source random(3);
    worker_task task{set, random};
    set.fit_roses(640, 480);
    stop_at_first_trace = &task.stop;
    const diagnostics_sink previous = set_diagnostics_sink(stop_on_trace);
    platform::thread worker;
    ASSERT_TRUE(worker.start(worker_main, &task));
    worker.join();
    set_diagnostics_sink(previous);
    EXPECT_EQ(set.slot_states[0].load(), slot_free);
    EXPECT_EQ(set.rose_count.load(), 0u);
}

}  // namespace
}  // namespace quillant
