// SPDX-License-Identifier: MIT
// The one saver window, full screen or inside a preview, and its message loop.
#pragma once

#include <windows.h>

namespace quillant {

// The saver window's identity, by which a second full-screen start finds the
// first.
constexpr char saverClassName[] = "WindowsScreenSaverClass";
constexpr char fullScreenTitle[] = "Screen Saver";
constexpr char previewTitle[] = "Preview";

// Runs the saver over the whole virtual screen (parent null) or as a child
// filling the parent's client area, until the window is destroyed. Returns
// the quit code, 0; also 0 when another full-screen saver already runs (it
// is brought forward) or no window could be made.
int RunSaver(HWND parent);

}  // namespace quillant
