// SPDX-License-Identifier: MIT
#include "render/host_options.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <random>

namespace quillant {

namespace {

constexpr std::size_t longest_quote = 40;

// The option's name without its one or two leading dashes; empty for an
// argument that is no option.
std::string option_name(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '-') return "";
    const std::size_t dashes = argument[1] == '-' ? 2 : 1;
    return argument.substr(dashes);
}

}  // namespace

bool parse_decimal(const std::string& text, std::uint64_t largest, std::uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (largest - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

std::string read_seed(const std::string& text, std::uint32_t& seed) {
    std::uint64_t value = 0;
    if (!parse_decimal(text, 0xFFFFFFFFu, value)) return "a seed from 0 to 4294967295";
    seed = static_cast<std::uint32_t>(value);
    return "";
}

std::string read_frame_period(const std::string& text, std::int64_t& period_us) {
    std::uint64_t value = 0;
    if (!parse_decimal(text, longest_frame_period_us, value)) {
        return "a frame period in microseconds from 0 to " + std::to_string(longest_frame_period_us);
    }
    period_us = static_cast<std::int64_t>(value);
    return "";
}

std::string read_size(const std::string& text, std::int32_t largest, std::int32_t& width,
                      std::int32_t& height) {
    const std::size_t x = text.find('x');
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (x == std::string::npos || !parse_decimal(text.substr(0, x), largest, w) ||
        !parse_decimal(text.substr(x + 1), largest, h) || w == 0 || h == 0) {
        return "a size WxH, each side from 1 to " + std::to_string(largest);
    }
    width = static_cast<std::int32_t>(w);
    height = static_cast<std::int32_t>(h);
    return "";
}

command_option switch_option(const std::string& name, bool& flag) {
    return {name, false, [&flag](const std::string&) {
                flag = true;
                return std::string();
            }};
}

std::string walk_command_line(const std::vector<std::string>& arguments,
                              const std::vector<command_option>& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = option_name(argument);
        const command_option* option = nullptr;
        for (const command_option& known : options) {
            if (!name.empty() && known.name == name) option = &known;
        }
        if (option == nullptr) return "unknown option " + quoted(argument);
        if (!option->takes_value) {
            option->read("");
            continue;
        }
        if (i + 1 >= arguments.size()) return argument + " needs a value";
        const std::string& value = arguments[++i];
        const std::string refusal = option->read(value);
        if (!refusal.empty()) return argument + " " + quoted(value) + refusal;
    }
    return "";
}

std::string quoted(const std::string& text) {
    std::string body;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char piece[5] = {text[i], '\0'};
        if (byte < 0x20 || byte == 0x7F) std::snprintf(piece, sizeof piece, "\\x%02X", byte);
        if (body.size() + std::strlen(piece) > longest_quote) return "'" + body + "...'";
        body += piece;
    }
    return "'" + body + "'";
}

std::uint32_t instance_seed() {
    std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr)) ^
                         platform::process_id() * 2654435761u;
    try {
        seed ^= std::random_device{}();
    } catch (const std::exception&) {
    }
    return seed;
}

}  // namespace quillant
