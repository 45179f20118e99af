// SPDX-License-Identifier: MIT
// The saver's command line, read without the platform: where the argument text
// begins, which mode it asks for and the window it names. The window checks
// are the entry's own (saver_main.cpp).
#pragma once

#include <cstdint>

namespace quillant {

enum class SaverMode {
    ConfigureAlone,  // no mode letter: the configuration, with no owner
    Configure,       // C: the configuration, owned by the named or foreground window
    FullScreen,      // S
    Preview,         // P or L: inside the named window
    ChangePassword,  // A: owned by the named or foreground window
    Refused,         // any other first character
};

struct SaverCommand {
    SaverMode mode;
    // The named window's handle; 0 when the text names none.
    std::uint32_t handle;
};

// Steps over one whole character of the active code page; stays on a NUL.
using CharStep = const char* (*)(const char* character);

// Skips the program name, quoted or not, and the blanks and control
// characters after it: the argument text starts at the first character above
// 0x20, or at the terminating NUL.
const char* FindArgumentText(const char* commandLine, CharStep next);

// Reads decimal digits as a window handle, in unsigned 32-bit arithmetic that
// wraps; stops at the first other byte. No sign, no spaces, no hexadecimal.
std::uint32_t ParseWindowHandle(const char* text);

// Reads the mode letter after any spaces, '-' and '/', and the handle that
// follows it for the modes that take one.
SaverCommand ParseSaverCommand(const char* argumentText);

}  // namespace quillant
