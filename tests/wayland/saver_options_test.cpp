// SPDX-License-Identifier: MIT
#include "wayland/saver_options.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quillant {
namespace {

TEST(WaylandOptions, DefaultsAndEveryOptionWithOneDashOrTwo) {
    const wayland_command plain = read_wayland_command({});
    ASSERT_EQ(plain.error, "");
    EXPECT_EQ(plain.options.mode, wayland_mode::saver);
    EXPECT_EQ(plain.options.frame_period_us, 50000);
    EXPECT_TRUE(plain.options.output.empty());
    EXPECT_FALSE(plain.options.seed.has_value()) << "each output takes a seed of its own";

    for (const std::string dashes : {"-", "--"}) {
        const wayland_command command = read_wayland_command(
            {dashes + "background", dashes + "output", "HEADLESS-2", dashes + "delay", "0",
             dashes + "seed", "4294967295", dashes + "fps", dashes + "verbose", dashes + "help",
             dashes + "version"});
        ASSERT_EQ(command.error, "") << dashes;
        const wayland_options& options = command.options;
        EXPECT_EQ(options.mode, wayland_mode::background);
        EXPECT_EQ(options.output, "HEADLESS-2");
        EXPECT_EQ(options.frame_period_us, 0);
        EXPECT_EQ(options.seed, 4294967295u);
        EXPECT_TRUE(options.show_fps && options.verbose && options.help && options.version);
    }
    EXPECT_EQ(read_wayland_command({"--window"}).options.mode, wayland_mode::window);
    EXPECT_EQ(plain.options.idle_seconds, 0u);
    const wayland_command idle =
        read_wayland_command({"-idle", "86400", "--on-battery", "--output", "DP-1"});
    ASSERT_EQ(idle.error, "");
    EXPECT_EQ(idle.options.mode, wayland_mode::saver) << "--idle shows the saver itself";
    EXPECT_EQ(idle.options.idle_seconds, 86400u);
    EXPECT_TRUE(idle.options.on_battery);
}

TEST(WaylandOptions, RefusalsAreOneLineThatNamesTheProblem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--seed"}, "--seed needs a value"},
        {{"--seed", "-1"}, "--seed '-1': not a seed from 0 to 4294967295"},
        {{"--delay", "10000001"}, "--delay '10000001': not a frame period"},
        {{"--output", ""}, "--output '': not an output's name"},
        {{"--colour", "red"}, "unknown option '--colour'"},
        {{"--window", "--background"}, "--window and --background exclude each other"},
        {{"--window", "--output", "DP-1"}, "--output is for the saver and --background"},
        {{"--idle", "0"}, "--idle '0': not a number of seconds from 1 to 86400"},
        {{"--idle", "86401"}, "--idle '86401': not a number of seconds from 1 to 86400"},
        {{"--idle", "5m"}, "--idle '5m': not a number of seconds from 1 to 86400"},
        {{"--idle"}, "--idle needs a value"},
        {{"--idle", "300", "--window"}, "--idle shows the saver, not --window"},
        {{"--background", "--idle", "300"}, "--idle shows the saver, not --background"},
        {{"--on-battery"}, "--on-battery is for --idle"},
        {{"stray\x01"}, "unknown option 'stray\\x01'"},
    };
    for (const auto& [arguments, expected] : refused) {
        const wayland_command command = read_wayland_command(arguments);
        EXPECT_NE(command.error.find(expected), std::string::npos)
            << "'" << command.error << "' lacks '" << expected << "'";
        EXPECT_EQ(command.error.find('\n'), std::string::npos) << command.error;
    }
}

TEST(WaylandOptions, OutputSeedsDifferAndComeAgain) {
    for (const std::uint32_t first : {0u, 4u, 4294967295u}) {
        std::set<std::uint32_t> seen;
        for (std::size_t index = 0; index < 64; ++index) {
            seen.insert(output_seed(first, index));
            EXPECT_EQ(output_seed(first, index), output_seed(first, index));
        }
        EXPECT_EQ(output_seed(first, 0), first) << "the first output shows the seed asked for";
        EXPECT_EQ(seen.size(), 64u);
    }
}

TEST(WaylandOptions, UsageNamesEveryOption) {
    const std::string usage = wayland_usage();
    for (const char* option : {"--window", "--background", "--idle", "--on-battery", "--output",
                               "--delay", "--seed", "--fps", "--verbose", "--version", "--help"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace quillant
