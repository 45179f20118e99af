// SPDX-License-Identifier: MIT
// The keymap a Wayland compositor hands its clients: XKB text in a file,
// of a size given beside it.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>

namespace quillant {

// Compiles the keymap of at most `size` bytes in the file `fd`, which the
// compositor should end with a NUL; nothing past `size` is read, NUL or
// not. Null when it cannot be read or does not compile.
xkb_keymap* compile_keymap(xkb_context* keys, int fd, std::uint32_t size);

}  // namespace quillant
