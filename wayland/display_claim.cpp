// SPDX-License-Identifier: MIT
#include "wayland/display_claim.h"

#include "render/host_options.h"

#include <fcntl.h>
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

}  // namespace

display_claim::display_claim() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        refusal_ = "--idle needs XDG_RUNTIME_DIR, to run once for each display";
        return;
    }
    const std::string display = display_name();
    const std::string path = std::string(runtime) + "/quillant-wayland-idle." + display + ".lock";
    descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor_ < 0) {
        refusal_ = "cannot open " + quoted(path) + ": " + std::strerror(errno);
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
