// SPDX-License-Identifier: MIT
// The beat of a host's frames: one every period, on a monotonic clock. A
// frame late by a whole period moves the beat instead of bunching the next
// ones, so that a host back from a pause draws no burst to catch up.
#pragma once

#include <cstdint>

namespace quillant {

class frame_pacer {
public:
    explicit frame_pacer(std::int64_t period_us) : period_us_(period_us) {}

    // Microseconds from now_us until the next frame is due; 0 when it is.
    std::int64_t wait_us(std::int64_t now_us) const {
        return next_us_ > now_us ? next_us_ - now_us : 0;
    }

    // Notes the frame drawn at now_us.
    void drawn(std::int64_t now_us) {
        next_us_ += period_us_;
        if (next_us_ <= now_us) next_us_ = now_us + period_us_;
    }

private:
    std::int64_t period_us_;
    std::int64_t next_us_ = 0;
};

}  // namespace quillant
