// SPDX-License-Identifier: MIT
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

HANDLE* handle_in(unsigned char* storage) {
    return std::launder(reinterpret_cast<HANDLE*>(storage));
}

}  // namespace

lock::lock() { InitializeCriticalSection(::new (storage_) CRITICAL_SECTION); }

lock::~lock() { DeleteCriticalSection(section_in(storage_)); }

void lock::enter() { EnterCriticalSection(section_in(storage_)); }

void lock::leave() { LeaveCriticalSection(section_in(storage_)); }

// Windows before 10 keeps no thread names; the name is not given to it.
bool thread::start(thread_entry entry, void* parameter, const char*) {
    if (running_) return false;
    auto* start = new (std::nothrow) thread_start{entry, parameter};
    if (start == nullptr) return false;
    DWORD identifier = 0;
    HANDLE handle = CreateThread(nullptr, 0, run_thread, start, 0, &identifier);
    if (handle == nullptr) {
        delete start;
        return false;
    }
    *::new (storage_) HANDLE = handle;
    running_ = true;
    identifier_ = identifier;
    return true;
}

void thread::join() {
    if (!running_) return;
    WaitForSingleObject(*handle_in(storage_), INFINITE);
    CloseHandle(*handle_in(storage_));
    running_ = false;
}

// A manual-reset event: once raised it stays raised for every waiter.
stop_signal::stop_signal() { *::new (storage_) HANDLE = CreateEventA(nullptr, TRUE, FALSE, nullptr); }

stop_signal::~stop_signal() { CloseHandle(*handle_in(storage_)); }

void stop_signal::raise() {
    raised_.store(true, std::memory_order_release);
    SetEvent(*handle_in(storage_));
}

bool stop_signal::wait_ms(std::uint32_t milliseconds) {
    return WaitForSingleObject(*handle_in(storage_), milliseconds) == WAIT_OBJECT_0;
}

std::uint64_t system_time_100ns() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// NOTE: the performance counter rather than GetTickCount64, which Windows 9x
// and XP lack: the saver must load there.
std::int64_t monotonic_us() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    const std::int64_t per_second = frequency.QuadPart;
    const std::int64_t seconds = count.QuadPart / per_second;
    return seconds * 1000000 + (count.QuadPart % per_second) * 1000000 / per_second;
}

void sleep_ms(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::uint32_t process_id() { return GetCurrentProcessId(); }

}  // namespace quillant::platform
