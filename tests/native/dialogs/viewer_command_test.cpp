// The text viewer's command line for the log test.
#include "dialogs/viewer_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string VIEWER = "notepad.exe ";

TEST(ComposeViewerCommand, PutsThePathAfterTheViewerAsItIs) {
    EXPECT_EQ(ComposeViewerCommand("C:\\logs\\host.txt"), VIEWER + "C:\\logs\\host.txt");
    // Not quoted, and a percent sign in the path is text, not a format.
    EXPECT_EQ(ComposeViewerCommand("C:\\my logs\\100%s.txt"), VIEWER + "C:\\my logs\\100%s.txt");
    EXPECT_EQ(ComposeViewerCommand(""), VIEWER);
}

TEST(ComposeViewerCommand, KeepsAPathLongerThanAShortBufferWhole) {
    const std::string path = "C:\\" + std::string(297, 'd');
    ASSERT_EQ(path.size(), 300u);
    const std::string command = ComposeViewerCommand(path);
    EXPECT_EQ(command.size(), VIEWER.size() + path.size());
    EXPECT_EQ(command.substr(VIEWER.size()), path);
}

} // namespace
