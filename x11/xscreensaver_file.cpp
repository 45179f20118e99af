// SPDX-License-Identifier: MIT
#include "x11/xscreensaver_file.h"

#include "x11/xscreensaver_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillant {

namespace {

// The whole text of an open file; false on a read error.
bool read_all(int fd, std::string& text) {
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// The text of the file at path, read through one descriptor with its status.
// False, with errno set, when it cannot be read.
bool read_file(const std::string& path, std::string& text, struct stat& status) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool read = fstat(fd, &status) == 0 && read_all(fd, text);
    const int error = errno;
    close(fd);
    errno = error;
    return read;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string failure(const std::string& what) { return what + ": " + std::strerror(errno); }

int refuse(const std::string& message) {
    std::fprintf(stderr, "quillant: %s\n", message.c_str());
    return 1;
}

// A file to be replaced: where it really lies, and what it holds now.
struct target {
    std::string real;
    bool exists = false;
    struct stat status {};
    std::string text;
};

// Finds the file at path, through a link, and reads it; a missing file is
// found too, as one that does not exist. Returns "" or why not.
std::string find_target(const std::string& path, target& found) {
    // NOTE: the file may be a link into a folder of dotfiles; its new text
    // replaces the file the link names, by a rename beside it.
    char real[PATH_MAX];
    if (realpath(path.c_str(), real) == nullptr) {
        if (errno != ENOENT) return failure("cannot find " + path);
        found.real = path;
        return "";
    }
    found.real = real;
    found.exists = true;
    return read_file(found.real, found.text, found.status) ? "" : failure("cannot read " + path);
}

// True while the file holds what it held when it was found.
bool unchanged(const target& found) {
    std::string now;
    struct stat status {};
    if (!read_file(found.real, now, status)) return !found.exists && errno == ENOENT;
    return found.exists && now == found.text;
}

// Writes the text to a new file of a unique name beside the target, with the
// permissions (and, for root, the owner) of `like`, flushed to the disk, and
// renames it over the target while the target is unchanged; then flushes the
// folder. Returns "" or why not, with nothing left behind.
std::string write_over(const std::string& path, const target& found, const struct stat& like,
                       const std::string& text) {
    std::string fresh = found.real + ".XXXXXX";
    const int fd = mkstemp(fresh.data());
    if (fd < 0) return failure("cannot write beside " + path);
    // mkstemp makes it readable by its owner alone until it has its permissions.
    bool written = fchmod(fd, like.st_mode & 07777) == 0 &&
                   (geteuid() != 0 || fchown(fd, like.st_uid, like.st_gid) == 0) &&
                   write_all(fd, text) && fsync(fd) == 0;
    const int error = errno;
    written = close(fd) == 0 && written;
    std::string why;
    if (!written) {
        errno = error;
        why = failure("cannot write " + path);
    } else if (!unchanged(found)) {
        why = path + " changed while it was being edited";
    } else if (rename(fresh.c_str(), found.real.c_str()) != 0) {
        why = failure("cannot replace " + path);
    }
    if (!why.empty()) {
        unlink(fresh.c_str());
        return why;
    }
    const int folder = open(folder_of(found.real).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return "";
}

}  // namespace

std::string replace_text(const std::string& path, const std::string& expected,
                         const std::string& text) {
    target found;
    if (std::string why = find_target(path, found); !why.empty()) return why;
    if (found.exists && ((found.status.st_mode & 0222) == 0 || access(found.real.c_str(), W_OK) != 0)) {
        return path + " is read-only";
    }
    if (found.text != expected) return path + " changed while it was being edited";
    struct stat like = found.status;
    if (!found.exists) {
        like.st_mode = 0644;
        like.st_uid = geteuid();
        like.st_gid = getegid();
    }
    return write_over(path, found, like, text);
}

int add_to_xscreensaver_file(const std::string& home) {
    const std::string path = home + "/.xscreensaver";
    target original;
    if (std::string why = find_target(path, original); !why.empty() || !original.exists) {
        return refuse("cannot read " + path + ": start xscreensaver-settings once, which writes it "
                      "with the whole list of hacks, then ask again");
    }
    const list_edit edit = add_hack_entry(original.text);
    switch (edit.change) {
        case list_change::no_list:
            return refuse(path + " has no programs list, and one of quillant alone would hide "
                          "every other hack: choose a hack in xscreensaver-settings once, then "
                          "ask again");
        case list_change::already_listed:
            std::printf("quillant: %s lists quillant already; nothing changed\n", path.c_str());
            return 0;
        case list_change::added:
            break;
    }

    // The backup gets the old text and the old file's permissions, whatever
    // an earlier backup held, even a read-only one.
    const std::string backup = path + ".bak";
    target old_backup;
    std::string why = find_target(backup, old_backup);
    if (why.empty()) why = write_over(backup, old_backup, original.status, original.text);
    if (!why.empty()) return refuse(why + "; " + path + " is as it was");
    why = replace_text(path, original.text, edit.text);
    if (!why.empty()) return refuse(why + "; it is as it was");
    std::printf("quillant: added \"GL: quillant --root\" at the end of the list in %s; its text "
                "before is in %s\n",
                path.c_str(), backup.c_str());
    return 0;
}

}  // namespace quillant
