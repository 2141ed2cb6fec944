// The text viewer's command line for the log test.
#include "dialogs/viewer_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string VIEWER = "notepad.exe ";

// Not quoted; a percent sign in the path is text, not a format; a path of 300 characters,
// longer than a short buffer, is kept whole.
TEST(ComposeViewerCommand, PutsThePathAfterTheViewerAsItIs) {
    for (const std::string& path :
         {std::string("C:\\logs\\host.txt"), std::string("C:\\my logs\\100%s.txt"), std::string(),
          "C:\\" + std::string(297, 'd')}) {
        EXPECT_EQ(ComposeViewerCommand(path), VIEWER + path) << path.size();
    }
}

} // namespace
