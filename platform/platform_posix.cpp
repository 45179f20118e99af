// SPDX-License-Identifier: MIT
// The clocks, sleeping and the process's identifier of the platform
// interface, on POSIX.
#include "platform/platform.h"

#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace quillant::platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01, the two clocks' epochs.
constexpr std::uint64_t epoch_offset_seconds = 11644473600ULL;

}  // namespace

std::uint64_t system_time_100ns() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto seconds = static_cast<std::uint64_t>(now.tv_sec) + epoch_offset_seconds;
    return seconds * 10000000ULL + static_cast<std::uint64_t>(now.tv_nsec) / 100ULL;
}

std::int64_t monotonic_us() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void sleep_ms(std::uint32_t milliseconds) {
    timespec rest{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

std::uint32_t process_id() { return static_cast<std::uint32_t>(getpid()); }

}  // namespace quillant::platform
