// SPDX-License-Identifier: MIT
#include "shell/saver_main.h"

#include "shell/change_password.h"
#include "shell/command_line.h"
#include "shell/configure.h"
#include "shell/fault_guard.h"
#include "shell/proc_address.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"

#include <commctrl.h>

namespace quillant {

namespace {

using HeapSetInformationProc = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);

// Makes a corrupt heap end the process, where the platform can.
void EnableHeapTermination() {
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr) return;
    auto setInformation = FindProc<HeapSetInformationProc>(kernel, "HeapSetInformation");
    if (setInformation != nullptr) {
        setInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    }
}

// True on Windows 95, 98 and Me.
bool IsPasswordPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The window handle that the command line names by number.
HWND WindowFrom(std::uint32_t handle) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
}

// The named window if it is one, else the foreground window.
HWND OwnerWindow(std::uint32_t handle) {
    HWND owner = WindowFrom(handle);
    return owner != nullptr && IsWindow(owner) ? owner : GetForegroundWindow();
}

// Runs the mode after the window checks; its result is the exit code.
int RunMode(const SaverCommand& command) {
    switch (command.mode) {
        case SaverMode::ConfigureAlone:
            return ShowConfigureDialog(nullptr);
        case SaverMode::Configure:
            return ShowConfigureDialog(OwnerWindow(command.handle));
        case SaverMode::FullScreen:
            return RunSaver(nullptr);
        case SaverMode::Preview: {
            HWND parent = WindowFrom(command.handle);
            if (parent == nullptr || !IsWindow(parent)) return refusedExitCode;
            return RunSaver(parent);
        }
        case SaverMode::ChangePassword:
            if (!passwordPlatform) return refusedExitCode;
            ChangeSaverPassword(OwnerWindow(command.handle));
            return 0;
        case SaverMode::Refused:
            break;
    }
    return refusedExitCode;
}

}  // namespace

int SaverMain(HINSTANCE module, HINSTANCE, LPCSTR argumentText, int) {
    InstallFaultGuard();
    EnableHeapTermination();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    saverModule = module;
    passwordPlatform = IsPasswordPlatform();
    return RunGuarded([argumentText] { return RunMode(ParseSaverCommand(argumentText)); });
}

}  // namespace quillant
