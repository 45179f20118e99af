// SPDX-License-Identifier: MIT
#include "x11/xscreensaver_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillant {
namespace {

// An ~/.xscreensaver as xscreensaver-settings writes it, cut short.
const std::string settings_file =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for someone on a day.\n"
    "\n"
    "timeout:\t0:10:00\n"
    "mode:\t\tone\n"
    "selected:\t2\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n"
    "  GL: \t\t\t\t\"Glitch\" glitchpeg -root\t\t    \\n\\\n"
    "\t\t\t\txanalogtv -root\t\t\t\t    \\n\\\n"
    "\n"
    "\n"
    "pointerHysteresis:\t10\n";

bool operator==(const listed_hack& a, const listed_hack& b) {
    return a.enabled == b.enabled && a.visual == b.visual && a.name == b.name &&
           a.command == b.command;
}

const listed_hack quillant_entry{true, "GL", "", "quillant --root"};

// The text with the one line of the hack's entry taken out.
std::string without_entry_line(const std::string& text) {
    const std::string line = std::string(hack_entry_line);
    for (const std::string& form : {line + "\n", line.substr(0, line.size() - 1) + "\n",
                                    "\n" + line.substr(0, line.size() - 1)}) {
        const std::size_t at = text.find(form);
        if (at != std::string::npos) return text.substr(0, at) + text.substr(at + form.size());
    }
    return text;
}

TEST(XScreenSaverList, ReadsTheEntriesOfTheProgramsList) {
    const std::vector<listed_hack> hacks = listed_hacks(settings_file);
    ASSERT_EQ(hacks.size(), 4u);
    EXPECT_TRUE(hacks[0] == (listed_hack{true, "", "", "maze -root"}));
    EXPECT_TRUE(hacks[1] == (listed_hack{false, "GL", "", "superquadrics -root"}));
    EXPECT_TRUE(hacks[2] == (listed_hack{true, "GL", "Glitch", "glitchpeg -root"}));
    EXPECT_TRUE(hacks[3] == (listed_hack{true, "", "", "xanalogtv -root"}));
}

// Whatever way the list ends, the entry goes after the last one, so that
// `selected` still counts to the same hack; every other line stays, and a
// second time changes nothing.
TEST(XScreenSaverList, AddsTheEntryLastKeepingEverythingElse) {
    const std::vector<std::string> files = {
        settings_file,
        // The last entry ends the list on its own line, with "\n" or without.
        "programs:\t\\\n  maze -root \\n\\\n  xanalogtv -root \\n\nmode: one\n",
        "programs:\t\\\n  maze -root \\n\\\n  xanalogtv -root\nmode: one\n",
        // On the line of the name, alone or with more after it.
        "programs: maze -root\n",
        "programs: maze -root \\n\\\n\txanalogtv -root\n",
        // An empty list, and a file that ends inside one.
        "programs:\nmode: random\n",
        "timeout: 0:10:00\nprograms:\t\\\n  maze -root \\n\\",
    };
    for (const std::string& file : files) {
        const list_edit edit = add_hack_entry(file);
        ASSERT_EQ(edit.change, list_change::added) << file;
        std::vector<listed_hack> expected = listed_hacks(file);
        expected.push_back(quillant_entry);
        const std::vector<listed_hack> after = listed_hacks(edit.text);
        ASSERT_EQ(after.size(), expected.size()) << edit.text;
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_TRUE(after[i] == expected[i]) << "entry " << i << " of\n" << edit.text;
        }
        EXPECT_NE(edit.text.find(std::string(hack_entry_line).substr(0, 40)), std::string::npos);

        const list_edit again = add_hack_entry(edit.text);
        EXPECT_EQ(again.change, list_change::already_listed);
        EXPECT_EQ(again.text, edit.text);
    }
    // The usual file: its own lines, and only they, around the entry.
    EXPECT_EQ(without_entry_line(add_hack_entry(settings_file).text), settings_file);
}

TEST(XScreenSaverList, LeavesAListThatRunsTheHackAlreadyOrAFileWithoutOne) {
    for (const std::string& file :
         {std::string("programs: \\\n- GL: quillant -root \\n\\\n\n"),
          std::string("programs: \\\n"
                      "  \"Roses\" /usr/libexec/xscreensaver/quillant --root --fps\n")}) {
        const list_edit edit = add_hack_entry(file);
        EXPECT_EQ(edit.change, list_change::already_listed) << file;
        EXPECT_EQ(edit.text, file);
    }
    for (const std::string& file : {std::string(""), std::string("mode: one\nselected: 3\n"),
                                    std::string("textProgram: programs: maze\n")}) {
        const list_edit edit = add_hack_entry(file);
        EXPECT_EQ(edit.change, list_change::no_list) << file;
        EXPECT_EQ(edit.text, file);
    }
}

}  // namespace
}  // namespace quillant
