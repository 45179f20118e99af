// SPDX-License-Identifier: MIT
#include "wayland/display_claim.h"

#include "render/host_options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillant {

namespace {

// The display's name as a file name: a display given as a path keeps its
// folders in the name.
std::string display_name() {
    const char* given = std::getenv("WAYLAND_DISPLAY");
    std::string name = given != nullptr && *given != '\0' ? given : "wayland-0";
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

flock whole_file(short type) {
    flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

// "" when the runtime folder is the user's own, a real folder that no one
// else may enter; else why it is not, as another user could put a link or
// a file of theirs where the lock goes.
std::string private_folder(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return "cannot use " + quoted(folder) + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 077) != 0) {
        return "XDG_RUNTIME_DIR " + quoted(folder) + " is not a folder of this user's alone (mode 0700)";
    }
    return "";
}

}  // namespace

display_claim::display_claim() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        refusal_ = "--idle needs XDG_RUNTIME_DIR, to run once for each display";
        return;
    }
    refusal_ = private_folder(runtime);
    if (!refusal_.empty()) return;
    const std::string display = display_name();
    const std::string path = std::string(runtime) + "/quillant-wayland-idle." + display + ".lock";
    // No link followed, and nothing but a plain file of the user's taken:
    // a FIFO would block the open, a device would be locked in its stead.
    descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0600);
    if (descriptor_ < 0) {
        refusal_ = "cannot open " + quoted(path) + ": " + std::strerror(errno);
        return;
    }
    struct stat info {};
    if (fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
        refusal_ = quoted(path) + " is not a plain file of this user's";
        return;
    }
    // The holder may end between the refusal and the question: then try again.
    for (int tries = 0; tries < 3; ++tries) {
        flock lock = whole_file(F_WRLCK);
        if (fcntl(descriptor_, F_SETLK, &lock) == 0) return;
        if (errno != EACCES && errno != EAGAIN) break;
        flock holder = whole_file(F_WRLCK);
        if (fcntl(descriptor_, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK) {
            refusal_ = "--idle already runs for " + quoted(display) + ": process " +
                       std::to_string(holder.l_pid);
            return;
        }
    }
    refusal_ = "cannot lock " + quoted(path) + ": " + std::strerror(errno);
}

display_claim::~display_claim() {
    if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace quillant
