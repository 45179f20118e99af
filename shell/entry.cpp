// SPDX-License-Identifier: MIT
// The process entry of quillant.scr.
#include "shell/command_line.h"
#include "shell/saver_main.h"

#include <windows.h>

namespace quillant {

namespace {

// Steps over one character of the active code page.
const char* NextCharacter(const char* character) { return CharNextA(character); }

// Finds the argument text and the show command, runs the mode and ends the
// process with its result, without the runtime's exit processing.
[[noreturn]] void SaverEntry() {
    const char* argumentText = FindArgumentText(GetCommandLineA(), NextCharacter);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(
        SaverMain(GetModuleHandleA(nullptr), nullptr, argumentText, showCommand)));
}

}  // namespace

}  // namespace quillant

// NOTE: the runtime's start-up must run first: it makes the static objects,
// the random engine among them, before calling WinMain.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { quillant::SaverEntry(); }
