// SPDX-License-Identifier: MIT
// A stand-in for the platform's PASSWORD.CPL: its verifier answers what the
// file named by QUILLANT_TEST_VERIFY holds ("1" lets the saver close, anything
// else refuses), read afresh at every call, and logs each call.
#include "test_log.h"

#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char line[64];
    std::snprintf(line, sizeof line, "VerifyScreenSavePwd %d", IsWindow(window) ? 1 : 0);
    append_to_test_log(line);
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("QUILLANT_TEST_VERIFY", path, sizeof path);
    if (length == 0 || length >= sizeof path) return FALSE;
    std::FILE* answer_file = std::fopen(path, "r");
    if (answer_file == nullptr) return FALSE;
    const int answer = std::fgetc(answer_file);
    std::fclose(answer_file);
    return answer == '1';
}
