// SPDX-License-Identifier: MIT
// A host's frames-per-second figure (the page's ?fps overlay): frames per
// second over about a second, taken anew each second. Pure, so that it is
// tested natively.
#pragma once

#include <optional>

namespace quillant {

class frame_rate {
public:
    // Counts the frame drawn at time_ms; a new figure once a second or more
    // has passed since the last, else none. The first frame only starts the
    // count: a second holds the frames after its first, one per period.
    std::optional<double> drawn(double time_ms) {
        if (since_ms_ < 0.0) {
            since_ms_ = time_ms;
            return std::nullopt;
        }
        ++frames_;
        const double elapsed = time_ms - since_ms_;
        if (elapsed < 1000.0) return std::nullopt;
        const double figure = frames_ * 1000.0 / elapsed;
        frames_ = 0;
        since_ms_ = time_ms;
        return figure;
    }

private:
    int frames_ = 0;
    double since_ms_ = -1.0;
};

}  // namespace quillant
