// SPDX-License-Identifier: MIT
#include "shell/password.h"
#include "shell/shell_proc.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace quillant::testing {
namespace {

// The verifier's answer and what it saw, for the test in progress.
struct VerifierRecord {
    BOOL answer = FALSE;
    int calls = 0;
    HWND window = nullptr;
    bool checkingInside = false;
    std::function<void(HWND)> during;  // runs inside the verifier, like its dialog
};
VerifierRecord verification;

BOOL WINAPI FakeVerifier(HWND window) {
    ++verification.calls;
    verification.window = window;
    verification.checkingInside = isCheckingPassword;
    if (verification.during) verification.during(window);
    return verification.answer;
}

DWORD fakeNow = 0;
DWORD WINAPI FakeTick() { return fakeNow; }

// A saver on the password platform with a password set, its verifier loaded.
class PasswordClose : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        verification = VerifierRecord{};
        fakeNow = 5000;
        passwordPlatform = true;
        verifier = FakeVerifier;
        tickSource = FakeTick;
        ASSERT_NE(MakeWindow(), nullptr);
    }

    // Asks for a close the way a click does, and lets it be handled.
    void Click() {
        Send(WM_LBUTTONDOWN);
        MSG close;
        while (PeekMessageA(&close, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) DispatchMessageA(&close);
    }
};

TEST_F(PasswordClose, AClickAsksTheVerifierFirst) {
    verification.answer = TRUE;
    Click();
    EXPECT_EQ(verification.calls, 1);
    EXPECT_EQ(verification.window, window_);
    EXPECT_TRUE(verification.checkingInside);
    EXPECT_FALSE(isCheckingPassword);
    EXPECT_TRUE(isClosing);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PasswordClose, ARefusalKeepsTheSaverWithTheCursorHidden) {
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    PostMessageA(window_, WM_TIMER, 1, 0);
    PostMessageA(window_, WM_TIMER, 1, 0);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verification.calls, 1);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(isClosing);
    EXPECT_FALSE(isCheckingPassword);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(lastVerifyTick, fakeNow);
    MSG frame;
    EXPECT_FALSE(PeekMessageA(&frame, window_, WM_TIMER, WM_TIMER, PM_REMOVE))
        << "the frames queued before the verification were dropped";
    // Frames go on after the refusal.
    Send(WM_TIMER, 1);
    EXPECT_EQ(scene.handled[WM_TIMER], 1);
}

TEST_F(PasswordClose, ACloseSoonAfterARefusalIsDroppedALaterOneAsked) {
    Send(WM_CLOSE);
    ASSERT_EQ(verification.calls, 1);
    fakeNow += 150;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verification.calls, 1);
    fakeNow += 49;
    Send(WM_CLOSE);
    EXPECT_EQ(verification.calls, 1);
    fakeNow += 51;  // 250 ms after the refusal
    Send(WM_CLOSE);
    EXPECT_EQ(verification.calls, 2);
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(PasswordClose, TheRefusalPeriodSurvivesTheTickCountWrapping) {
    fakeNow = 0xFFFFFFF0;
    Send(WM_CLOSE);
    fakeNow = 0x50;  // 96 ms later
    Send(WM_CLOSE);
    EXPECT_EQ(verification.calls, 1);
    fakeNow = 0xD0;  // 224 ms later
    Send(WM_CLOSE);
    EXPECT_EQ(verification.calls, 2);
}

TEST_F(PasswordClose, ARefusalRenewsTheCursorReference) {
    SetCursorPos(startCursorX + 40, startCursorY + 40);
    Send(WM_CLOSE);
    EXPECT_EQ(startCursor.x, startCursorX + 40);
    EXPECT_EQ(startCursor.y, startCursorY + 40);
    SetCursorPos(startCursorX + 43, startCursorY + 41);
    Send(WM_MOUSEMOVE);
    EXPECT_FALSE(TakeClose(window_));
}

TEST_F(PasswordClose, NothingDuringTheVerificationStartsAnother) {
    bool nestedConfirm = true;
    LRESULT nestedClose = 1;
    verification.during = [&](HWND window) {
        nestedConfirm = ConfirmClose(window);
        nestedClose = SendMessageA(window, WM_CLOSE, 0, 0);
        SendMessageA(window, WM_KEYDOWN, 0, 0);
        SetCursorPos(startCursorX + 90, startCursorY);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    };
    verification.answer = TRUE;
    Send(WM_CLOSE);
    EXPECT_EQ(verification.calls, 1);
    EXPECT_FALSE(nestedConfirm);
    EXPECT_EQ(nestedClose, 0);
    EXPECT_FALSE(TakeClose(window_)) << "input during the verification asked for no close";
    EXPECT_FALSE(IsWindow(window_)) << "the verifier's answer still counts";
}

TEST_F(PasswordClose, WithoutAVerifierACloseGoesThrough) {
    verifier = nullptr;
    Send(WM_CLOSE);
    EXPECT_TRUE(isClosing);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PasswordClose, TheVerifyMessageAnswersWhetherTheUserMayLeave) {
    verification.answer = TRUE;
    EXPECT_EQ(Send(VerifyPasswordMessage), TRUE);
    verification.answer = FALSE;
    EXPECT_EQ(Send(VerifyPasswordMessage), FALSE);
    EXPECT_EQ(verification.calls, 2);
    verifier = nullptr;
    EXPECT_EQ(Send(VerifyPasswordMessage), 1);
    passwordPlatform = false;
    verifier = FakeVerifier;
    EXPECT_EQ(Send(VerifyPasswordMessage), 0);
    EXPECT_EQ(verification.calls, 2);
}

class PasswordSupport : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellState();
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &desktop_, nullptr),
                  ERROR_SUCCESS);
        DWORD size = sizeof saved_;
        hadValue_ = RegQueryValueExA(desktop_, valueName, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&saved_), &size) == ERROR_SUCCESS;
    }

    void TearDown() override {
        if (hadValue_) {
            SetValue(saved_);
        } else {
            RegDeleteValueA(desktop_, valueName);
        }
        RegCloseKey(desktop_);
        ResetShellState();
    }

    void SetValue(DWORD value) {
        RegSetValueExA(desktop_, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    }

    static constexpr char valueName[] = "ScreenSaveUsePassword";
    HKEY desktop_ = nullptr;
    DWORD saved_ = 0;
    bool hadValue_ = false;
};

TEST_F(PasswordSupport, AMissingVerifierMeansNoPassword) {
    ASSERT_EQ(LoadLibraryA("PASSWORD.CPL"), nullptr) << "this platform has a verifier";
    passwordPlatform = true;
    SetValue(1);
    LoadPasswordSupport();
    EXPECT_EQ(verifier, nullptr);
    UnloadPasswordSupport();
}

TEST_F(PasswordSupport, OffThePasswordPlatformAVerifierIsNeverLookedFor) {
    SetValue(1);
    verifier = FakeVerifier;
    LoadPasswordSupport();
    UnloadPasswordSupport();
    EXPECT_EQ(verifier, FakeVerifier) << "nothing was touched";
}

}  // namespace
}  // namespace quillant::testing
