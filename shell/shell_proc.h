// SPDX-License-Identifier: MIT
// The saver window's own procedures around the scene's: SaverShellProc sees
// every message first; SaverDefaultProc is where the scene's procedure sends
// what it does not handle, and where input ends the saver.
#pragma once

#include <windows.h>

namespace quillant {

// Largest cursor travel, |dx| + |dy| in pixels, that does not end the saver.
constexpr DWORD mouseMoveThreshold = 4;

// The procedure that SaverShellProc passes messages on to, with
// SaverDefaultProc as the procedure to fall back on: SceneWindowProc, or a
// test's stand-in.
using SceneProc = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              WNDPROC fallback);
extern SceneProc sceneProc;

// The cursor position that movement is measured from: at the window's
// creation, after each close asked for by movement and each refused close.
extern POINT startCursor;

// The saver window class's procedure: hides the cursor, detaches the input
// method, keeps the title, swallows task switches, another saver's start and
// the frames after a confirmed close, and hands preview help to the parent.
LRESULT CALLBACK SaverShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The scene's default handling: keys, clicks, movement beyond the threshold,
// deactivation and power events ask for a close; a close is let through when
// ConfirmClose allows it. In the preview nothing ends the saver but a close.
LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quillant
