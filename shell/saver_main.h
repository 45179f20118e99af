// SPDX-License-Identifier: MIT
// The saver's mode dispatch: probes the platform, reads the mode from the
// argument text and runs it under the fault guard.
#pragma once

#include <windows.h>

namespace quillant {

// Exit code of a bad command line, a bad window or a mode the platform lacks.
constexpr int refusedExitCode = -1;

// Runs the mode that the argument text asks for; its result is the process's
// exit code. The previous instance and the show command are not used.
int SaverMain(HINSTANCE module, HINSTANCE previousInstance, LPCSTR argumentText,
              int showCommand);

}  // namespace quillant
