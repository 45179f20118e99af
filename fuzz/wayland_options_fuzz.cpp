// SPDX-License-Identifier: MIT
// libFuzzer target over quillant-wayland's option reading: the input, cut at
// NUL bytes, is the arguments. Checks that what is accepted lies within the
// documented ranges and that a refusal is one line.
#include "wayland/saver_options.h"

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
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    const quillant::wayland_command command = quillant::read_wayland_command(arguments);
    if (!command.error.empty()) {
        Check(command.error.find('\n') == std::string::npos);
        return 0;
    }
    const quillant::wayland_options& options = command.options;
    Check(options.frame_period_us >= 0 &&
          options.frame_period_us <= quillant::longest_frame_period_us);
    Check(options.mode != quillant::wayland_mode::window || options.output.empty());
    Check(options.idle_seconds <= quillant::longest_idle_seconds);
    Check(options.idle_seconds > 0 ? options.mode == quillant::wayland_mode::saver
                                   : !options.on_battery);
    return 0;
}
