// Registry path, application name and command-line rules of the application object, and a
// text shortened to a room with its tail kept.
#include "framework/profile_path.h"
#include "framework/short_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(ProfileSectionPath, KeyTextIsNotInterpreted) {
    EXPECT_EQ(ProfileSectionPath("HKEY_CURRENT_USER\\Software\\Larkspindle\\Tarnwell", "tarnwell",
                                 "Settings"),
              "Software\\HKEY_CURRENT_USER\\Software\\Larkspindle\\Tarnwell\\tarnwell\\Settings");
}

TEST(AppNameFromModulePath, DropsDirectoryAndExtension) {
    EXPECT_EQ(AppNameFromModulePath("C:\\Program Files\\Tarnwell\\tarnwell.exe"), "tarnwell");
    EXPECT_EQ(AppNameFromModulePath("Z:/work/build/watcher-copy.EXE"), "watcher-copy");
    EXPECT_EQ(AppNameFromModulePath("C:\\dir.v2\\noext"), "noext");
    EXPECT_EQ(AppNameFromModulePath("my.tool.exe"), "my.tool");
    EXPECT_EQ(AppNameFromModulePath(""), "");
}

TEST(ArgumentText, IsEverythingAfterTheProgramName) {
    EXPECT_EQ(ArgumentText("tarnwell.exe 127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(ArgumentText("\"C:\\Program Files\\tarnwell.exe\"  host name  "), "host name  ");
    EXPECT_EQ(ArgumentText("\"C:\\a b\\t.exe\"host"), "host");
    EXPECT_EQ(ArgumentText("tarnwell.exe"), "");
    EXPECT_EQ(ArgumentText("tarnwell.exe \t "), "");
    EXPECT_EQ(ArgumentText("\"unterminated"), "");
    EXPECT_EQ(ArgumentText(""), "");
}

TEST(ProgramCommandLine, QuotesThePathAndGivesTheArgumentTextBack) {
    const std::string exe = "C:\\my tools\\t.exe", longest(MAX_COMMAND_LINE - exe.size() - 3, 'h');
    for (const std::string& host : {"[::1]:3389"s, ""s, "\"a b\" "s, longest}) {
        const std::string line = ProgramCommandLine(exe, host);
        EXPECT_EQ(ArgumentText(line), host);
        EXPECT_EQ(CommandLineProgram(line), exe);
    }
    // Leading blanks would not come back; a line too long to start has the program alone.
    EXPECT_EQ(ProgramCommandLine(exe, " \t" + longest + "h"), "\"" + exe + "\"");
}

TEST(StartupApprovedTurnsOff, OddFirstByteIsTaskManagersOff) {
    const unsigned char off[12] = {3, 0, 0, 0, 0x10, 0x2f, 0x7e, 0x1a, 0x4b, 0xd3, 0xd9, 0x01};
    EXPECT_TRUE(StartupApprovedTurnsOff(off, sizeof off));
    EXPECT_FALSE(StartupApprovedTurnsOff(STARTUP_APPROVED_ON, sizeof STARTUP_APPROVED_ON));
    EXPECT_FALSE(StartupApprovedTurnsOff(off, 0));
    EXPECT_FALSE(StartupApprovedTurnsOff(nullptr, 12));
}

TEST(ShortenKeepingTail, KeepsTheTailAndSplitsNoLetter) {
    EXPECT_EQ(ShortenKeepingTail("abcdef", 5, 9), "...ef") << "the tail before the start";
    EXPECT_EQ(ShortenKeepingTail("abcdef", 2, 0), "ab");
    // UTF-8 letters (two bytes each here) are never split, at either cut.
    EXPECT_EQ(ShortenKeepingTail("жжжжж", 8, 0), "жж...");
    EXPECT_EQ(ShortenKeepingTail("abжжж", 7, 3), "ab...ж");
    EXPECT_EQ(ShortenKeepingTail("жж", 3, 0), "ж");
}

} // namespace
