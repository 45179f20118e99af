// SPDX-License-Identifier: MIT
#include "shell/shell_proc.h"
#include "shell/shell_state.h"
#include "tests/shell/shell_test_support.h"

#include <gtest/gtest.h>


namespace quillant::testing {
namespace {

class SaverInput : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        ASSERT_NE(MakeWindow(), nullptr);
    }

    // Moves the cursor for real and tells the window, as the platform would.
    bool MoveEndsSaver(int x, int y) {
        SetCursorPos(x, y);
        Send(WM_MOUSEMOVE);
        return TakeClose(window_);
    }
};

TEST_F(SaverInput, CreationHidesTheCursorAndTakesTheCursorReference) {
    EXPECT_EQ(scene.handled[WM_CREATE], 1);
    EXPECT_EQ(startCursor.x, startCursorX);
    EXPECT_EQ(startCursor.y, startCursorY);
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(SaverInput, KeysAndClicksAskForAClose) {
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN}) {
        Send(message);
        EXPECT_TRUE(TakeClose(window_)) << "message " << message;
        EXPECT_EQ(scene.passedOn[message], 1) << "message " << message;
    }
    for (UINT message : {WM_KEYUP, WM_LBUTTONUP, WM_CHAR}) {
        Send(message);
        EXPECT_FALSE(TakeClose(window_)) << "message " << message;
    }
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(SaverInput, ACursorTravelOfMoreThanFourPixelsAsksForAClose) {
    EXPECT_FALSE(MoveEndsSaver(startCursorX + 3, startCursorY + 1));
    EXPECT_FALSE(MoveEndsSaver(startCursorX - 4, startCursorY));
    EXPECT_TRUE(MoveEndsSaver(startCursorX + 3, startCursorY + 2));
    // The reference moved with the close request.
    EXPECT_FALSE(MoveEndsSaver(startCursorX + 3 - 2, startCursorY + 2 - 2));
    EXPECT_TRUE(MoveEndsSaver(startCursorX + 3, startCursorY + 2 - 5));
    EXPECT_TRUE(MoveEndsSaver(startCursorX + 300, startCursorY + 200));
}

TEST_F(SaverInput, DeactivationAsksForAClose) {
    Send(WM_ACTIVATEAPP, TRUE);
    EXPECT_FALSE(TakeClose(window_));
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(TakeClose(window_));
}

TEST_F(SaverInput, PowerEventsAskForAClose) {
    struct Case {
        WPARAM event;
        LPARAM flags;
        bool closes;
    };
    const Case cases[] = {
        {PBT_APMQUERYSUSPEND, 0, false},
        {PBT_APMQUERYSTANDBY, 0, true},
        {PBT_APMQUERYSUSPENDFAILED, 0, true},
        {PBT_APMSUSPEND, 0, true},
        {PBT_APMSTANDBY, 0, true},
        {PBT_APMRESUMECRITICAL, 0, true},
        {PBT_APMRESUMECRITICAL, PBTF_APMRESUMEFROMFAILURE, false},
        {PBT_APMRESUMESUSPEND, 0, true},
        {PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE, false},
        {PBT_APMRESUMEAUTOMATIC, PBTF_APMRESUMEFROMFAILURE, false},
        {PBT_APMPOWERSTATUSCHANGE, 0, false},
        {PBT_POWERSETTINGCHANGE, 0, false},
        {PBT_APMBATTERYLOW, 0, true},
        {PBT_APMOEMEVENT, 0, true},
    };
    for (const Case& c : cases) {
        Send(WM_POWERBROADCAST, c.event, c.flags);
        EXPECT_EQ(TakeClose(window_), c.closes) << "event " << c.event << " flags " << c.flags;
    }
    EXPECT_EQ(Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1);

    Send(WM_POWER, PWR_SUSPENDREQUEST);
    EXPECT_FALSE(TakeClose(window_));
    Send(WM_POWER, PWR_CRITICALRESUME);
    EXPECT_TRUE(TakeClose(window_));
}

TEST_F(SaverInput, TaskSwitchesAndAnotherSaverAreSwallowed) {
    for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE, SC_SCREENSAVE | 2}) {
        EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0);
    }
    EXPECT_EQ(scene.handled[WM_SYSCOMMAND], 0);
    EXPECT_FALSE(TakeClose(window_));
}

TEST_F(SaverInput, MonitorPowerAsksForAClose) {
    Send(WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_TRUE(TakeClose(window_));
    EXPECT_EQ(scene.handled[WM_SYSCOMMAND], 1);
}

TEST_F(SaverInput, TheTitleCannotBeChanged) {
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
    SetWindowTextA(window_, "Other");
    char title[32] = {};
    GetWindowTextA(window_, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
}

TEST_F(SaverInput, TheCursorStaysHidden) {
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), HTCLIENT), 1);
    EXPECT_EQ(GetCursor(), nullptr);

    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    Send(WM_SHOWWINDOW, TRUE);
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(SaverInput, EveryTimerRendersAFrameUntilTheCloseIsConfirmed) {
    Send(WM_TIMER, 1);
    Send(WM_TIMER, 7);
    EXPECT_EQ(scene.handled[WM_TIMER], 2);

    isClosing = true;
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    EXPECT_EQ(scene.handled[WM_TIMER], 2);
}

