// Registry path, application name and command-line argument rules of the application object.
#include "framework/profile_path.h"

#include <gtest/gtest.h>

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

} // namespace
