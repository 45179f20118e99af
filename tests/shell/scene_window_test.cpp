// SPDX-License-Identifier: MIT
#include "shell/scene_window.h"

#include "platform/platform.h"
#include "tests/support/allocation_hook.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace quillant {
namespace {

constexpr char sceneClassName[] = "QuillantSceneTest";
constexpr int clientWidth = 320;
constexpr int clientHeight = 240;
// Bounds on waits for the worker: generous, as everything here is emulated.
constexpr DWORD waitLimitMs = 60000;

LRESULT CALLBACK SceneTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SceneWindowProc(window, message, wParam, lParam, DefWindowProcA);
}

// The real scene procedure on a real window with a real GL context.
class SceneWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA sceneClass = {};
        sceneClass.style = CS_OWNDC;
        sceneClass.lpfnWndProc = SceneTestProc;
        sceneClass.hInstance = GetModuleHandleA(nullptr);
        sceneClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        sceneClass.lpszClassName = sceneClassName;
        RegisterClassA(&sceneClass);
    }

    void TearDown() override {
        testing::allow_allocations();
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    }

    HWND MakeWindow() {
        RECT area = {0, 0, clientWidth, clientHeight};
        window_ = CreateWindowExA(0, sceneClassName, "scene", WS_POPUP | WS_VISIBLE, area.left,
                                  area.top, area.right, area.bottom, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        return window_;
    }

    // Waits, within the limit, until the worker has made a rose live.
    static bool WaitForRose() {
        const DWORD start = GetTickCount();
        while (host.app->scene->root().roses.rose_count.load() == 0) {
            if (GetTickCount() - start > waitLimitMs) return false;
            Sleep(20);
        }
        return true;
    }

    // Non-black pixels that the screen shows where the window is.
    int LitPixels() const {
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = clientWidth;
        format.bmiHeader.biHeight = -clientHeight;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC copy = CreateCompatibleDC(screen);
        HBITMAP picture = CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(copy, picture);
        POINT origin = {0, 0};
        ClientToScreen(window_, &origin);
        BitBlt(copy, 0, 0, clientWidth, clientHeight, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        int lit = 0;
        const auto* pixel = static_cast<const std::uint32_t*>(bits);
        for (int i = 0; i < clientWidth * clientHeight; ++i) {
            if ((pixel[i] & 0xFFFFFF) != 0) ++lit;
        }
        SelectObject(copy, previous);
        DeleteObject(picture);
        DeleteDC(copy);
        ReleaseDC(nullptr, screen);
        return lit;
    }

    HWND window_ = nullptr;
};

TEST_F(SceneWindow, CreationSetsTheSceneUpForTheClientArea) {
    ASSERT_NE(MakeWindow(), nullptr);
    EXPECT_EQ(host.window_width, clientWidth);
    EXPECT_EQ(host.window_height, clientHeight);
    ASSERT_NE(host.app, nullptr);
    EXPECT_EQ(host.app->view_mode, perspective_view);
    ASSERT_NE(host.app->scene, nullptr);
    EXPECT_EQ(host.app->scene->root().width, clientWidth);
    EXPECT_EQ(host.app->scene->root().height, clientHeight);
    EXPECT_TRUE(host.app->scene->worker_started());
    EXPECT_NE(wglGetCurrentContext(), nullptr);

    // The frame timer is number 1 and runs every 50 ms.
    MSG message;
    const DWORD start = GetTickCount();
    bool ticked = false;
    while (!ticked && GetTickCount() - start < waitLimitMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER);
        ticked = PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE) != 0;
    }
    ASSERT_TRUE(ticked);
    EXPECT_EQ(message.wParam, 1u);
}

// Lets the live rose skip its growth, so that the whole strip is drawn.
void ShowWholeRose() {
    rose_set& roses = host.app->scene->root().roses;
    platform::scoped_lock held(roses.lock);
    traj_rose& rose = *roses.roses.front();
    rose.progress = static_cast<std::int32_t>(rose.vertices.size());
}

std::int32_t RoseProgress() {
    rose_set& roses = host.app->scene->root().roses;
    platform::scoped_lock held(roses.lock);
    return roses.roses.front()->progress;
}

TEST_F(SceneWindow, EveryTimerMessageDrawsAFrameIntoTheWindow) {
    ASSERT_NE(MakeWindow(), nullptr);
    ASSERT_TRUE(WaitForRose());
    EXPECT_EQ(LitPixels(), 0) << "nothing is drawn before the first frame";
    ShowWholeRose();
    const std::int32_t before = RoseProgress();
    EXPECT_EQ(SendMessageA(window_, WM_TIMER, 1, 0), 0);
    EXPECT_EQ(SendMessageA(window_, WM_TIMER, 99, 0), 0);
    EXPECT_EQ(RoseProgress(), before + 6) << "each timer message made a frame";
    EXPECT_GT(LitPixels(), 200) << "the rose shows in the window";
}

TEST_F(SceneWindow, DestructionReleasesTheContexts) {
    ASSERT_NE(MakeWindow(), nullptr);
    DestroyWindow(window_);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(SceneWindow, WithoutRoomForTheAppRecordNoWindowIsMade) {
    testing::fail_allocations_after(0);
    EXPECT_EQ(MakeWindow(), nullptr);
    testing::allow_allocations();
    EXPECT_EQ(host.app, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr) << "the failed creation released its context";
}

TEST_F(SceneWindow, WithoutRoomForTheSceneRootNoWindowIsMade) {
    testing::fail_allocations_after(1);
    EXPECT_EQ(MakeWindow(), nullptr);
    testing::allow_allocations();
    ASSERT_NE(host.app, nullptr);
    EXPECT_EQ(host.app->view_mode, 0);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

UINT fallbackSaw = 0;

LRESULT CALLBACK RecordingFallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    fallbackSaw = message;
    return message == WM_APP ? 42 : DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SceneWindow, OtherMessagesGetTheFallbacksAnswer) {
    ASSERT_NE(MakeWindow(), nullptr);
    EXPECT_EQ(SceneWindowProc(window_, WM_APP, 0, 0, RecordingFallback), 42);
    EXPECT_EQ(fallbackSaw, UINT{WM_APP});
}

}  // namespace
}  // namespace quillant
