// SPDX-License-Identifier: MIT
#include "x11/xscreensaver_list.h"

#include <cstddef>

namespace quillant {

namespace {

constexpr char blanks[] = " \t\r";
constexpr char resource_name[] = "programs:";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool blank(const std::string& line) { return line.find_first_not_of(blanks) == std::string::npos; }

// Whether the line goes on in the next: it ends in a backslash that no
// other backslash escapes.
bool continues(const std::string& line) {
    std::size_t backslashes = 0;
    for (auto c = line.rbegin(); c != line.rend() && *c == '\\'; ++c) ++backslashes;
    return backslashes % 2 == 1;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
}

// The lines, first and last, that the `programs` resource spans.
struct resource_span {
    std::size_t first;
    std::size_t last;
};

bool find_list(const std::vector<std::string>& lines, resource_span& span) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (trimmed(lines[i]).compare(0, sizeof resource_name - 1, resource_name) != 0) continue;
        span = {i, i};
        while (continues(lines[span.last]) && span.last + 1 < lines.size()) ++span.last;
        return true;
    }
    return false;
}

listed_hack parse_entry(std::string entry) {
    listed_hack hack{true, "", "", ""};
    if (entry[0] == '-') {
        hack.enabled = false;
        entry = trimmed(entry.substr(1));
    }
    // A visual is a word with a colon before any blank or quote.
    const std::size_t word_end = entry.find_first_of(" \t\"");
    const std::size_t colon = entry.find(':');
    if (colon != std::string::npos && colon < word_end) {
        hack.visual = entry.substr(0, colon);
        entry = trimmed(entry.substr(colon + 1));
    }
    if (!entry.empty() && entry[0] == '"') {
        const std::size_t close = entry.find('"', 1);
        hack.name = entry.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        entry = close == std::string::npos ? "" : trimmed(entry.substr(close + 1));
    }
    hack.command = entry;
    return hack;
}

// The program that an entry's command runs, without its folder.
std::string program_of(const listed_hack& hack) {
    const std::string program = hack.command.substr(0, hack.command.find_first_of(blanks));
    return program.substr(program.rfind('/') == std::string::npos ? 0 : program.rfind('/') + 1);
}

}  // namespace

std::vector<listed_hack> listed_hacks(const std::string& text) {
    const std::vector<std::string> lines = split_lines(text);
    resource_span span{};
    if (!find_list(lines, span)) return {};

    // The resource's value, its continuations joined, then its entries.
    std::string value;
    for (std::size_t i = span.first; i <= span.last; ++i) {
        std::string line = lines[i];
        if (i == span.first) {
            line = line.substr(line.find(resource_name) + sizeof resource_name - 1);
        }
        if (continues(line)) line.pop_back();
        value += line;
    }
    std::vector<listed_hack> hacks;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find("\\n", start);
        if (end == std::string::npos) end = value.size();
        const std::string entry = trimmed(value.substr(start, end - start));
        if (!entry.empty()) hacks.push_back(parse_entry(entry));
        start = end + 2;
    }
    return hacks;
}

list_edit add_hack_entry(const std::string& text) {
    std::vector<std::string> lines = split_lines(text);
    resource_span span{};
    if (!find_list(lines, span)) return {list_change::no_list, text};
    const std::vector<listed_hack> hacks = listed_hacks(text);
    for (const listed_hack& hack : hacks) {
        if (program_of(hack) == "quillant") return {list_change::already_listed, text};
    }

    // The last entry ends with the "\n" that parts it from the next.
    std::size_t entry_end = span.first;
    for (std::size_t i = span.first + 1; i <= span.last; ++i) {
        std::string content = lines[i];
        if (continues(content)) content.pop_back();
        if (!blank(content)) entry_end = i;
    }
    std::string& ending_line = lines[entry_end];
    const bool goes_on = continues(ending_line);
    if (goes_on) ending_line.pop_back();
    ending_line = ending_line.substr(0, ending_line.find_last_not_of(blanks) + 1);
    const bool parted = ending_line.size() >= 2 &&
                        ending_line.compare(ending_line.size() - 2, 2, "\\n") == 0;
    if (!hacks.empty() && !parted) ending_line += " \\n";
    if (goes_on) ending_line += "\\";

    const std::string continuing = hack_entry_line;
    const std::string ending = continuing.substr(0, continuing.size() - 1);
    const auto at = [&](std::size_t i) { return lines.begin() + static_cast<std::ptrdiff_t>(i); };
    if (span.last > span.first && blank(lines[span.last])) {
        // The usual end, a blank line after the last entry: the entry goes
        // before it and goes on into it.
        lines.insert(at(span.last), continuing);
    } else {
        // The list ends with the file, or on a line of its own: that line
        // goes on now, into the entry that ends the list.
        if (!continues(lines[span.last])) lines[span.last] += "\\";
        lines.insert(at(span.last + 1), ending);
    }
    return {list_change::added, joined(lines)};
}

}  // namespace quillant
