// SPDX-License-Identifier: MIT
#include "shell/command_line.h"

namespace quillant {

namespace {

constexpr unsigned char blank = 0x20;

// Only the ASCII digits: bytes from 0x80 up are none.
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Spaces only; tabs end the skipping.
const char* SkipSpaces(const char* text) {
    while (*text == ' ') ++text;
    return text;
}

}  // namespace

const char* FindArgumentText(const char* commandLine, CharStep next) {
    const char* p = commandLine;
    if (*p == '"') {
        do {
            p = next(p);
        } while (*p != '\0' && *p != '"');
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > blank) ++p;
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= blank) ++p;
    return p;
}

std::uint32_t ParseWindowHandle(const char* text) {
    std::uint32_t value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * 10u + static_cast<std::uint32_t>(*text - '0');
    }
    return value;
}

SaverCommand ParseSaverCommand(const char* argumentText) {
    const char* p = argumentText;
    while (*p == ' ' || *p == '-' || *p == '/') ++p;
    switch (*p) {
        case '\0':
            return {SaverMode::ConfigureAlone, 0};
        case 'S':
        case 's':
            return {SaverMode::FullScreen, 0};
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return {SaverMode::Preview, ParseWindowHandle(SkipSpaces(p + 1))};
        case 'C':
        case 'c':
            return {SaverMode::Configure, p[1] == ':' ? ParseWindowHandle(p + 2) : 0};
        case 'A':
        case 'a':
            return {SaverMode::ChangePassword, ParseWindowHandle(SkipSpaces(p + 1))};
        default:
            return {SaverMode::Refused, 0};
    }
}

}  // namespace quillant
