// SPDX-License-Identifier: MIT
// libFuzzer target over the list of hacks in an ~/.xscreensaver: the input is
// the file's text. Checks that adding the hack leaves a text it does not
// change as it was, or lists every entry it listed and the hack after them,
// and that a second time changes nothing.
#include "x11/xscreensaver_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

bool same(const quillant::listed_hack& a, const quillant::listed_hack& b) {
    return a.enabled == b.enabled && a.visual == b.visual && a.name == b.name &&
           a.command == b.command;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const quillant::list_edit edit = quillant::add_hack_entry(text);
    if (edit.change != quillant::list_change::added) {
        Check(edit.text == text);
        return 0;
    }
    const std::vector<quillant::listed_hack> before = quillant::listed_hacks(text);
    const std::vector<quillant::listed_hack> after = quillant::listed_hacks(edit.text);
    Check(after.size() == before.size() + 1);
    for (std::size_t i = 0; i < before.size(); ++i) Check(same(after[i], before[i]));
    Check(same(after.back(), {true, "GL", "", "quillant --root"}));
    const quillant::list_edit again = quillant::add_hack_entry(edit.text);
    Check(again.change == quillant::list_change::already_listed && again.text == edit.text);
    return 0;
}
