// SPDX-License-Identifier: MIT
#include "tests/shell/shell_test_support.h"

#include "shell/password.h"
#include "shell/saver_window.h"
#include "shell/shell_proc.h"
#include "shell/shell_state.h"

namespace quillant::testing {

namespace {

constexpr char testClassName[] = "QuillantShellTest";

void RegisterTestClass() {
    WNDCLASSA testClass = {};
    testClass.lpfnWndProc = SaverShellProc;
    testClass.hInstance = GetModuleHandleA(nullptr);
    testClass.lpszClassName = testClassName;
    RegisterClassA(&testClass);  // fails harmlessly when already registered
}

}  // namespace

SceneRecord scene;

LRESULT StandInSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         WNDPROC fallback) {
    switch (message) {
        case WM_CREATE:
            ++scene.handled[message];
            scene.creation = *reinterpret_cast<CREATESTRUCTA*>(lParam);
            scene.className = scene.creation.lpszClass;
            scene.title = scene.creation.lpszName;
            if (scene.refuseCreation) return -1;
            if (scene.postCloseOnCreate) PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_DESTROY:
        case WM_TIMER:
        case WM_SYSCOMMAND:
            ++scene.handled[message];
            return 0;
        default:
            ++scene.passedOn[message];
            return fallback(window, message, wParam, lParam);
    }
}

void ResetShellState() {
    saverModule = GetModuleHandleA(nullptr);
    passwordPlatform = false;
    isPreview = false;
    isClosing = false;
    isCheckingPassword = false;
    verifier = nullptr;
    tickSource = GetTickCount;
    lastVerifyTick = neverVerified;
    sceneProc = StandInSceneProc;
    scene = SceneRecord{};
    // A class lives as long as its process: each test registers its own.
    UnregisterClassA(saverClassName, saverModule);
    UnregisterClassA(saverClassName, GetModuleHandleA("KERNEL32.DLL"));
}

bool TakeClose(HWND window) {
    MSG message;
    bool posted = false;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) posted = true;
    return posted;
}

void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void ShellWindowTest::SetUp() {
    ResetShellState();
    RegisterTestClass();
    ASSERT_TRUE(SetCursorPos(startCursorX, startCursorY));
}

void ShellWindowTest::TearDown() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    DrainQueue();
    ResetShellState();
}

HWND ShellWindowTest::MakeWindow(HWND parent) {
    const DWORD style = parent != nullptr ? WS_CHILD : WS_POPUP;
    window_ = CreateWindowExA(0, testClassName, "Screen Saver", style, 0, 0, 64, 48, parent,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    DrainQueue();
    return window_;
}

}  // namespace quillant::testing
