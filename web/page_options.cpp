// SPDX-License-Identifier: MIT
#include "web/page_options.h"

#include "render/address_query.h"

#include <set>

namespace quillant {

namespace {

// A switch: no value, or one of the words for on and off.
bool parse_switch(const std::string& text, bool& on) {
    for (const char* yes : {"", "1", "true", "yes", "on"}) {
        if (text == yes) {
            on = true;
            return true;
        }
    }
    for (const char* no : {"0", "false", "no", "off"}) {
        if (text == no) {
            on = false;
            return true;
        }
    }
    return false;
}

}  // namespace

page_command read_page_query(const std::string& query) {
    page_command command;
    page_options& options = command.options;
    moment_parts parts;
    // A part refused is warned about once, as itself; a moment that lacks it
    // then goes without a word more.
    std::set<std::string> refused;
    std::set<std::string> given;
    std::set<std::string> repeated;
    for (const auto& pair : query_pairs(query)) {
        // NOTE: named, not bound: C++17 lambdas cannot capture a structured binding.
        const std::string& name = pair.first;
        const std::string& value = pair.second;
        auto ignore = [&](const std::string& wanted) {
            command.warnings.push_back("ignored " + name + "=" + quoted(value) + ": not " + wanted);
        };
        const bool known = is_moment_part(name) || name == "delay" || name == "fps" ||
                           name == "verbose";
        if (!known) {
            command.warnings.push_back(
                "ignored " + quoted(name) +
                ": not a setting of the page (seed, frame, rose, began, orbit, delay, fps, verbose)");
            continue;
        }
        if (!given.insert(name).second && repeated.insert(name).second) {
            command.warnings.push_back(name + " is given more than once: the last one holds");
        }
        if (is_moment_part(name)) {
            const std::string wanted = read_moment_part(name, value, parts);
            if (!wanted.empty()) {
                ignore(wanted);
                refused.insert(name);
            }
        } else if (name == "delay") {
            const std::string wanted = read_frame_period(value, options.frame_period_us);
            if (!wanted.empty()) ignore(wanted);
        } else {
            bool& chosen = name == "fps" ? options.show_fps : options.verbose;
            bool on = false;
            if (parse_switch(value, on)) {
                chosen = on;
            } else {
                ignore("one of 1, true, yes, on, 0, false, no, off");
            }
        }
    }
    options.seed = parts.seed;
    const bool lacks_refused = (refused.count("seed") && !parts.seed) ||
                               (refused.count("frame") && !parts.frame) ||
                               (refused.count("rose") && !parts.rose) ||
                               (refused.count("began") && !parts.began) ||
                               (refused.count("orbit") && !parts.orbit);
    if (parts.any() && !lacks_refused) {
        moment opened;
        const std::string why = assemble_moment(parts, opened);
        if (why.empty()) {
            options.opened_at = opened;
        } else {
            command.warnings.push_back("ignored the moment: " + why);
        }
    }
    return command;
}

}  // namespace quillant
