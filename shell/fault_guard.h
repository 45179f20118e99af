// SPDX-License-Identifier: MIT
// The guard around the saver's mode: a fault ends it with exit code -1 after
// the platform has been told that no saver runs, and never with a dialog.
#pragma once

namespace quillant {

// Exit code of a mode ended by a fault.
constexpr int faultExitCode = -1;

// From now on, for the whole process: no system error boxes and no runtime
// message boxes; a structured exception that no frame handles (once the
// platform's UnhandledExceptionFilter has passed it on), a C++ exception that
// nothing catches and an abort each end the process with faultExitCode, after
// HandleFault.
void InstallFaultGuard();

// What the guard does with a fault: tells the platform that no saver runs.
// Returns faultExitCode.
int HandleFault();

// Runs mode() and returns its result; a C++ exception that comes back out of
// it is handled as a fault.
template <typename Mode>
int RunGuarded(Mode mode) {
    try {
        return mode();
    } catch (...) {
        return HandleFault();
    }
}

}  // namespace quillant