TEST_F(SaverInput, AfterAConfirmedCloseInputEndsNothingMore) {
    isClosing = true;
    Send(WM_KEYDOWN);
    Send(WM_LBUTTONDOWN);
    EXPECT_FALSE(MoveEndsSaver(startCursorX + 50, startCursorY));
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_FALSE(TakeClose(window_));
    EXPECT_EQ(scene.passedOn[WM_KEYDOWN], 0);
}

TEST_F(SaverInput, DuringAVerificationInputEndsNothing) {
    isCheckingPassword = true;
    Send(WM_KEYDOWN);
    Send(WM_RBUTTONDOWN);
    Send(WM_ACTIVATEAPP, FALSE);
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_FALSE(MoveEndsSaver(startCursorX + 50, startCursorY));
    EXPECT_FALSE(TakeClose(window_));
}

TEST_F(SaverInput, OffThePasswordPlatformACloseDestroysTheWindowAtOnce) {
    Send(WM_LBUTTONDOWN);
    MSG close;
    ASSERT_TRUE(PeekMessageA(&close, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DispatchMessageA(&close);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(scene.handled[WM_DESTROY], 1);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

// What the preview's parent was given: help is sent, context menus posted.
struct ParentRecord {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD helpSize = 0;  // read from the HELPINFO while it is valid
};
ParentRecord parentSaw;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP || message == WM_CONTEXTMENU) {
        parentSaw = {message, wParam, lParam,
                     message == WM_HELP ? reinterpret_cast<HELPINFO*>(lParam)->cbSize : 0};
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class PreviewInput : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        parentSaw = {};
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "QuillantPreviewParent";
        RegisterClassA(&parentClass);
        parent_ = CreateWindowExA(0, "QuillantPreviewParent", "display settings", WS_POPUP, 0,
                                  0, 152, 112, nullptr, nullptr, parentClass.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr);
        isPreview = true;
        ASSERT_NE(MakeWindow(parent_), nullptr);
    }

    void TearDown() override {
        ShellWindowTest::TearDown();
        DestroyWindow(parent_);
    }

    // Lets the parent handle what was posted to it.
    void DeliverToParent() {
        MSG posted;
        while (PeekMessageA(&posted, parent_, 0, 0, PM_REMOVE)) DispatchMessageA(&posted);
    }

    HWND parent_ = nullptr;
};

TEST_F(PreviewInput, NoInputEndsThePreview) {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    SetCursor(arrow);
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN}) {
        Send(message);
    }
    SetCursorPos(startCursorX + 200, startCursorY + 200);
    Send(WM_MOUSEMOVE);
    Send(WM_ACTIVATEAPP, FALSE);
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_FALSE(TakeClose(window_));
    EXPECT_EQ(GetCursor(), arrow) << "the preview leaves the cursor alone";
}

TEST_F(PreviewInput, ACloseIsNeverQuestioned) {
    passwordPlatform = true;
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PreviewInput, HelpGoesToTheParentWhileItsInformationIsValid) {
    HELPINFO help = {};
    help.cbSize = sizeof help;
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 1);
    EXPECT_EQ(parentSaw.message, UINT{WM_HELP});
    EXPECT_EQ(parentSaw.wParam, reinterpret_cast<WPARAM>(parent_));
    EXPECT_EQ(parentSaw.helpSize, sizeof help);
    EXPECT_EQ(scene.passedOn[WM_HELP], 0);
}

TEST_F(PreviewInput, ContextMenusArePostedToTheParent) {
    const LPARAM point = MAKELPARAM(23, 66);
    EXPECT_EQ(Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), point), 1);
    EXPECT_EQ(parentSaw.message, 0u) << "posted, not sent";
    DeliverToParent();
    EXPECT_EQ(parentSaw.message, UINT{WM_CONTEXTMENU});
    EXPECT_EQ(parentSaw.wParam, reinterpret_cast<WPARAM>(parent_));
    EXPECT_EQ(parentSaw.lParam, point);
    EXPECT_EQ(scene.passedOn[WM_CONTEXTMENU], 0);
}

TEST_F(PreviewInput, SystemCommandsReachTheScene) {
    Send(WM_SYSCOMMAND, SC_SCREENSAVE);
    Send(WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_EQ(scene.handled[WM_SYSCOMMAND], 2);
    EXPECT_FALSE(TakeClose(window_));
}

TEST_F(SaverInput, OutsideThePreviewHelpAndContextMenusReachTheScene) {
    HELPINFO help = {};
    help.cbSize = sizeof help;
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), 0);
    Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(scene.passedOn[WM_CONTEXTMENU], 1);
    EXPECT_EQ(scene.passedOn[WM_HELP], 1);
}

}  // namespace
}  // namespace quillant::testing
