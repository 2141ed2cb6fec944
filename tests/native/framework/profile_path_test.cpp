// Registry path, application name and command-line rules of the application object.
#include "framework/profile_path.h"

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

} // namespace
