// SPDX-License-Identifier: MIT
#include "shell/change_password.h"

#include "shell/proc_address.h"

namespace quillant {

namespace {

using PwdChangePasswordProc = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD, DWORD);

}  // namespace

void ChangeSaverPassword(HWND parent) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    auto change = FindProc<PwdChangePasswordProc>(library, "PwdChangePasswordA");
    if (change != nullptr) change("SCRSAVE", parent, 0, 0);
    FreeLibrary(library);
}

}  // namespace quillant
