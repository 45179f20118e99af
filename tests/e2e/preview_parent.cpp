// SPDX-License-Identifier: MIT
// A stand-in for the display settings' preview: a top-level window whose
// handle it prints in decimal, for the saver's preview mode to draw into. It
// prints the saver's child window once it appears, and goes away when a file
// named "close" appears in its working directory, or after two minutes.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT_PTR poll_timer = 1;
constexpr UINT poll_period_ms = 100;
constexpr DWORD lifetime_ms = 120000;

DWORD started = 0;
bool child_seen = false;

// Prints the saver's preview window, once, when it has appeared inside.
void report_child(HWND window) {
    HWND child = FindWindowExA(window, nullptr, "WindowsScreenSaverClass", "Preview");
    if (child_seen || child == nullptr || !IsWindowVisible(child)) return;
    child_seen = true;
    RECT area{};
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    std::printf("child %ld,%ld %ldx%ld style %08lx\n", area.left, area.top,
                area.right - area.left, area.bottom - area.top,
                static_cast<unsigned long>(style));
    std::fflush(stdout);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            report_child(window);
            if (GetFileAttributesA("close") != INVALID_FILE_ATTRIBUTES ||
                GetTickCount() - started > lifetime_ms) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    started = GetTickCount();
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = ParentProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    window_class.lpszClassName = "QuillantPreviewParent";
    if (!RegisterClassA(&window_class)) return 1;
    HWND window = CreateWindowExA(0, "QuillantPreviewParent", "Quillant preview parent",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 320, 240, nullptr, nullptr,
                                  window_class.hInstance, nullptr);
    if (window == nullptr) return 2;
    SetTimer(window, poll_timer, poll_period_ms, nullptr);
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
