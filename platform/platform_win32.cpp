// Win32 implementation of the platform interface.
#include "platform/platform.h"

#include <windows.h>

#include <new>

namespace quillant::platform {

namespace {

static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 16,
              "the lock's storage must hold a critical section");

CRITICAL_SECTION* section_in(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

struct thread_start {
    thread_entry entry;
    void* parameter;
};

DWORD WINAPI run_thread(LPVOID start_record) {
    const thread_start start = *static_cast<thread_start*>(start_record);
    delete static_cast<thread_start*>(start_record);
    start.entry(start.parameter);
    return 0;
}

}  // namespace

lock::lock() { InitializeCriticalSection(::new (storage_) CRITICAL_SECTION); }

lock::~lock() { DeleteCriticalSection(section_in(storage_)); }

void lock::enter() { EnterCriticalSection(section_in(storage_)); }

void lock::leave() { LeaveCriticalSection(section_in(storage_)); }

// Windows before 10 keeps no thread names; the name is not given to it.
std::uint32_t start_thread(thread_entry entry, void* parameter, const char*) {
    auto* start = new (std::nothrow) thread_start{entry, parameter};
    if (start == nullptr) return 0;
    DWORD identifier = 0;
    HANDLE thread = CreateThread(nullptr, 0, run_thread, start, 0, &identifier);
    if (thread == nullptr) {
        delete start;
        return 0;
    }
    // The handle is neither kept nor closed: nothing ever waits for or stops
    // the thread, which runs until the process ends.
    return identifier;
}

std::uint64_t system_time_100ns() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

void sleep_ms(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace quillant::platform
