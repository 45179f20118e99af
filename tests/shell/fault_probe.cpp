// SPDX-License-Identifier: MIT
// A GUI program that faults in the way its argument names, under the saver's
// fault guard; fault_guard_test runs it and reads its exit code. Without an
// argument it ends normally with 7.
#include "platform/platform.h"
#include "shell/fault_guard.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

namespace {

volatile std::uintptr_t nowhere = 8;

LRESULT CALLBACK ThrowingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) throw std::runtime_error("out of a window procedure");
    return DefWindowProcA(window, message, wParam, lParam);
}

void ThrowInWindowProcedure() {
    WNDCLASSA throwingClass = {};
    throwingClass.lpfnWndProc = ThrowingProc;
    throwingClass.hInstance = GetModuleHandleA(nullptr);
    throwingClass.lpszClassName = "QuillantFaultProbe";
    RegisterClassA(&throwingClass);
    HWND window = CreateWindowExA(0, "QuillantFaultProbe", "", WS_POPUP, 0, 0, 8, 8, nullptr,
                                  nullptr, throwingClass.hInstance, nullptr);
    SendMessageA(window, WM_APP, 0, 0);
}

void ThrowOnThread(void*) { throw std::bad_alloc(); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    quillant::InstallFaultGuard();
    const std::string fault = commandLine;
    if (fault == "access-violation") {
        *reinterpret_cast<volatile int*>(nowhere) = 1;
    } else if (fault == "throw-in-window-procedure") {
        ThrowInWindowProcedure();
    } else if (fault == "throw-on-thread") {
        quillant::platform::thread thrower;
        thrower.start(ThrowOnThread, nullptr);
        Sleep(60000);
    } else if (fault == "abort") {
        std::abort();
    }
    return 7;
}
