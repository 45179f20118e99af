// SPDX-License-Identifier: MIT
// Keeps the input method away from the saver window while it runs.
#pragma once

#include <windows.h>

namespace quillant {

// Detaches the window's input context, where the input-method library is
// already loaded into the process; remembers what it detached.
void DetachInputMethod(HWND window);

// Gives the window back the input context that DetachInputMethod took.
void RestoreInputMethod(HWND window);

}  // namespace quillant
