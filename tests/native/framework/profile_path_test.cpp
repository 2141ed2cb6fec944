// Registry path, application name and command-line rules of the application object.
#include "framework/profile_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

// The command line that starts the program at sign-in gives back the host it watched.
TEST(ProgramCommandLine, QuotesThePathAndGivesBackTheArgumentText) {
    const std::string spaced = "C:\\Program Files\\my tools\\tarnwell.exe";
    const std::string longest(MAX_COMMAND_LINE - spaced.size() - 3, 'h');
    const struct {
        std::string path, text, line, textBack;
    } rows[] = {
        {"C:\\t.exe", "127.0.0.1", "\"C:\\t.exe\" 127.0.0.1", "127.0.0.1"},
        {spaced, "[::1]:3389", "\"" + spaced + "\" [::1]:3389", "[::1]:3389"},
        {spaced, "", "\"" + spaced + "\"", ""},
        // Quotes and blanks in the text are its own; leading blanks would not come back.
        {spaced, " \t\"my host\" 2 ", "\"" + spaced + "\" \"my host\" 2 ", "\"my host\" 2 "},
        {spaced, longest, "\"" + spaced + "\" " + longest, longest},
        // Too long for Windows to start: the program alone, watching nothing.
        {spaced, longest + "h", "\"" + spaced + "\"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line.substr(0, 60));
        const std::string line = ProgramCommandLine(row.path, row.text);
        EXPECT_EQ(line, row.line);
        EXPECT_LE(line.size(), MAX_COMMAND_LINE);
        EXPECT_EQ(ArgumentText(line), row.textBack);
        EXPECT_EQ(CommandLineProgram(line), row.path);
    }
}

TEST(CommandLineProgram, NamesTheProgramOfAStoredCommandLine) {
    EXPECT_EQ(CommandLineProgram("C:\\tools\\t.exe 127.0.0.1"), "C:\\tools\\t.exe");
    EXPECT_EQ(CommandLineProgram("\"C:\\a b\\t.exe\"host"), "C:\\a b\\t.exe");
    EXPECT_EQ(CommandLineProgram("\"C:\\unterminated"), "C:\\unterminated");
    EXPECT_EQ(CommandLineProgram(""), "");
    EXPECT_TRUE(IsSameFilePath("C:\\Users\\Ann\\T.EXE", "c:\\users\\ann\\t.exe"));
    EXPECT_FALSE(IsSameFilePath("C:\\Users\\Ann\\t.exe", "D:\\Users\\Ann\\t.exe"));
    EXPECT_FALSE(IsSameFilePath("C:\\t.exe", "C:\\t.exe "));
}

} // namespace
