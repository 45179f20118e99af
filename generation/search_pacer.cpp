// SPDX-License-Identifier: MIT
#include "generation/search_pacer.h"

#include "generation/worker.h"

namespace quillant {

void search_pacer::ran(std::int64_t start_us, std::int64_t end_us, bool step_ended) {
    const std::int64_t work = end_us - start_us;
    if (!under_way_) step_work_us_ = 0;
    step_work_us_ += work;
    under_way_ = !step_ended;
    if (step_ended) {
        // The worker's pause after a step of this much work.
        next_step_us_ = end_us + pause_microseconds(step_work_us_);
    } else {
        next_slice_us_ = end_us + static_cast<std::int64_t>(static_cast<double>(work) *
                                                            idle_share / work_share);
    }
}

}  // namespace quillant
