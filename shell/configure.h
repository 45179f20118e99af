// SPDX-License-Identifier: MIT
// The configuration mode. The saver has no settings: the module holds no
// dialog template for it, so the dialog call fails at once.
#pragma once

#include <windows.h>

namespace quillant {

// Shows the configuration dialog owned by `parent` (may be null); returns the
// dialog's result, -1 as the template is missing.
int ShowConfigureDialog(HWND parent);

// The configuration dialog's procedure: handles no message.
INT_PTR CALLBACK ConfigureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the dialog's window classes, of which there are none; TRUE.
BOOL RegisterConfigureClasses(HINSTANCE module);

}  // namespace quillant
