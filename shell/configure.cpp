// SPDX-License-Identifier: MIT
#include "shell/configure.h"

#include "shell/shell_state.h"

namespace quillant {

namespace {

constexpr WORD configureDialogTemplate = 2003;

}  // namespace

int ShowConfigureDialog(HWND parent) {
    if (!RegisterConfigureClasses(saverModule)) return 0;
    return static_cast<int>(DialogBoxParamA(saverModule,
                                            MAKEINTRESOURCEA(configureDialogTemplate), parent,
                                            ConfigureDialogProc, 0));
}

INT_PTR CALLBACK ConfigureDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL RegisterConfigureClasses(HINSTANCE) { return TRUE; }

}  // namespace quillant
