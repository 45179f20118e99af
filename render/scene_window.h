// The rendering host's Win32 share: the saver window's own handling of its
// creation, its destruction and the frame timer, on a GL context of its own.
#pragma once

#include <windows.h>

namespace quillant {

// Handles creation (GL context, scene, view, the 50 ms frame timer),
// destruction (timer and contexts released) and every timer message (one
// frame, presented), each answered 0. Any other message is answered by
// `fallback`, the shell's default handling. Creation is answered -1, so that
// no window is made, when the scene cannot be allocated.
LRESULT SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        WNDPROC fallback);

// Takes the window's device context, gives it a double-buffered RGBA pixel
// format and makes a new GL context current on the calling thread.
void create_gl_context(HWND window);

}  // namespace quillant
