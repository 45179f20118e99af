// SPDX-License-Identifier: MIT
#include "shell/input_method.h"

#include "shell/proc_address.h"

#include <imm.h>

namespace quillant {

namespace {

using ImmAssociateContextProc = HIMC(WINAPI*)(HWND, HIMC);

HMODULE inputMethodModule = nullptr;
ImmAssociateContextProc associateContext = nullptr;
HIMC imeContext = nullptr;

}  // namespace

void DetachInputMethod(HWND window) {
    // Only a library that is already there: loading it would start input
    // methods that the saver has no use for.
    inputMethodModule = GetModuleHandleA("IMM32.DLL");
    if (inputMethodModule == nullptr) return;
    associateContext = FindProc<ImmAssociateContextProc>(inputMethodModule, "ImmAssociateContext");
    if (associateContext != nullptr) imeContext = associateContext(window, nullptr);
}

void RestoreInputMethod(HWND window) {
    if (inputMethodModule != nullptr && associateContext != nullptr && imeContext != nullptr) {
        associateContext(window, imeContext);
    }
}

}  // namespace quillant
