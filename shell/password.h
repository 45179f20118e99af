// SPDX-License-Identifier: MIT
// The platform's saver password, on the platform family that leaves it to the
// saver: its verifier is loaded while the full-screen saver runs and is asked
// before the saver may close.
#pragma once

#include <windows.h>

namespace quillant {

// Asks the saver window to run the verifier; non-zero when the user may leave.
constexpr UINT VerifyPasswordMessage = WM_APP;

// A close request this soon after a refused verification is dropped, in ms.
constexpr DWORD verifyRefusalPeriod = 200;

// lastVerifyTick before any verification.
constexpr DWORD neverVerified = 0xFFFFFFFF;

using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);
using TickSource = DWORD(WINAPI*)();

// "VerifyScreenSavePwd" of "PASSWORD.CPL" while loaded, else null.
extern VerifyScreenSavePwdProc verifier;

// Millisecond clock of the refusal period: GetTickCount, or a test's own.
extern TickSource tickSource;

// The clock at the end of the last verification, or neverVerified.
extern DWORD lastVerifyTick;

// True when the close may go ahead: no verifier is loaded, or it accepts.
// False without asking while a verification runs or shortly after a refusal.
bool ConfirmClose(HWND window);

// Loads the verifier when the user has a saver password and tells the
// platform that a saver runs. Nothing off the password platform.
void LoadPasswordSupport();

// Frees the verifier and tells the platform that no saver runs any more.
void UnloadPasswordSupport();

// Tells the password platform whether a saver runs, which keeps the user from
// switching tasks around it; nothing elsewhere.
void SetSaverRunning(BOOL running);

}  // namespace quillant
