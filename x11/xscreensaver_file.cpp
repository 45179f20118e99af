// SPDX-License-Identifier: MIT
#include "x11/xscreensaver_file.h"

#include "x11/xscreensaver_list.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quillant {

namespace {

bool read_text(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return !in.bad();
}

bool write_text(const std::string& path, const std::string& text, mode_t mode) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) return false;
    }
    return chmod(path.c_str(), mode) == 0;
}

int refuse(const std::string& message) {
    std::fprintf(stderr, "quillant: %s\n", message.c_str());
    return 1;
}

}  // namespace

int add_to_xscreensaver_file(const std::string& home) {
    const std::string path = home + "/.xscreensaver";
    std::string text;
    if (!read_text(path, text)) {
        return refuse("cannot read " + path + ": start xscreensaver-settings once, which writes it "
                      "with the whole list of hacks, then ask again");
    }
    const list_edit edit = add_hack_entry(text);
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

    // NOTE: the file may be a link into a folder of dotfiles; the new text
    // replaces the file the link names, whole, by a rename beside it.
    char real[PATH_MAX];
    struct stat status {};
    if (realpath(path.c_str(), real) == nullptr || stat(real, &status) != 0) {
        return refuse("cannot find where " + path + " lies");
    }
    const mode_t mode = status.st_mode & 07777;
    const std::string backup = path + ".bak";
    const std::string fresh = std::string(real) + ".quillant-new";
    if (!write_text(backup, text, mode)) return refuse("cannot write the backup " + backup);
    if (!write_text(fresh, edit.text, mode) || std::rename(fresh.c_str(), real) != 0) {
        std::remove(fresh.c_str());
        return refuse("cannot write " + path + "; it is as it was");
    }
    std::printf("quillant: added \"GL: quillant --root\" at the end of the list in %s; its text "
                "before is in %s\n",
                path.c_str(), backup.c_str());
    return 0;
}

}  // namespace quillant
