// SPDX-License-Identifier: MIT
// Finds an entry of a loaded module by name, typed as the caller calls it.
#pragma once

#include <windows.h>

namespace quillant {

// Null when the module has no entry of that name.
template <typename Function>
Function FindProc(HMODULE module, const char* name) {
    // NOTE: GetProcAddress types every entry alike; going through void (*)()
    // marks the conversion as meant, which -Wcast-function-type accepts.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace quillant
