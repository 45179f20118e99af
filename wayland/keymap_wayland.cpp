// SPDX-License-Identifier: MIT
#include "wayland/keymap_wayland.h"

#include <sys/mman.h>

#include <cstring>

namespace quillant {

xkb_keymap* compile_keymap(xkb_context* keys, int fd, std::uint32_t size) {
    if (keys == nullptr || size == 0) return nullptr;
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const char* text = static_cast<const char*>(mapped);
    xkb_keymap* map = xkb_keymap_new_from_buffer(keys, text, strnlen(text, size),
                                                 XKB_KEYMAP_FORMAT_TEXT_V1,
                                                 XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(mapped, size);
    return map;
}

}  // namespace quillant
