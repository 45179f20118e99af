// SPDX-License-Identifier: MIT
// The page's settings, read from its address's query as the X11 hack reads
// its options: the seed, a moment to open on, the frame period, the
// frames-per-second overlay and the diagnostics. Pure, so that it is tested
// natively.
#pragma once

#include "render/host_options.h"
#include "render/moment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillant {

struct page_options {
    // Unset: a seed of the load's own.
    std::optional<std::uint32_t> seed;
    // The moment of a link, which the page opens on; its seed is the seed.
    std::optional<moment> opened_at;
    std::int64_t frame_period_us = default_frame_period_us;
    bool show_fps = false;
    bool verbose = false;
};

struct page_command {
    page_options options;
    // One line for each value that was ignored, saying why.
    std::vector<std::string> warnings;
};

// Reads a query such as "?seed=7&delay=20000&fps&verbose=0", escaped as
// browsers escape it; "?seed=7&frame=1200&rose=3&began=900&orbit=..." is a
// moment (render/moment.h). `fps`
// and `verbose` take no value or one of 1, true, yes, on, 0, false, no, off.
// A bad value is ignored, with a warning, and the default holds; so is a
// name that the page does not know, and a moment that lacks a part or
// whose parts disagree. A setting given twice is warned about once, and
// the last value that reads holds.
page_command read_page_query(const std::string& query);

}  // namespace quillant
