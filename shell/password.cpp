// SPDX-License-Identifier: MIT
#include "shell/password.h"

#include "shell/proc_address.h"
#include "shell/shell_state.h"

namespace quillant {

namespace {

HMODULE passwordModule = nullptr;

}  // namespace

VerifyScreenSavePwdProc verifier = nullptr;
TickSource tickSource = GetTickCount;
DWORD lastVerifyTick = neverVerified;

bool ConfirmClose(HWND window) {
    if (isCheckingPassword || isClosing) return false;
    if (verifier == nullptr) {
        isClosing = true;
        return true;
    }
    const DWORD now = tickSource();
    if (lastVerifyTick != neverVerified && now - lastVerifyTick < verifyRefusalPeriod) {
        return false;
    }

    isCheckingPassword = true;
    // Frames queued before the verifier's dialog need not be drawn first.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    isClosing = SendMessageA(window, VerifyPasswordMessage, 0, 0) != 0;
    isCheckingPassword = false;

    if (!isClosing) SetCursor(nullptr);
    lastVerifyTick = tickSource();
    return isClosing;
}

void LoadPasswordSupport() {
    if (!passwordPlatform) return;
    if (passwordModule != nullptr) UnloadPasswordSupport();

    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE,
                      &desktop) != ERROR_SUCCESS) {
        return;
    }
    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&usePassword), &size) == ERROR_SUCCESS &&
        usePassword != 0) {
        passwordModule = LoadLibraryA("PASSWORD.CPL");
        if (passwordModule != nullptr) {
            verifier = FindProc<VerifyScreenSavePwdProc>(passwordModule, "VerifyScreenSavePwd");
            if (verifier != nullptr) {
                SetSaverRunning(TRUE);
            } else {
                UnloadPasswordSupport();
            }
        }
    }
    RegCloseKey(desktop);
}

void UnloadPasswordSupport() {
    if (!passwordPlatform || passwordModule == nullptr) return;
    FreeLibrary(passwordModule);
    passwordModule = nullptr;
    if (verifier != nullptr) {
        verifier = nullptr;
        SetSaverRunning(FALSE);
    }
}

void SetSaverRunning(BOOL running) {
    if (!passwordPlatform) return;
    BOOL previous = FALSE;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}

}  // namespace quillant
