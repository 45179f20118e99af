// SPDX-License-Identifier: MIT
#include "shell/shell_state.h"

namespace quillant {

HINSTANCE saverModule = nullptr;
bool passwordPlatform = false;
bool isPreview = false;
bool isClosing = false;
bool isCheckingPassword = false;

}  // namespace quillant
