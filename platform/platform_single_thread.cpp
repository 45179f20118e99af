// Threads and locks of the platform interface where a program has one thread
// only, as a page without shared memory has: there is nothing to exclude,
// and no thread can be started.
#include "platform/platform.h"

namespace quillant::platform {

// NOTE: with one thread the lock's storage holds nothing, which is said here
// so that the compiler does not take it for a mistake.
lock::lock() { static_cast<void>(storage_); }

lock::~lock() = default;

void lock::enter() {}

void lock::leave() {}

std::uint32_t start_thread(thread_entry, void*, const char*) { return 0; }

}  // namespace quillant::platform
