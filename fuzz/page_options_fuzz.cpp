// SPDX-License-Identifier: MIT
// libFuzzer target over the page's reading of its address's query: the
// input is the query. Checks that what is taken lies within the documented
// ranges, that a moment's parts agree, and that each warning is one short
// line.
#include "web/page_options.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string query(reinterpret_cast<const char*>(data), size);
    const quillant::page_command command = quillant::read_page_query(query);
    const quillant::page_options& options = command.options;
    Check(options.frame_period_us >= 0 &&
          options.frame_period_us <= quillant::longest_frame_period_us);
    if (options.opened_at) {
        const quillant::moment& at = *options.opened_at;
        Check(options.seed == at.seed);
        Check(at.frame >= 1 && at.frame <= quillant::latest_moment_frame);
        Check(at.rose >= 0 && at.rose <= at.frame && at.began >= 0 && at.began <= at.frame);
        Check(at.began == 0 || at.rose > 0);
    }
    for (const std::string& warning : command.warnings) {
        Check(warning.find('\n') == std::string::npos && warning.find('\r') == std::string::npos);
        Check(warning.size() < 160);
    }
    return 0;
}
