// SPDX-License-Identifier: MIT
// Shared by the test stand-ins for the platform's password modules: they
// append what they were asked to the file named by QUILLANT_TEST_LOG.
#pragma once

#include <windows.h>

#include <cstdio>

inline void append_to_test_log(const char* line) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("QUILLANT_TEST_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    if (std::FILE* log = std::fopen(path, "ab")) {
        std::fprintf(log, "%s\n", line);
        std::fclose(log);
    }
}
