// SPDX-License-Identifier: MIT
#include "shell/command_line.h"
#include "tests/support/char_steps.h"

#include <gtest/gtest.h>

#include <string>

namespace quillant {
namespace {

void ExpectCommand(const char* text, SaverMode mode, std::uint32_t handle) {
    const SaverCommand command = ParseSaverCommand(text);
    EXPECT_EQ(command.mode, mode) << '"' << text << '"';
    EXPECT_EQ(command.handle, handle) << '"' << text << '"';
}

TEST(ParseSaverCommand, NoModeLetterConfiguresWithoutOwner) {
    ExpectCommand("", SaverMode::ConfigureAlone, 0);
    ExpectCommand("  -/", SaverMode::ConfigureAlone, 0);
}

TEST(ParseSaverCommand, FullScreenAfterSpacesDashesAndSlashes) {
    ExpectCommand("/s", SaverMode::FullScreen, 0);
    ExpectCommand("-S", SaverMode::FullScreen, 0);
    ExpectCommand(" s", SaverMode::FullScreen, 0);
    ExpectCommand("--//s", SaverMode::FullScreen, 0);
    ExpectCommand("/sx 12", SaverMode::FullScreen, 0);
}

TEST(ParseSaverCommand, PreviewTakesSpacesThenTheHandle) {
    ExpectCommand("/p 1234", SaverMode::Preview, 1234);
    ExpectCommand("/P   1234 and more", SaverMode::Preview, 1234);
    ExpectCommand("/l 1234", SaverMode::Preview, 1234);
    ExpectCommand("/L1234", SaverMode::Preview, 1234);
}

TEST(ParseSaverCommand, PreviewWithoutAUsableHandleNamesNone) {
    ExpectCommand("/p", SaverMode::Preview, 0);
    ExpectCommand("/p 0", SaverMode::Preview, 0);
    // Only the configuration takes a colon.
    ExpectCommand("/p:1234", SaverMode::Preview, 0);
    ExpectCommand("/p -1234", SaverMode::Preview, 0);
    ExpectCommand("/p\t1234", SaverMode::Preview, 0);
}

TEST(ParseSaverCommand, ConfigureTakesAColonThenTheHandle) {
    ExpectCommand("/c:1234", SaverMode::Configure, 1234);
    ExpectCommand("/C:1234", SaverMode::Configure, 1234);
    ExpectCommand("/c", SaverMode::Configure, 0);
    ExpectCommand("/c 1234", SaverMode::Configure, 0);
    ExpectCommand("/c:0", SaverMode::Configure, 0);
    ExpectCommand("/c: 1234", SaverMode::Configure, 0);
}

TEST(ParseSaverCommand, ChangePasswordTakesSpacesThenTheHandle) {
    ExpectCommand("/a 1234", SaverMode::ChangePassword, 1234);
    ExpectCommand("-A 1234", SaverMode::ChangePassword, 1234);
    ExpectCommand("/a", SaverMode::ChangePassword, 0);
    ExpectCommand("/a:1234", SaverMode::ChangePassword, 0);
}

TEST(ParseSaverCommand, AnyOtherFirstCharacterIsRefused) {
    ExpectCommand("/x", SaverMode::Refused, 0);
    ExpectCommand("1234", SaverMode::Refused, 0);
    ExpectCommand("\t/s", SaverMode::Refused, 0);
    ExpectCommand(":s", SaverMode::Refused, 0);
    ExpectCommand("\xd3", SaverMode::Refused, 0);  // an accented S in code page 1252
}

TEST(ParseWindowHandle, ReadsDecimalDigitsUpToTheFirstOtherByte) {
    EXPECT_EQ(ParseWindowHandle(""), 0u);
    EXPECT_EQ(ParseWindowHandle("0"), 0u);
    EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("00042"), 42u);
    EXPECT_EQ(ParseWindowHandle("12ab34"), 12u);
    EXPECT_EQ(ParseWindowHandle(" 12"), 0u);
    EXPECT_EQ(ParseWindowHandle("+12"), 0u);
    EXPECT_EQ(ParseWindowHandle("0x1f"), 0u);
    EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
}

TEST(ParseWindowHandle, WrapsInUnsigned32BitArithmetic) {
    EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
    EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
    ExpectCommand("/p 4294967297", SaverMode::Preview, 1);
    EXPECT_EQ(ParseWindowHandle("99999999999999999999"), 1661992959u);
}

TEST(ParseWindowHandle, BytesFrom0x80UpAreNotDigits) {
    // Bytes that a signed char would turn into negative values.
    EXPECT_EQ(ParseWindowHandle("12\xb2" "3"), 12u);
    EXPECT_EQ(ParseWindowHandle("\xb9\xb9"), 0u);
    EXPECT_EQ(ParseWindowHandle("7\x80"), 7u);
    EXPECT_EQ(ParseWindowHandle("7\xff" "9"), 7u);
}

std::string ArgumentText(const char* commandLine, CharStep next = ByteStep) {
    return FindArgumentText(commandLine, next);
}

TEST(FindArgumentText, SkipsAQuotedProgramName) {
    EXPECT_EQ(ArgumentText("\"C:\\Program Files\\quillant.scr\" /s"), "/s");
    EXPECT_EQ(ArgumentText("\"C:\\Program Files\\quillant.scr\"/s"), "/s");
    EXPECT_EQ(ArgumentText("\"C:\\quillant.scr\""), "");
    EXPECT_EQ(ArgumentText("\"\" /p 12"), "/p 12");
}

TEST(FindArgumentText, AnUnclosedQuoteTakesTheWholeLine) {
    EXPECT_EQ(ArgumentText("\"C:\\quillant.scr /s"), "");
    EXPECT_EQ(ArgumentText("\""), "");
}

TEST(FindArgumentText, SkipsAnUnquotedProgramNameUpToTheFirstBlank) {
    EXPECT_EQ(ArgumentText("quillant.scr /s"), "/s");
    EXPECT_EQ(ArgumentText("C:\\quill\"ant.scr /p 5"), "/p 5");
    EXPECT_EQ(ArgumentText("quillant.scr"), "");
    // Bytes from 0x80 up belong to the name.
    EXPECT_EQ(ArgumentText("r\xf6se.scr /s"), "/s");
}

TEST(FindArgumentText, SkipsBlanksAndControlCharactersAfterTheName) {
    EXPECT_EQ(ArgumentText("quillant.scr \t\r\n\x01\x1f /c:9"), "/c:9");
    EXPECT_EQ(ArgumentText("quillant.scr\t/s"), "/s");
    EXPECT_EQ(ArgumentText("quillant.scr  \t "), "");
    // A name that begins with a blank is empty.
    EXPECT_EQ(ArgumentText("  /s"), "/s");
}

TEST(FindArgumentText, AnEmptyCommandLineHasAnEmptyArgumentText) {
    const char* empty = "";
    EXPECT_EQ(FindArgumentText(empty, ByteStep), empty);
}

TEST(FindArgumentText, StepsOverWholeCharactersInsideQuotes) {
    // The second byte of a double-byte character may look like a quote.
    const char* line = "\"dir\x81\"x.scr\" /s";
    EXPECT_EQ(ArgumentText(line, DoubleByteStep), "/s");
    EXPECT_EQ(ArgumentText(line, ByteStep), "x.scr\" /s");
}

}  // namespace
}  // namespace quillant
