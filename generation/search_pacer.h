// SPDX-License-Identifier: MIT
// The orbit search of a page, which has no thread to give it, run in slices
// between frames at the worker's pace: a step begins at most once a period,
// and after a long step only when the worker would have rested; within a
// step, each slice stops after a bounded time and is followed by a rest four
// times as long, so that the search never takes more than a fifth of the time.
#pragma once

#include <cstdint>

namespace quillant {

class search_pacer {
public:
    // Slices of about `slice_us` microseconds of work at most.
    explicit search_pacer(std::int64_t slice_us) : slice_us_(slice_us) {}

    std::int64_t slice_us() const { return slice_us_; }

    // Whether a slice is due at `now_us`, on a monotonic clock.
    bool due(std::int64_t now_us) const {
        return now_us >= (under_way_ ? next_slice_us_ : next_step_us_);
    }

    // Notes a slice that ran from `start_us` to `end_us`; `step_ended` when
    // the step ended in it.
    void ran(std::int64_t start_us, std::int64_t end_us, bool step_ended);

private:
    std::int64_t slice_us_;
    bool under_way_ = false;
    std::int64_t step_work_us_ = 0;
    std::int64_t next_step_us_ = 0;
    std::int64_t next_slice_us_ = 0;
};

}  // namespace quillant
