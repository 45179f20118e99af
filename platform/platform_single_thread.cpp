// SPDX-License-Identifier: MIT
// Threads, locks and stop signals of the platform interface where a program
// has one thread only, as a page without shared memory has: there is nothing
// to exclude, no thread can be started, and nobody else could raise a signal.
#include "platform/platform.h"

namespace quillant::platform {

// NOTE: with one thread the objects' storage holds nothing, which is said here so that the compiler does not take it for a mistake.
lock::lock() { static_cast<void>(storage_); }

lock::~lock() = default;

void lock::enter() {}

void lock::leave() {}

bool thread::start(thread_entry, void*, const char*) {
    static_cast<void>(storage_);
    static_cast<void>(running_);
    return false;
}

void thread::join() {}

stop_signal::stop_signal() { static_cast<void>(storage_); }

stop_signal::~stop_signal() = default;

void stop_signal::raise() { raised_.store(true); }

bool stop_signal::wait_ms(std::uint32_t) { return raised(); }

}  // namespace quillant::platform
