// Threads and locks of the platform interface with POSIX threads.
#include "platform/platform.h"

#include <pthread.h>

#include <atomic>
#include <new>

namespace quillant::platform {

namespace {

static_assert(sizeof(pthread_mutex_t) <= 64 && alignof(pthread_mutex_t) <= 16,
              "the lock's storage must hold a pthread mutex");

pthread_mutex_t* mutex_in(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
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

std::uint32_t start_thread(thread_entry entry, void* parameter, const char* name) {
    static std::atomic<std::uint32_t> last_identifier{0};
    auto* start = new (std::nothrow) thread_start{entry, parameter};
    if (start == nullptr) return 0;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, run_thread, start) != 0) {
        delete start;
        return 0;
    }
    if (name != nullptr) pthread_setname_np(thread, name);
    pthread_detach(thread);
    // NOTE: pthread_t is opaque, so the identifier is a count of the threads
    // started here; it only has to be non-zero and distinct.
    return ++last_identifier;
}

}  // namespace quillant::platform
