// SPDX-License-Identifier: MIT
#include "shell/shell_proc.h"

#include "shell/scene_window.h"
#include "shell/input_method.h"
#include "shell/password.h"
#include "shell/shell_state.h"

namespace quillant {

namespace {

// Asks the window to close, through its queue.
void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// Distance between two coordinates, without overflow.
DWORD Travel(LONG from, LONG to) {
    return to > from ? static_cast<DWORD>(to) - static_cast<DWORD>(from)
                     : static_cast<DWORD>(from) - static_cast<DWORD>(to);
}

// In the preview the platform's own window answers help and context menus.
void ForwardToParent(HWND window, UINT message, LPARAM lParam) {
    HWND parent = GetParent(window);
    if (parent == nullptr || !IsWindow(parent)) return;
    const WPARAM self = reinterpret_cast<WPARAM>(parent);
    // NOTE: help carries a pointer to a HELPINFO that lives only while this
    // message is handled, and the platform refuses to post such a message;
    // sending hands it over while it is valid.
    if (message == WM_HELP) {
        SendMessageA(parent, message, self, lParam);
    } else {
        PostMessageA(parent, message, self, lParam);
    }
}

// Asks for a close when the cursor has travelled beyond the threshold.
void CloseOnTravel(HWND window) {
    POINT now;
    GetCursorPos(&now);
    const DWORD travel = Travel(startCursor.x, now.x) + Travel(startCursor.y, now.y);
    if (travel > mouseMoveThreshold) {
        PostClose(window);
        startCursor = now;
    }
}

// A resume after a failed suspend is not the user coming back.
void CloseOnResume(HWND window, LPARAM lParam) {
    if ((lParam & PBTF_APMRESUMEFROMFAILURE) == 0) PostClose(window);
}

// Handles a power event; true when its answer is 1 rather than the default.
bool AnswerPowerEvent(HWND window, WPARAM event, LPARAM lParam) {
    switch (event) {
        case PBT_APMQUERYSUSPEND:
            return true;
        case PBT_APMQUERYSTANDBY:
        case PBT_APMQUERYSUSPENDFAILED:
        case PBT_APMQUERYSTANDBYFAILED:
        case PBT_APMSUSPEND:
        case PBT_APMSTANDBY:
            PostClose(window);
            return false;
        case PBT_APMRESUMECRITICAL:
        case PBT_APMRESUMESUSPEND:
        case PBT_APMRESUMESTANDBY:
        case PBT_APMRESUMEAUTOMATIC:
            CloseOnResume(window, lParam);
            return false;
        case PBT_APMPOWERSTATUSCHANGE:
        case PBT_POWERSETTINGCHANGE:
            return false;
        default:
            PostClose(window);
            return false;
    }
}

}  // namespace

SceneProc sceneProc = SceneWindowProc;
POINT startCursor = {0, 0};

LRESULT CALLBACK SaverShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            DetachInputMethod(window);
            GetCursorPos(&startCursor);
            if (!isPreview) SetCursor(nullptr);
            break;
        case WM_DESTROY:
            RestoreInputMethod(window);
            PostQuitMessage(0);
            break;
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
            if (!isPreview) SetCursor(nullptr);
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (isPreview) {
                ForwardToParent(window, message, lParam);
                return 1;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (isClosing) return DefWindowProcA(window, message, wParam, lParam);
            break;
        case WM_SYSCOMMAND:
            if (isPreview) break;
            switch (wParam & 0xFFF0) {
                case SC_NEXTWINDOW:
                case SC_PREVWINDOW:
                case SC_SCREENSAVE:
                    return 0;
                case SC_MONITORPOWER:
                    PostClose(window);
                    break;
            }
            break;
        case WM_TIMER:
            if (isClosing) return 0;
            // The worker's turn comes before each frame.
            Sleep(0);
            break;
    }
    return sceneProc(window, message, wParam, lParam, SaverDefaultProc);
}

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isPreview || isClosing) return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_CLOSE) {
        if (!passwordPlatform || ConfirmClose(window)) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        GetCursorPos(&startCursor);
        return 0;
    }
    if (message == VerifyPasswordMessage) {
        if (!passwordPlatform) return DefWindowProcA(window, message, wParam, lParam);
        if (verifier == nullptr) return 1;
        return verifier(window);
    }
    if (isCheckingPassword) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            PostClose(window);
            break;
        case WM_MOUSEMOVE:
            CloseOnTravel(window);
            break;
        case WM_ACTIVATEAPP:
            if (wParam == 0) PostClose(window);
            break;
        case WM_SHOWWINDOW:
            if (wParam != 0) SetCursor(nullptr);
            break;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return 1;
        case WM_POWER:
            if (wParam == PWR_CRITICALRESUME) PostClose(window);
            break;
        case WM_POWERBROADCAST:
            if (AnswerPowerEvent(window, wParam, lParam)) return 1;
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quillant
