// SPDX-License-Identifier: MIT
#include "render/moment.h"

#include "generation/orbit_tracing.h"
#include "render/address_query.h"
#include "render/host_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillant {

namespace {

// A frame from `least` to the latest; "" when read, else what it is not.
std::string read_frame_from(const std::string& text, std::uint64_t least, const char* what,
                            std::optional<std::int64_t>& frame) {
    std::uint64_t value = 0;
    if (!parse_decimal(text, latest_moment_frame, value) || value < least) {
        return std::string(what) + " from " + std::to_string(least) + " to " +
               std::to_string(latest_moment_frame);
    }
    frame = static_cast<std::int64_t>(value);
    return "";
}

// A number as "%.9g" writes a float, which reads back to the same float.
bool parse_float(const std::string& text, float& value) {
    if (text.empty() || text.size() > 24) return false;
    for (const char c : text) {
        if (std::strchr("0123456789+-.eE", c) == nullptr) return false;
    }
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

// The orbit "re,im,radius,rrggbb"; "" when read, else what it is not.
std::string read_orbit(const std::string& text, std::optional<shown_orbit>& orbit) {
    // Its ranges (RE and IM from -2 to 2, RADIUS from 0.2 to 0.45) would
    // make the line too long to read.
    const char* wanted = "an orbit RE,IM,RADIUS,RRGGBB";
    std::string fields[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return wanted;
        fields[i] = text.substr(start, comma - start);
        start = comma + 1;
    }
    shown_orbit read;
    const std::string& colour = fields[3];
    if (!parse_float(fields[0], read.re) || !parse_float(fields[1], read.im) ||
        !parse_float(fields[2], read.radius) || std::fabs(read.re) > 2.0f ||
        std::fabs(read.im) > 2.0f || rejects_shape(read.radius, 1.0f) || colour.size() != 6 ||
        colour.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return wanted;
    }
    const unsigned long rgb = std::strtoul(colour.c_str(), nullptr, 16);
    read.colour = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                   static_cast<std::uint8_t>(rgb), 255};
    orbit = read;
    return "";
}

}  // namespace

bool is_moment_part(const std::string& name) {
    return name == "seed" || name == "frame" || name == "rose" || name == "began" ||
           name == "orbit";
}

std::string read_moment_part(const std::string& name, const std::string& text,
                             moment_parts& parts) {
    if (name == "seed") {
        std::uint32_t seed = 0;
        const std::string wanted = read_seed(text, seed);
        if (wanted.empty()) parts.seed = seed;
        return wanted;
    }
    if (name == "frame") return read_frame_from(text, 1, "a frame", parts.frame);
    if (name == "rose") return read_frame_from(text, 0, "a number of roses", parts.rose);
    if (name == "orbit") return read_orbit(text, parts.orbit);
    return read_frame_from(text, 1, "a frame", parts.began);
}

std::string assemble_moment(const moment_parts& parts, moment& reached) {
    if (!parts.seed || !parts.frame || !parts.rose) return "a moment needs seed, frame and rose";
    const std::int64_t frame = *parts.frame;
    const std::int64_t rose = *parts.rose;
    const std::int64_t began = parts.began.value_or(0);
    if (rose > frame) {
        return "rose=" + std::to_string(rose) + " cannot have been shown by frame=" +
               std::to_string(frame);
    }
    if (began > frame) {
        return "began=" + std::to_string(began) + " is after frame=" + std::to_string(frame);
    }
    if (began > 0 && rose == 0) return "began is given for no rose (rose=0)";
    if (parts.orbit && began == 0) return "orbit is given for no rose on show (no began)";
    reached = {*parts.seed, frame, rose, began, parts.orbit};
    return "";
}

std::string moment_query(const moment& shown) {
    std::string query = "seed=" + std::to_string(shown.seed) +
                        "&frame=" + std::to_string(shown.frame) +
                        "&rose=" + std::to_string(shown.rose);
    if (shown.began > 0) query += "&began=" + std::to_string(shown.began);
    if (shown.began > 0 && shown.orbit) {
        const shown_orbit& orbit = *shown.orbit;
        char text[80];
        std::snprintf(text, sizeof text, "&orbit=%.9g,%.9g,%.9g,%02x%02x%02x",
                      static_cast<double>(orbit.re), static_cast<double>(orbit.im),
                      static_cast<double>(orbit.radius), orbit.colour.red, orbit.colour.green,
                      orbit.colour.blue);
        query += text;
    }
    return query;
}

std::string read_moment_link(const std::string& link, moment& reached) {
    // A query alone, or an address with one.
    const bool bare = link.find("://") == std::string::npos && link.find('?') == std::string::npos;
    moment_parts parts;
    for (const auto& [name, value] : query_pairs(bare ? link : query_of_address(link))) {
        if (!is_moment_part(name)) continue;
        const std::string wanted = read_moment_part(name, value, parts);
        if (!wanted.empty()) return "its " + name + "=" + quoted(value) + " is not " + wanted;
    }
    if (!parts.any()) return "it holds no moment (frame, rose)";
    return assemble_moment(parts, reached);
}

}  // namespace quillant
