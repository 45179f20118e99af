// SPDX-License-Identifier: MIT
#include "web/page_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quillant {
namespace {

TEST(PageOptions, WithoutAQueryTheSaversDefaults) {
    for (const std::string query : {"", "?", "?&&"}) {
        const page_command command = read_page_query(query);
        EXPECT_TRUE(command.warnings.empty()) << query;
        EXPECT_FALSE(command.options.seed.has_value()) << query;
        EXPECT_EQ(command.options.frame_period_us, 50000) << query;
        EXPECT_FALSE(command.options.show_fps) << query;
        EXPECT_FALSE(command.options.verbose) << query;
    }
}

TEST(PageOptions, ReadsEachSettingAsBrowsersEscapeIt) {
    const page_command command = read_page_query("?seed=4294967295&delay=0&fps&verbose=on");
    EXPECT_TRUE(command.warnings.empty());
    EXPECT_EQ(command.options.seed, 4294967295u);
    EXPECT_EQ(command.options.frame_period_us, 0);
    EXPECT_TRUE(command.options.show_fps);
    EXPECT_TRUE(command.options.verbose);

    EXPECT_EQ(read_page_query("seed=%37&de%6Cay=20000").options.seed, 7u);
    EXPECT_EQ(read_page_query("seed=%37&de%6Cay=20000").options.frame_period_us, 20000);
    EXPECT_FALSE(read_page_query("?fps=1&fps=off").options.show_fps) << "the last one holds";
    EXPECT_TRUE(read_page_query("?verbose=yes").options.verbose);
}

// A bad value is ignored with one warning that names it; the default holds
// and the other settings are read.
TEST(PageOptions, BadValuesAreIgnoredWithAWarningEach) {
    const page_command command =
        read_page_query("?seed=abc&delay=-1&fps=maybe&verbose=1&seed=4294967296&delay=10000001"
                        "&delay=5+0&seed=%0A");
    ASSERT_EQ(command.warnings.size(), 9u) << "7 values, and seed and delay repeated";
    EXPECT_EQ(command.warnings[0], "ignored seed='abc': not a seed from 0 to 4294967295");
    EXPECT_NE(command.warnings[1].find("delay='-1'"), std::string::npos);
    EXPECT_NE(command.warnings[2].find("fps='maybe'"), std::string::npos);
    EXPECT_NE(command.warnings[8].find("seed='\\x0A'"), std::string::npos)
        << "control characters are not written out";
    EXPECT_FALSE(command.options.seed.has_value());
    EXPECT_EQ(command.options.frame_period_us, 50000);
    EXPECT_FALSE(command.options.show_fps);
    EXPECT_TRUE(command.options.verbose);
    for (const std::string& warning : command.warnings) {
        EXPECT_EQ(warning.find('\n'), std::string::npos);
        EXPECT_LT(warning.size(), 120u);
    }
}

// A misspelt or foreign setting is not taken silently, nor is a setting
// given twice: each is warned about once, and the last value holds.
TEST(PageOptions, UnknownAndRepeatedSettingsAreWarnedAboutOnce) {
    const page_command command = read_page_query("?sed=30&verbose&seed=30&seed=31&seed=32&x%0Ay");
    ASSERT_EQ(command.warnings.size(), 3u);
    EXPECT_EQ(command.warnings[0],
              "ignored 'sed': not a setting of the page (seed, frame, rose, began, orbit, delay, "
              "fps, verbose)");
    EXPECT_EQ(command.warnings[1], "seed is given more than once: the last one holds");
    EXPECT_EQ(command.warnings[2],
              "ignored 'x\\x0Ay': not a setting of the page (seed, frame, rose, began, orbit, delay, "
              "fps, verbose)");
    EXPECT_EQ(command.options.seed, 32u);
    EXPECT_TRUE(command.options.verbose);
}

// A link's moment opens the page on it, with its seed; a moment given in
// part, or with a bad part, is ignored with one warning, and the page
// starts as usual with the seed it names.
TEST(PageOptions, AMomentOpensThePageOnItOrIsIgnoredWithOneWarning) {
    const page_command opened = read_page_query("?seed=7&frame=72000&rose=43&began=71708&fps");
    EXPECT_TRUE(opened.warnings.empty());
    ASSERT_TRUE(opened.options.opened_at.has_value());
    EXPECT_EQ(opened.options.opened_at->frame, 72000);
    EXPECT_EQ(opened.options.opened_at->rose, 43);
    EXPECT_EQ(opened.options.opened_at->began, 71708);
    EXPECT_EQ(opened.options.seed, 7u);
    EXPECT_TRUE(opened.options.show_fps);
    EXPECT_EQ(read_page_query("?frame=9&seed=1&rose=0").options.opened_at->began, 0)
        << "between two roses";

    const std::vector<std::pair<std::string, std::string>> ignored = {
        {"?seed=7&frame=x&rose=1", "ignored frame='x': not a frame from 1 to 1728000"},
        {"?seed=7&frame=10000001&rose=1", "ignored frame='10000001': not a frame"},
        {"?seed=7&frame=90&rose=-1", "ignored rose='-1': not a number of roses"},
        {"?seed=7&frame=90&rose=1&began=", "ignored began='': not a frame"},
        {"?seed=7&frame=90&rose=1&began=3&orbit=1,1,1,ffffff", "ignored orbit='1,1,1,ffffff'"},
        {"?seed=x&frame=90&rose=1", "ignored seed='x': not a seed"},
        {"?frame=90&rose=1", "ignored the moment: a moment needs seed, frame and rose"},
        {"?seed=7&rose=1", "ignored the moment: a moment needs seed, frame and rose"},
        {"?seed=7&frame=90&rose=1&began=91", "ignored the moment: began=91 is after frame=90"},
    };
    for (const auto& [query, warning] : ignored) {
        const page_command command = read_page_query(query);
        ASSERT_EQ(command.warnings.size(), 1u) << query;
        EXPECT_EQ(command.warnings[0].rfind(warning, 0), 0u) << command.warnings[0];
        EXPECT_FALSE(command.options.opened_at.has_value()) << query;
    }
    EXPECT_EQ(read_page_query("?seed=x&frame=90&rose=1").options.seed, std::nullopt);
    EXPECT_EQ(read_page_query("?seed=7&frame=x&rose=1").options.seed, 7u);
    const page_command later = read_page_query("?seed=7&frame=x&frame=90&rose=1");
    EXPECT_EQ(later.options.opened_at->frame, 90) << "the last value that reads holds";
}

}  // namespace
}  // namespace quillant
