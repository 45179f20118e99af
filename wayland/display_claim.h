// SPDX-License-Identifier: MIT
// One quillant-wayland --idle for each Wayland display: a lock on a file
// of the user's runtime folder, named after the display, held as long as
// the process lives and let go by the system however it ends, so that no
// stale claim outlives a crash.
#pragma once

#include <string>

namespace quillant {

class display_claim {
public:
    // Claims the display that WAYLAND_DISPLAY names (wayland-0 without it).
    display_claim();
    ~display_claim();
    display_claim(const display_claim&) = delete;
    display_claim& operator=(const display_claim&) = delete;

    // "" when this process holds the display; else the one line that says
    // why not: which process holds it, or what the system refused.
    const std::string& refusal() const { return refusal_; }

private:
    int descriptor_ = -1;
    std::string refusal_;
};

}  // namespace quillant
