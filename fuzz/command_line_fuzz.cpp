// SPDX-License-Identifier: MIT
// libFuzzer target over the command-line reading: any bytes as a whole
// command line and as an argument text, cut with a byte step and with a
// double-byte step. Checks that the argument text lies inside the line and
// starts where the reading says it does.
#include "shell/command_line.h"
#include "tests/support/char_steps.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

void CutAndRead(const std::string& line, quillant::CharStep next) {
    const char* start = line.c_str();
    const char* text = quillant::FindArgumentText(start, next);
    Check(text >= start && text <= start + line.size());
    Check(*text == '\0' || static_cast<unsigned char>(*text) > 0x20);
    quillant::ParseSaverCommand(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The platform hands the program NUL-terminated text: stop at a NUL.
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::string text = line.substr(0, line.find('\0'));
    CutAndRead(text, quillant::ByteStep);
    CutAndRead(text, quillant::DoubleByteStep);

    const quillant::SaverCommand command = quillant::ParseSaverCommand(text.c_str());
    const bool takesHandle = command.mode == quillant::SaverMode::Preview ||
                             command.mode == quillant::SaverMode::Configure ||
                             command.mode == quillant::SaverMode::ChangePassword;
    Check(takesHandle || command.handle == 0);
    return 0;
}
