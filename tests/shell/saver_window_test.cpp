// SPDX-License-Identifier: MIT
#include "shell/saver_window.h"
#include "shell/shell_proc.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace quillant::testing {
namespace {

class RunSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellState();
        scene.postCloseOnCreate = true;
    }
    void TearDown() override {
        DrainQueue();
        ResetShellState();
    }
};

TEST_F(RunSaverTest, FullScreenCoversTheVirtualScreenUntilClosed) {
    EXPECT_EQ(RunSaver(nullptr), 0);
    ASSERT_EQ(scene.handled[WM_CREATE], 1);
    EXPECT_EQ(scene.handled[WM_DESTROY], 1);
    const CREATESTRUCTA& made = scene.creation;
    EXPECT_EQ(scene.className, "WindowsScreenSaverClass");
    EXPECT_EQ(scene.title, "Screen Saver");
    EXPECT_EQ(static_cast<DWORD>(made.style), 0x96000000u);
    EXPECT_EQ(made.dwExStyle, 0x88u);
    EXPECT_EQ(made.hwndParent, nullptr);
    EXPECT_EQ(made.x, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(made.y, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(made.cx, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(made.cy, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_FALSE(isPreview);

    WNDCLASSA saverClass;
    ASSERT_TRUE(GetClassInfoA(saverModule, saverClassName, &saverClass));
    EXPECT_EQ(saverClass.style, 0x2Bu);
    EXPECT_EQ(saverClass.lpfnWndProc, SaverShellProc);
    EXPECT_EQ(saverClass.hIcon, nullptr);
    EXPECT_EQ(saverClass.hCursor, nullptr);
    EXPECT_EQ(saverClass.hbrBackground, GetStockObject(BLACK_BRUSH));
}

TEST_F(RunSaverTest, APreviewFillsTheParentsClientArea) {
    HWND parent = CreateWindowExA(0, "STATIC", "display settings", WS_OVERLAPPEDWINDOW, 10, 20,
                                  200, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    RECT client;
    GetClientRect(parent, &client);

    EXPECT_EQ(RunSaver(parent), 0);
    ASSERT_EQ(scene.handled[WM_CREATE], 1);
    const CREATESTRUCTA& made = scene.creation;
    EXPECT_EQ(scene.title, "Preview");
    EXPECT_EQ(static_cast<DWORD>(made.style), 0x52000000u);
    EXPECT_EQ(made.dwExStyle, 0u);
    EXPECT_EQ(made.hwndParent, parent);
    EXPECT_EQ(made.x, 0);
    EXPECT_EQ(made.y, 0);
    EXPECT_EQ(made.cx, client.right);
    EXPECT_EQ(made.cy, client.bottom);
    EXPECT_TRUE(isPreview);
    DestroyWindow(parent);
}

// A full-screen saver of another module, as another process's would be.
HWND MakeRunningSaver() {
    WNDCLASSA otherClass = {};
    otherClass.lpfnWndProc = DefWindowProcA;
    otherClass.hInstance = GetModuleHandleA("KERNEL32.DLL");
    otherClass.lpszClassName = saverClassName;
    if (RegisterClassA(&otherClass) == 0) return nullptr;
    return CreateWindowExA(0, saverClassName, fullScreenTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                           nullptr, otherClass.hInstance, nullptr);
}

TEST_F(RunSaverTest, ASecondFullScreenSaverMakesNoWindow) {
    HWND running = MakeRunningSaver();
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_EQ(scene.handled[WM_CREATE], 0);
    DestroyWindow(running);
}

TEST_F(RunSaverTest, APreviewIgnoresARunningSaver) {
    HWND running = MakeRunningSaver();
    ASSERT_NE(running, nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", "display settings", WS_POPUP, 0, 0, 152, 112,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(RunSaver(parent), 0);
    EXPECT_EQ(scene.handled[WM_CREATE], 1);
    DestroyWindow(parent);
    DestroyWindow(running);
}

TEST_F(RunSaverTest, AWindowThatCannotBeMadeEndsTheSaverWithZero) {
    scene.refuseCreation = true;
    EXPECT_EQ(RunSaver(nullptr), 0);
    EXPECT_EQ(scene.handled[WM_CREATE], 1);
    EXPECT_EQ(FindWindowA(saverClassName, fullScreenTitle), nullptr);
}

}  // namespace
}  // namespace quillant::testing
