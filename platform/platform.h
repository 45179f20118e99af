// SPDX-License-Identifier: MIT
// The one place where the portable core meets the operating system: a lock,
// threads and the signal that stops them, the clocks, sleeping and the
// process's identifier. Each platform has its own file
// behind this header; no system header appears here.
#pragma once

#include <atomic>
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

// A thread that runs entry(parameter) from start() on and is joined: by
// join(), or at the latest as the object goes.
class thread {
public:
    thread() = default;
    ~thread() { join(); }
    thread(const thread&) = delete;
    thread& operator=(const thread&) = delete;

    // Starts the thread at once. False when it could not be started, or
    // where the platform has no threads. The name, where given, is shown by
    // the system's tools (top -H, perf) where the platform keeps one; at
    // most 15 characters.
    bool start(thread_entry entry, void* parameter, const char* name = nullptr);

    // Waits for the thread to end; nothing when none runs.
    void join();

    // The thread's identifier, non-zero once started; kept after the join.
    std::uint32_t identifier() const { return identifier_; }

private:
    static constexpr std::size_t storage_size = 16;
    alignas(16) unsigned char storage_[storage_size];
    bool running_ = false;
    std::uint32_t identifier_ = 0;
};

// A flag that one thread raises once and another waits for, with a time
// limit, so that a paused thread hears at once that it is to stop.
class stop_signal {
public:
    stop_signal();
    ~stop_signal();
    stop_signal(const stop_signal&) = delete;
    stop_signal& operator=(const stop_signal&) = delete;

    void raise();

    // Cheap enough to ask between any two steps of work.
    bool raised() const { return raised_.load(std::memory_order_acquire); }

    // Waits until the flag is raised or the milliseconds have passed. True
    // when it is raised.
    bool wait_ms(std::uint32_t milliseconds);

private:
    std::atomic<bool> raised_{false};
    static constexpr std::size_t storage_size = 160;
    alignas(16) unsigned char storage_[storage_size];
};

// SIGTERM and SIGINT as a descriptor that a Linux host's loop polls: from
// construction on, the two are blocked in the calling thread, and so in
// every thread it starts later, and make the descriptor readable instead.
// They stay blocked after it goes, so that one that came is not delivered
// as the host ends. Where the system refuses the descriptor, ready() is
// false and the signals are left as they were.
class end_signals {
public:
    end_signals();
    ~end_signals();
    end_signals(const end_signals&) = delete;
    end_signals& operator=(const end_signals&) = delete;

    bool ready() const { return descriptor_ >= 0; }
    int descriptor() const { return descriptor_; }

private:
    int descriptor_ = -1;
};

// The system time as a count of 100-ns intervals since 1601-01-01 00:00:00 UTC.
std::uint64_t system_time_100ns();

// A clock that only goes forward, in microseconds from an unspecified start.
std::int64_t monotonic_us();

// Suspends the calling thread for the given number of milliseconds.
void sleep_ms(std::uint32_t milliseconds);

// The process's identifier.
std::uint32_t process_id();

}  // namespace quillant::platform
