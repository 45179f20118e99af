// The one place where the portable core meets the operating system: a lock,
// a thread start, the wall clock and sleeping. Each platform has its own file
// behind this header; no system header appears here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillant::platform {

// A non-recursive mutual-exclusion lock: a critical section on Windows, a
// mutex elsewhere. Lives in place, so that making one never allocates.
class lock {
public:
    lock();
    ~lock();
    lock(const lock&) = delete;
    lock& operator=(const lock&) = delete;

    void enter();
    void leave();

private:
    static constexpr std::size_t storage_size = 64;
    alignas(16) unsigned char storage_[storage_size];
};

// Holds a lock from construction to the end of the scope.
class scoped_lock {
public:
    explicit scoped_lock(lock& held) : held_(held) { held_.enter(); }
    ~scoped_lock() { held_.leave(); }
    scoped_lock(const scoped_lock&) = delete;
    scoped_lock& operator=(const scoped_lock&) = delete;

private:
    lock& held_;
};

using thread_entry = void (*)(void* parameter);

// Starts a thread that runs entry(parameter) at once and is never joined.
// Returns the thread's identifier, or 0 when no thread could be started. The
// name, where given, is shown by the system's tools (top -H, perf) where the
// platform keeps one; at most 15 characters.
std::uint32_t start_thread(thread_entry entry, void* parameter, const char* name = nullptr);

// The system time as a count of 100-ns intervals since 1601-01-01 00:00:00 UTC.
std::uint64_t system_time_100ns();

// Suspends the calling thread for the given number of milliseconds.
void sleep_ms(std::uint32_t milliseconds);

}  // namespace quillant::platform
