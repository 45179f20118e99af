// SPDX-License-Identifier: MIT
// A stand-in for the platform's MPR.DLL: its password change only logs that
// it was asked, with the provider name.
#include "test_log.h"

#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND window,
                                                                  DWORD, DWORD) {
    char line[128];
    std::snprintf(line, sizeof line, "PwdChangePasswordA %s %d", provider ? provider : "(null)",
                  IsWindow(window) ? 1 : 0);
    append_to_test_log(line);
    return 0;
}
