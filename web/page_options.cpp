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
    std::set<std::string> given;
    std::set<std::string> repeated;
    for (const auto& pair : query_pairs(query)) {
        // NOTE: named, not bound: C++17 lambdas cannot capture a structured binding.
        const std::string& name = pair.first;
        const std::string& value = pair.second;
        auto ignore = [&](const std::string& wanted) {
            command.warnings.push_back("ignored " + name + "=" + quoted(value) + ": not " + wanted);
        };
        const bool known = name == "seed" || name == "delay" || name == "fps" || name == "verbose";
        if (!known) {
            command.warnings.push_back("ignored " + quoted(name) +
                                       ": not a setting of the page (seed, delay, fps, verbose)");
            continue;
        }
        if (!given.insert(name).second && repeated.insert(name).second) {
            command.warnings.push_back(name + " is given more than once: the last one holds");
        }
        if (name == "seed") {
            std::uint32_t seed = 0;
            const std::string wanted = read_seed(value, seed);
            if (wanted.empty()) {
                options.seed = seed;
            } else {
                ignore(wanted);
            }
        } else if (name == "delay") {
            const std::string wanted = read_frame_period(value, options.frame_period_us);
            if (!wanted.empty()) ignore(wanted);
        } else if (name == "fps" || name == "verbose") {
            bool& chosen = name == "fps" ? options.show_fps : options.verbose;
            bool on = false;
            if (parse_switch(value, on)) {
                chosen = on;
            } else {
                ignore("one of 1, true, yes, on, 0, false, no, off");
            }
        }
    }
    return command;
}

}  // namespace quillant
