// SPDX-License-Identifier: MIT
// The user's ~/.xscreensaver, to which the hack adds itself when asked.
#pragma once

#include <string>

namespace quillant {

// Adds the hack at the end of the list of hacks in `home`/.xscreensaver,
// which keeps its old text in .xscreensaver.bak beside it; says on the
// standard streams what it did, or why it could not. The exit status: 0 when
// the list holds the hack afterwards, 1 otherwise.
int add_to_xscreensaver_file(const std::string& home);

}  // namespace quillant
