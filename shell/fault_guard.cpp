// SPDX-License-Identifier: MIT
#include "shell/fault_guard.h"

#include "shell/password.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <exception>

namespace quillant {

namespace {

// Handles the fault and ends the process with the fault's exit code.
[[noreturn]] void EndFaultedProcess() { ExitProcess(static_cast<UINT>(HandleFault())); }

// NOTE: g++ has no __try/__except on 32-bit Windows. The top-level filter
// stands in for the handler: the system calls it from
// UnhandledExceptionFilter, for any thread, exactly when that filter would
// run the handler (it leaves a debugger the exception), and it is where an
// unwinding handler would have taken the main thread.
LONG WINAPI FilterUnhandled(EXCEPTION_POINTERS*) { EndFaultedProcess(); }

// abort() raises this signal before it ends the process its own way.
void OnAbortSignal(int) { EndFaultedProcess(); }

}  // namespace

void InstallFaultGuard() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // NOTE: in a GUI program msvcrt reports abort() and failed assertions in a
    // message box; standard error keeps them out of sight.
    _set_error_mode(_OUT_TO_STDERR);
    std::signal(SIGABRT, OnAbortSignal);
    // NOTE: a C++ exception cannot unwind through the system's frames of a
    // window procedure or a thread start, so one thrown there ends in
    // std::terminate, whose default aborts.
    std::set_terminate(EndFaultedProcess);
    SetUnhandledExceptionFilter(FilterUnhandled);
}

int HandleFault() {
    SetSaverRunning(FALSE);
    return faultExitCode;
}

}  // namespace quillant
