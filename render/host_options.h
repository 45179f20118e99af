// SPDX-License-Identifier: MIT
// What every host reads and chooses alike: the frame period, the seed, an
// instance's own seed, and values quoted in messages. Pure but for the
// instance seed, so that each host's option reading is tested and fuzzed
// natively over it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillant {

// The Windows saver's 50 ms frame timer, and the longest period a host takes.
inline constexpr std::int64_t default_frame_period_us = 50000;
inline constexpr std::int64_t longest_frame_period_us = 10000000;

// Reads a decimal number of digits alone, from 0 to `largest`.
bool parse_decimal(const std::string& text, std::uint64_t largest, std::uint64_t& value);

// Read a seed or a frame period in microseconds. Each returns "" when the
// text is one, and otherwise what it is not, for the host's message: "a
// seed from 0 to 4294967295".
std::string read_seed(const std::string& text, std::uint32_t& seed);
std::string read_frame_period(const std::string& text, std::int64_t& period_us);

// Reads a size "WxH", each side from 1 to `largest`; "" when the text is
// one, and otherwise what it is not.
std::string read_size(const std::string& text, std::int32_t largest, std::int32_t& width,
                      std::int32_t& height);

// One option that a host's command line takes: its name without dashes,
// whether a value follows it, and what reads it (the value, or "" for a
// switch). The reader returns "" when it took the value, and otherwise the
// rest of the message after the option and its quoted value: " is not a
// seed from 0 to 4294967295".
struct command_option {
    std::string name;
    bool takes_value;
    std::function<std::string(const std::string& value)> read;
};

// A switch, which sets the flag.
command_option switch_option(const std::string& name, bool& flag);

// Reads the arguments in order, each an option of the list with one dash or
// two, followed by its value where it takes one. Returns "" when all were
// read, else the first failure's line: "unknown option '-x'", "--seed needs
// a value", "--seed 'x' is not a seed from 0 to 4294967295".
std::string walk_command_line(const std::vector<std::string>& arguments,
                              const std::vector<command_option>& options);

// Text from a command line, an address or the environment as a message
// quotes it: in single quotes, control characters (which would break the
// line or drive a terminal) written as \xNN, and cut, with "...", where it
// would pass 40 characters.
std::string quoted(const std::string& text);

// A seed of this instance's own. Lockers start one instance per monitor at
// the same moment, so the calendar second alone would show the same roses
// on every monitor: the system's entropy tells them apart, and where there
// is none, the process id does.
std::uint32_t instance_seed();

}  // namespace quillant
