// SPDX-License-Identifier: MIT
#include "x11/hack_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillant {
namespace {

hack_command Read(std::vector<std::string> arguments, const char* environment = nullptr) {
    return read_hack_command(arguments, environment);
}

TEST(HackOptions, WithoutArgumentsAnOwnWindowAtTheSaversPace) {
    const hack_command command = Read({});
    ASSERT_EQ(command.error, "");
    const hack_options& options = command.options;
    EXPECT_EQ(options.target, hack_target::own_window);
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
    EXPECT_EQ(options.frame_period_us, 50000);
    EXPECT_FALSE(options.show_fps);
    EXPECT_FALSE(options.verbose);
    EXPECT_FALSE(options.seed.has_value()) << "each instance takes a seed of its own";
    EXPECT_TRUE(options.display.empty());
}

TEST(HackOptions, EveryOptionTakesOneDashOrTwo) {
    for (const std::string dashes : {"-", "--"}) {
        const hack_command command =
            Read({dashes + "fps", dashes + "verbose", dashes + "delay", "20000",
                  dashes + "geometry", "640x480", dashes + "display", ":3",
                  dashes + "window-id", "0x2a00007", dashes + "seed", "4294967295",
                  dashes + "add-to-xscreensaver", dashes + "version"});
        ASSERT_EQ(command.error, "") << dashes;
        const hack_options& options = command.options;
        EXPECT_TRUE(options.show_fps);
        EXPECT_TRUE(options.verbose);
        EXPECT_EQ(options.frame_period_us, 20000);
        EXPECT_EQ(options.width, 640);
        EXPECT_EQ(options.height, 480);
        EXPECT_EQ(options.display, ":3");
        EXPECT_EQ(options.target, hack_target::window_id);
        EXPECT_EQ(options.window, 0x2a00007u);
        EXPECT_EQ(options.seed, 4294967295u);
        EXPECT_TRUE(options.add_to_xscreensaver);
        EXPECT_TRUE(options.version);
    }
}

TEST(HackOptions, RootReadsXScreenSaverWindowInHexOrDecimal) {
    // XScreenSaver writes the window in hexadecimal, xsecurelock in decimal.
    EXPECT_EQ(Read({"--root"}, "0x2a00007").options.window, 0x2a00007u);
    EXPECT_EQ(Read({"-root"}, "44040199").options.window, 44040199u);
    const hack_command root = Read({"--root"});
    EXPECT_EQ(root.options.target, hack_target::root);
    EXPECT_EQ(root.options.window, 0u) << "unset: the root window";
    EXPECT_EQ(Read({"--root"}, "").options.window, 0u) << "empty: the root window";
    // Only --root reads it.
    EXPECT_EQ(Read({"--window"}, "junk").error, "");
    EXPECT_EQ(Read({"--window-id", "17"}, "junk").options.window, 17u);
}

TEST(HackOptions, TheLastChoiceOfWindowHolds) {
    EXPECT_EQ(Read({"--root", "--window"}, "5").options.target, hack_target::own_window);
    const hack_command command = Read({"--window-id", "9", "--root"}, "5");
    EXPECT_EQ(command.options.target, hack_target::root);
    EXPECT_EQ(command.options.window, 5u);
}

TEST(HackOptions, BadInputIsRefusedWithALineThatNamesIt) {
    struct refusal {
        std::vector<std::string> arguments;
        const char* environment;
        const char* named;  // what the message must quote
    };
    const refusal refusals[] = {
        {{"--bogus"}, nullptr, "--bogus"},
        {{"root"}, nullptr, "root"},
        {{"-"}, nullptr, "-"},
        {{"--delay"}, nullptr, "--delay"},
        {{"--delay", "-5"}, nullptr, "-5"},
        {{"--delay", "fast"}, nullptr, "fast"},
        {{"--delay", "10000001"}, nullptr, "10000001"},
        {{"--seed"}, nullptr, "--seed"},
        {{"--seed", "4294967296"}, nullptr, "4294967296"},
        {{"--seed", "-1"}, nullptr, "-1"},
        {{"--delay", "99999999999999999999999"}, nullptr, "99999999999999999999999"},
        {{"--geometry", "640"}, nullptr, "640"},
        {{"--geometry", "0x480"}, nullptr, "0x480"},
        {{"--geometry", "640x16385"}, nullptr, "640x16385"},
        {{"--geometry", "640x480+10+10"}, nullptr, "640x480+10+10"},
        {{"--window-id", "0"}, nullptr, "0"},
        {{"--window-id", "0x0"}, nullptr, "0x0"},
        {{"--window-id", "0x"}, nullptr, "0x"},
        {{"--window-id", "0xzz"}, nullptr, "0xzz"},
        {{"--window-id", "-12"}, nullptr, "-12"},
        {{"--window-id", "4294967296"}, nullptr, "4294967296"},
        {{"--window-id", "0x100000000"}, nullptr, "0x100000000"},
        {{"--window-id", " 12"}, nullptr, " 12"},
        {{"--root"}, "window", "window"},
        {{"--root"}, "0", "XSCREENSAVER_WINDOW"},
    };
    for (const refusal& r : refusals) {
        const hack_command command = Read(r.arguments, r.environment);
        EXPECT_NE(command.error.find(r.named), std::string::npos)
            << r.arguments[0] << ": '" << command.error << "'";
        EXPECT_EQ(command.error.find('\n'), std::string::npos) << command.error;
    }
}

TEST(HackOptions, RefusalsQuoteControlCharactersAsEscapes) {
    // A message is one line in the session's log, and drives no terminal.
    EXPECT_EQ(Read({"--bo\ngus"}).error, "unknown option '--bo\\x0Agus'");
    EXPECT_EQ(Read({"--delay", "\x1b[2J"}).error.find("--delay '\\x1B[2J' is not"), 0u);
    EXPECT_EQ(Read({"--root"}, "1\r2").error, "XSCREENSAVER_WINDOW '1\\x0D2' names no window");
}

TEST(HackOptions, WindowIdsCoverThe32BitRange) {
    std::uint32_t id = 0;
    EXPECT_TRUE(parse_window_id("0xFFFFFFFF", id));
    EXPECT_EQ(id, 0xFFFFFFFFu);
    EXPECT_TRUE(parse_window_id("4294967295", id));
    EXPECT_EQ(id, 0xFFFFFFFFu);
    EXPECT_TRUE(parse_window_id("0X1a", id));
    EXPECT_EQ(id, 26u);
    EXPECT_TRUE(parse_window_id("007", id)) << "a leading zero is still decimal";
    EXPECT_EQ(id, 7u);
}

TEST(HackOptions, DelayRunsFromZeroToTenSeconds) {
    EXPECT_EQ(Read({"--delay", "0"}).options.frame_period_us, 0);
    EXPECT_EQ(Read({"--delay", "10000000"}).options.frame_period_us, 10000000);
}

}  // namespace
}  // namespace quillant
