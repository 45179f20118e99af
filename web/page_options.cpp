// SPDX-License-Identifier: MIT
#include "web/page_options.h"

#include <cstddef>
#include <set>

namespace quillant {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A name or value of a query as the browser's URLSearchParams reads it:
// "+" is a space and "%XX" a byte; a "%" without two hex digits stays.
std::string unescaped(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            plain += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
                   hex_digit(text[i + 2]) >= 0) {
            plain += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

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
    std::size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;

        const std::size_t equals = pair.find('=');
        const std::string name = unescaped(pair.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? "" : unescaped(pair.substr(equals + 1));
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
