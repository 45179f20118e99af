// SPDX-License-Identifier: MIT
// libFuzzer target over the X11 hack's option reading: the input, cut at NUL
// bytes, is the arguments; the last piece is XSCREENSAVER_WINDOW. Checks that
// what is accepted lies within the documented ranges and that a refusal is
// one line.
#include "x11/hack_options.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            pieces.emplace_back();
        } else {
            pieces.back() += static_cast<char>(data[i]);
        }
    }
    const std::string environment = pieces.back();
    pieces.pop_back();

    const quillant::hack_command command =
        quillant::read_hack_command(pieces, environment.c_str());
    if (!command.error.empty()) {
        Check(command.error.find('\n') == std::string::npos);
        return 0;
    }
    const quillant::hack_options& options = command.options;
    Check(options.width >= 1 && options.width <= quillant::largest_window_side);
    Check(options.height >= 1 && options.height <= quillant::largest_window_side);
    Check(options.frame_period_us >= 0 &&
          options.frame_period_us <= quillant::longest_frame_period_us);
    Check(options.target != quillant::hack_target::window_id || options.window != 0);
    return 0;
}
