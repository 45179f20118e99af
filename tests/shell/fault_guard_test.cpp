// SPDX-License-Identifier: MIT
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Generous: a program's start under emulation takes seconds; a dialog would
// hold it for ever.
constexpr DWORD probeLimitMs = 120000;

std::string ProbePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "fault_probe.exe";
}

// Runs the probe with the fault; its exit code, or STILL_ACTIVE when it had
// to be ended.
DWORD RunProbe(const std::string& fault) {
    std::string commandLine = "\"" + ProbePath() + "\" " + fault;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return 0;
    }
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, probeLimitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

constexpr DWORD faultExit = 0xFFFFFFFF;

TEST(FaultGuard, TheProbeEndsNormallyWithoutAFault) { EXPECT_EQ(RunProbe(""), 7u); }

TEST(FaultGuard, AnAccessViolationEndsTheProcessWithMinusOne) {
    EXPECT_EQ(RunProbe("access-violation"), faultExit);
}

TEST(FaultGuard, AnExceptionOutOfAWindowProcedureEndsTheProcessWithMinusOne) {
    EXPECT_EQ(RunProbe("throw-in-window-procedure"), faultExit);
}

TEST(FaultGuard, AnExceptionOnAnotherThreadEndsTheProcessWithMinusOne) {
    EXPECT_EQ(RunProbe("throw-on-thread"), faultExit);
}

TEST(FaultGuard, AnAbortEndsTheProcessWithMinusOneWithoutAMessageBox) {
    EXPECT_EQ(RunProbe("abort"), faultExit);
}

}  // namespace
