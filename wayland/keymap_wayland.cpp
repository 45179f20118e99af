// SPDX-License-Identifier: MIT
#include "wayland/keymap_wayland.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace quillant {

namespace {

// Reads `size` bytes of the file from its start; false when fewer are there.
bool read_whole(int fd, std::string& bytes, std::size_t size) {
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, &bytes[done], size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

xkb_keymap* compile_keymap(xkb_context* keys, int fd, std::uint32_t size) {
    struct stat file {};
    if (keys == nullptr || size == 0 || size > largest_keymap_bytes || fstat(fd, &file) != 0 ||
        !S_ISREG(file.st_mode) || file.st_size < static_cast<off_t>(size)) {
        return nullptr;
    }
    // NOTE: read rather than mapped: a file that the compositor shortens
    // while it is read cannot end the program with SIGBUS.
    std::string text;
    if (!read_whole(fd, text, size)) return nullptr;
    return xkb_keymap_new_from_buffer(keys, text.c_str(), strnlen(text.c_str(), size),
                                      XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
}

}  // namespace quillant
