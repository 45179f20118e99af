// SPDX-License-Identifier: MIT
// What the shell's Windows tests share: a stand-in for the scene's procedure,
// which keeps GL out of them, the shell state reset for each test, and a
// hidden saver window on which messages are sent for real.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quillant::testing {

// What the stand-in saw, by message.
struct SceneRecord {
    std::map<UINT, int> handled;    // creation, destruction, timers, system commands
    std::map<UINT, int> passedOn;   // everything given to the fallback
    CREATESTRUCTA creation = {};    // as the window's creation saw it; the
    std::string className;          // texts copied, as they live only as
    std::string title;              // long as the creation
    bool postCloseOnCreate = false;
    bool refuseCreation = false;
};
extern SceneRecord scene;

// Answers creation, destruction and timers with 0, as SceneWindowProc does,
// and records system commands without letting them reach the platform;
// everything else goes to the fallback.
LRESULT StandInSceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         WNDPROC fallback);

// Puts every shell flag and seam back to its start, with the stand-in in place.
void ResetShellState();

// True when a WM_CLOSE for the window was posted since the last call.
bool TakeClose(HWND window);

// Removes every message queued for the thread, a quit among them.
void DrainQueue();

// A hidden pop-up window of a class whose procedure is SaverShellProc, made
// with the cursor at startCursorX/Y. Hidden, so that no activation message
// asks for a close of its own.
class ShellWindowTest : public ::testing::Test {
protected:
    static constexpr int startCursorX = 100;
    static constexpr int startCursorY = 100;

    void SetUp() override;
    void TearDown() override;

    // Makes the window, as a child of `parent` when one is given.
    HWND MakeWindow(HWND parent = nullptr);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(window_, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

}  // namespace quillant::testing
