// SPDX-License-Identifier: MIT
// Threads, locks and stop signals of the platform interface with POSIX threads.
#include "platform/platform.h"

#include <pthread.h>
#include <time.h>

#include <atomic>
#include <new>

namespace quillant::platform {

namespace {

static_assert(sizeof(pthread_mutex_t) <= 64 && alignof(pthread_mutex_t) <= 16,
              "the lock's storage must hold a pthread mutex");
static_assert(sizeof(pthread_t) <= 16, "the thread's storage must hold a pthread_t");

pthread_mutex_t* mutex_in(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

struct signal_state {
    pthread_mutex_t mutex;
    pthread_cond_t raised_condition;
    bool raised;
};
static_assert(sizeof(signal_state) <= 160, "the stop signal's storage must hold its state");

signal_state* signal_in(unsigned char* storage) {
    return std::launder(reinterpret_cast<signal_state*>(storage));
}

struct thread_start {
    thread_entry entry;
    void* parameter;
};

void* run_thread(void* start_record) {
    const thread_start start = *static_cast<thread_start*>(start_record);
    delete static_cast<thread_start*>(start_record);
    start.entry(start.parameter);
    return nullptr;
}

}  // namespace

lock::lock() { ::new (storage_) pthread_mutex_t(PTHREAD_MUTEX_INITIALIZER); }

lock::~lock() { pthread_mutex_destroy(mutex_in(storage_)); }

void lock::enter() { pthread_mutex_lock(mutex_in(storage_)); }

void lock::leave() { pthread_mutex_unlock(mutex_in(storage_)); }

bool thread::start(thread_entry entry, void* parameter, const char* name) {
    static std::atomic<std::uint32_t> last_identifier{0};
    if (running_) return false;
    auto* start = new (std::nothrow) thread_start{entry, parameter};
    if (start == nullptr) return false;
    auto* handle = ::new (storage_) pthread_t;
    if (pthread_create(handle, nullptr, run_thread, start) != 0) {
        delete start;
        return false;
    }
    if (name != nullptr) pthread_setname_np(*handle, name);
    running_ = true;
    // NOTE: pthread_t is opaque, so the identifier is a count of the threads
    // started here; it only has to be non-zero and distinct.
    identifier_ = ++last_identifier;
    return true;
}

void thread::join() {
    if (!running_) return;
    pthread_join(*std::launder(reinterpret_cast<pthread_t*>(storage_)), nullptr);
    running_ = false;
}

stop_signal::stop_signal() {
    signal_state* state = ::new (storage_) signal_state;
    pthread_mutex_init(&state->mutex, nullptr);
    // The monotonic clock, so that setting the wall clock does not stretch a wait.
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&state->raised_condition, &attributes);
    pthread_condattr_destroy(&attributes);
    state->raised = false;
}

stop_signal::~stop_signal() {
    signal_state* state = signal_in(storage_);
    pthread_cond_destroy(&state->raised_condition);
    pthread_mutex_destroy(&state->mutex);
}

void stop_signal::raise() {
    signal_state* state = signal_in(storage_);
    pthread_mutex_lock(&state->mutex);
    state->raised = true;
    raised_.store(true, std::memory_order_release);
    pthread_cond_broadcast(&state->raised_condition);
    pthread_mutex_unlock(&state->mutex);
}

bool stop_signal::wait_ms(std::uint32_t milliseconds) {
    signal_state* state = signal_in(storage_);
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += static_cast<time_t>(milliseconds / 1000);
    until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&state->mutex);
    int result = 0;
    while (!state->raised && result == 0) {
        result = pthread_cond_timedwait(&state->raised_condition, &state->mutex, &until);
    }
    const bool raised = state->raised;
    pthread_mutex_unlock(&state->mutex);
    return raised;
}

}  // namespace quillant::platform
