// SPDX-License-Identifier: MIT
// The list of hacks in an ~/.xscreensaver: its `programs` resource, whose
// entries run over lines ended by a backslash and are parted by "\n", and
// the hack's entry added at its end, every other line left as it was. Pure,
// so that it is tested and fuzzed natively.
#pragma once

#include <string>
#include <vector>

namespace quillant {

// The hack's entry, as the README and the man page give it: a GL hack run
// with --root.
inline constexpr char hack_entry_line[] =
    "  GL:                quillant --root                          \\n\\";

// One entry of the list: whether it is switched off ("-" before it), its
// visual ("GL:"), its name in quotes, and the command.
struct listed_hack {
    bool enabled;
    std::string visual;
    std::string name;
    std::string command;
};

// The entries of the `programs` resource of the file's text; empty when it
// has none.
std::vector<listed_hack> listed_hacks(const std::string& text);

enum class list_change {
    added,           // the entry is at the end of the list
    already_listed,  // an entry runs quillant already, switched on or off
    no_list,         // the text has no `programs` resource
};

struct list_edit {
    list_change change;
    // The text with the entry added; the text as it was otherwise.
    std::string text;
};

// Adds the hack's entry at the end of the list, so that the places of the
// others, which `selected` counts, stay as they were.
list_edit add_hack_entry(const std::string& text);

}  // namespace quillant
