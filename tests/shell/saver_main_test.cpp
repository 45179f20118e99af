// SPDX-License-Identifier: MIT
#include "shell/fault_guard.h"
#include "shell/saver_main.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace quillant::testing {
namespace {

class SaverMainTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShellState(); }
    void TearDown() override {
        DrainQueue();
        ResetShellState();
    }

    int Run(const std::string& argumentText) {
        return SaverMain(GetModuleHandleA(nullptr), nullptr, argumentText.c_str(), SW_SHOW);
    }

    static std::string Handle(HWND window) {
        return std::to_string(reinterpret_cast<UINT_PTR>(window));
    }
};

TEST_F(SaverMainTest, BadCommandLinesAreRefused) {
    for (const char* text : {"/x", "1", "\t/s", "/p", "/p 0", "/p:1234", ":"}) {
        EXPECT_EQ(Run(text), -1) << '"' << text << '"';
    }
    EXPECT_EQ(scene.handled[WM_CREATE], 0);
}

TEST_F(SaverMainTest, APreviewOfSomethingThatIsNoWindowIsRefused) {
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(Run("/p " + Handle(gone)), -1);
    EXPECT_EQ(scene.handled[WM_CREATE], 0);
}

TEST_F(SaverMainTest, APreviewRunsInsideItsWindowUntilClosed) {
    HWND parent = CreateWindowExA(0, "STATIC", "display settings", WS_POPUP, 0, 0, 152, 112,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    scene.postCloseOnCreate = true;
    EXPECT_EQ(Run("/l " + Handle(parent)), 0);
    EXPECT_EQ(scene.handled[WM_CREATE], 1);
    EXPECT_EQ(scene.creation.hwndParent, parent);
    DestroyWindow(parent);
}

TEST_F(SaverMainTest, TheConfigurationHasNoDialogToShow) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    for (const std::string& text :
         {std::string(""), std::string("/c"), std::string("/c:0"), std::string("/C 1234"),
          "/c:" + Handle(owner)}) {
        EXPECT_EQ(Run(text), -1) << '"' << text << '"';
    }
    DestroyWindow(owner);
}

TEST_F(SaverMainTest, ChangingThePasswordIsRefusedOffThePasswordPlatform) {
    // Wine, like every NT platform, keeps the saver password to itself.
    EXPECT_EQ(Run("/a 1234"), -1);
    EXPECT_FALSE(passwordPlatform);
}

TEST(RunGuarded, AnExceptionOutOfTheModeEndsItWithMinusOne) {
    EXPECT_EQ(RunGuarded([] { return 3; }), 3);
    EXPECT_EQ(RunGuarded([]() -> int { throw std::bad_alloc(); }), faultExitCode);
    EXPECT_EQ(RunGuarded([]() -> int { throw 7; }), faultExitCode);
}

}  // namespace
}  // namespace quillant::testing
