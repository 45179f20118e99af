#include "generation/worker.h"
#include "platform/platform.h"
#include "roses/rose_set.h"
#include "tests/support/stream_capture.h"

#include <gtest/gtest.h>

#include <iostream>

// In a program of its own: the worker started here runs until the process
// ends, drawing from the shared engine, which other tests reseed.
namespace quillant {
namespace {

using testing::discarding_buffer;

// The real worker, started through the platform, shows a first rose: two
// paced steps after it starts.
TEST(Worker, RunsOnItsOwnThreadAndShowsARose) {
    // The worker never ends, so what it uses must outlive the test.
    static discarding_buffer* sink = new discarding_buffer;
    static rose_set* set = new rose_set;
    std::cerr.rdbuf(sink);
    std::cout.rdbuf(sink);
    set->fit_roses(640, 480);
    ASSERT_NE(platform::start_thread(worker_main, set), 0u);
    for (int wait = 0; wait < 600 && set->rose_count.load() == 0; ++wait) {
        platform::sleep_ms(50);
    }
    EXPECT_EQ(set->rose_count.load(), 1u);
    EXPECT_EQ(set->slot_states[0].load(), slot_showing);
}

}  // namespace
}  // namespace quillant
