// SPDX-License-Identifier: MIT
#include "shell/saver_window.h"

#include "shell/password.h"
#include "shell/shell_proc.h"
#include "shell/shell_state.h"

namespace quillant {

namespace {

// Asked for by the class; the module holds none, so the class has no icon.
constexpr WORD saverIcon = 100;

constexpr DWORD fullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD fullScreenExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr DWORD previewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

struct WindowPlacement {
    RECT area;  // left, top, width, height
    DWORD style;
    DWORD exStyle;
    const char* title;
};

// The saver window's class, whose procedure is SaverShellProc.
WNDCLASSA SaverClass() {
    WNDCLASSA saverClass = {};
    // The class's own device context is the one the GL context lives on.
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = SaverShellProc;
    saverClass.hInstance = saverModule;
    saverClass.hIcon = LoadIconA(saverModule, MAKEINTRESOURCEA(saverIcon));
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = saverClassName;
    return saverClass;
}

// The parent's client area as it is now; later size changes are not followed.
WindowPlacement PreviewPlacement(HWND parent) {
    RECT client;
    GetClientRect(parent, &client);
    return {{0, 0, client.right, client.bottom}, previewStyle, 0, previewTitle};
}

// The whole virtual screen, or the screen's clip box where the platform has
// no virtual-screen metrics.
WindowPlacement FullScreenPlacement() {
    RECT area = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (area.right == 0 || area.bottom == 0) {
        HDC screen = GetDC(nullptr);
        RECT clip;
        GetClipBox(screen, &clip);
        ReleaseDC(nullptr, screen);
        area = {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
    }
    return {area, fullScreenStyle, fullScreenExStyle, fullScreenTitle};
}

// Brings a running full-screen saver forward; false when there is none.
bool ForwardRunningSaver() {
    HWND running = FindWindowA(saverClassName, fullScreenTitle);
    if (running == nullptr || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

}  // namespace

int RunSaver(HWND parent) {
    const WNDCLASSA saverClass = SaverClass();
    WindowPlacement placement;
    if (parent != nullptr) {
        placement = PreviewPlacement(parent);
        isPreview = true;
    } else {
        placement = FullScreenPlacement();
        if (ForwardRunningSaver()) return 0;
        LoadPasswordSupport();
    }

    MSG message = {};
    if (RegisterClassA(&saverClass) != 0) {
        const RECT& area = placement.area;
        HWND window = CreateWindowExA(placement.exStyle, saverClassName, placement.title,
                                      placement.style, area.left, area.top, area.right,
                                      area.bottom, parent, nullptr, saverModule, nullptr);
        if (window != nullptr) {
            if (!isPreview) SetForegroundWindow(window);
            // NOTE: GetMessage answers -1 on an error, which must not go round.
            while (GetMessageA(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    UnloadPasswordSupport();
    return static_cast<int>(message.wParam);
}

}  // namespace quillant
