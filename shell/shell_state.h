// SPDX-License-Identifier: MIT
// The shell's process-wide flags, set at entry and by the saver window, read
// on the window's thread only.
#pragma once

#include <windows.h>

namespace quillant {

// The program's instance handle, for the window class and the dialog.
extern HINSTANCE saverModule;

// True on the platform family (Windows 95, 98, Me) that leaves the saver
// password to the saver itself; all password handling is off elsewhere.
extern bool passwordPlatform;

// The saver runs inside a preview window: no input ends it.
extern bool isPreview;

// A close has been confirmed; from now on the saver only goes away.
extern bool isClosing;

// The password verifier is running, with its own dialog and message loop.
extern bool isCheckingPassword;

}  // namespace quillant
