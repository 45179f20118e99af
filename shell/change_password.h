// SPDX-License-Identifier: MIT
// The change-password mode, on the platform family that leaves the saver
// password to the saver: the platform's own dialog does the work.
#pragma once

#include <windows.h>

namespace quillant {

// Runs the platform's password change for savers, owned by `parent`; does
// nothing where the platform has none.
void ChangeSaverPassword(HWND parent);

}  // namespace quillant
