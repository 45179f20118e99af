// SPDX-License-Identifier: MIT
// The keymap a Wayland compositor hands its clients: XKB text in a file,
// of a size given beside it.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>

namespace quillant {

// Far more than any real keymap (some hundred kB): a larger size is refused
// rather than read into memory.
inline constexpr std::uint32_t largest_keymap_bytes = 16u << 20;

// Compiles the keymap of at most `size` bytes in the file `fd`, which the
// compositor should end with a NUL; nothing past `size` is read, NUL or
// not. Null when it does not compile, or cannot be read: not a regular
// file, shorter than `size`, or `size` past largest_keymap_bytes.
xkb_keymap* compile_keymap(xkb_context* keys, int fd, std::uint32_t size);

}  // namespace quillant
