// SPDX-License-Identifier: MIT
#include "wayland/keymap_wayland.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

// NOTE: libxkbcommon is built without frame pointers, so the fast unwinder
// stops inside it; the slow one reaches xkb_keymap_new_from_buffer, the
// frame that the leak suppression of its failed parses names.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace quillant {
namespace {

struct keymap_file {
    int fd = -1;
    ~keymap_file() {
        if (fd >= 0) close(fd);
    }
};

// A file of the given bytes, as a compositor shares its keymap.
void write_file(keymap_file& file, const std::string& bytes) {
    file.fd = memfd_create("keymap", MFD_CLOEXEC);
    ASSERT_GE(file.fd, 0);
    ASSERT_EQ(write(file.fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

class keymap_test : public ::testing::Test {
protected:
    void SetUp() override {
        keys_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        ASSERT_NE(keys_, nullptr);
        // The keymaps that do not compile here do so on purpose.
        xkb_context_set_log_level(keys_, XKB_LOG_LEVEL_CRITICAL);
        xkb_keymap* us = xkb_keymap_new_from_names(keys_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
        ASSERT_NE(us, nullptr);
        char* text = xkb_keymap_get_as_string(us, XKB_KEYMAP_FORMAT_TEXT_V1);
        text_ = text;
        std::free(text);
        xkb_keymap_unref(us);
    }
    void TearDown() override { xkb_context_unref(keys_); }

    // Whether the file of these bytes, `size` of them given, compiles.
    bool compiles(const std::string& bytes, std::uint32_t size) {
        keymap_file file;
        write_file(file, bytes);
        xkb_keymap* map = compile_keymap(keys_, file.fd, size);
        if (map == nullptr) return false;
        xkb_keymap_unref(map);
        return true;
    }

    xkb_context* keys_ = nullptr;
    std::string text_;
};

TEST_F(keymap_test, reads_a_keymap_ended_by_its_nul) {
    EXPECT_TRUE(compiles(text_ + '\0', static_cast<std::uint32_t>(text_.size() + 1)));
}

// A compositor that leaves the NUL out: what follows in the file, past the
// size given, is never read.
TEST_F(keymap_test, reads_nothing_past_the_size_given) {
    const std::string after = "xkb_keymap { this is not part of it";
    EXPECT_TRUE(compiles(text_ + after, static_cast<std::uint32_t>(text_.size())));
    EXPECT_FALSE(compiles(text_ + after, static_cast<std::uint32_t>(text_.size() + after.size())));
}

// A size past the file's end, or past any keymap's, and a file that is no
// regular one are refused, never read (a mapping past the end would end
// the program with SIGBUS).
TEST_F(keymap_test, refuses_what_it_cannot_read) {
    EXPECT_FALSE(compiles(text_ + '\0', static_cast<std::uint32_t>(text_.size() + 4096 * 4)));
    EXPECT_FALSE(compiles(text_ + '\0', largest_keymap_bytes + 1));
    EXPECT_FALSE(compiles(text_ + '\0', UINT32_MAX));
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], text_.c_str(), text_.size() + 1), static_cast<ssize_t>(text_.size() + 1));
    EXPECT_EQ(compile_keymap(keys_, ends[0], static_cast<std::uint32_t>(text_.size() + 1)), nullptr);
    close(ends[0]);
    close(ends[1]);
    EXPECT_FALSE(compiles(text_, 0));
    EXPECT_FALSE(compiles("xkb_keymap {", 12));
    EXPECT_EQ(compile_keymap(keys_, -1, 100), nullptr);
    EXPECT_EQ(compile_keymap(nullptr, 0, 100), nullptr);
}

}  // namespace
}  // namespace quillant
