// SPDX-License-Identifier: MIT
// libFuzzer target over quillant-snapshot's option reading: the input, cut
// at NUL bytes, is the arguments. Checks that what is accepted lies within
// the documented ranges, writes at least one picture, that a moment's parts
// agree, and that a refusal is one line.
#include "tools/snapshot_options.h"

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
    std::vector<std::string> arguments;
    if (size > 0) arguments.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    const quillant::snapshot_command command = quillant::read_snapshot_command(arguments);
    if (!command.error.empty()) {
        Check(command.error.find('\n') == std::string::npos && command.error.size() < 200);
        return 0;
    }
    const quillant::snapshot_options& options = command.options;
    Check(options.width >= 1 && options.width <= quillant::largest_snapshot_side);
    Check(options.height >= 1 && options.height <= quillant::largest_snapshot_side);
    Check(options.frames >= 1 && options.frames <= quillant::most_snapshot_frames);
    Check(options.help || (options.every >= 1 && options.every <= options.frames));
    Check(!options.out.empty());
    // One moment: a frame of the run, or a moment whose parts agree.
    Check(!options.frame || (*options.frame >= 1 && *options.frame <= quillant::latest_moment_frame));
    if (options.at) {
        const quillant::moment& at = *options.at;
        Check(at.frame >= 1 && at.frame <= quillant::latest_moment_frame);
        Check(at.rose >= 0 && at.rose <= at.frame && at.began >= 0 && at.began <= at.frame);
        Check(at.began == 0 || at.rose > 0);
    }
    return 0;
}
