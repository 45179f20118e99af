// SPDX-License-Identifier: MIT
// The user's ~/.xscreensaver, to which the hack adds itself when asked, and
// the safe replacement of a user's file that it is written with.
#pragma once

#include <string>

namespace quillant {

// Adds the hack at the end of the list of hacks in `home`/.xscreensaver,
// which keeps its old text in .xscreensaver.bak beside it; says on the
// standard streams what it did, or in one line why it could not. The exit
// status: 0 when the list holds the hack afterwards, 1 otherwise.
int add_to_xscreensaver_file(const std::string& home);

// Replaces the text of the file at `path` (through a link, of the file it
// names) with `text`, provided it still holds `expected`; a missing file is
// made when `expected` is empty. The text goes to a new file of a unique
// name in the same folder, with the old file's permissions (and owner, for
// root), flushed to the disk, and is renamed over the old one; the folder is
// flushed too. Returns "" when done; otherwise why not, and the old file is
// as it was, with no new file left beside it.
std::string replace_text(const std::string& path, const std::string& expected,
                         const std::string& text);

}  // namespace quillant
