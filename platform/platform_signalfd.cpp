// SPDX-License-Identifier: MIT
// The stop signals of the platform interface, on Linux: a signalfd.
#include "platform/platform.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace quillant::platform {

end_signals::end_signals() {
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigset_t before{};
    if (pthread_sigmask(SIG_BLOCK, &stop, &before) != 0) return;
    descriptor_ = signalfd(-1, &stop, SFD_CLOEXEC);
    // Blocked and unwatched, the two would end nothing.
    if (descriptor_ < 0) pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

end_signals::~end_signals() {
    if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace quillant::platform
