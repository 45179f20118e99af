// SPDX-License-Identifier: MIT
#include "render/address_query.h"

#include <cstddef>

namespace quillant {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

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

}  // namespace

std::vector<std::pair<std::string, std::string>> query_pairs(const std::string& query) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        pairs.emplace_back(unescaped(pair.substr(0, equals)),
                           equals == std::string::npos ? "" : unescaped(pair.substr(equals + 1)));
    }
    return pairs;
}

std::string query_of_address(const std::string& address) {
    const std::string before_fragment = address.substr(0, address.find('#'));
    const std::size_t question = before_fragment.find('?');
    return question == std::string::npos ? "" : before_fragment.substr(question + 1);
}

}  // namespace quillant
