// The command that opens a log file in the text viewer after the Action dialog's log test.
#pragma once

#include <string>
#include <string_view>

// "notepad.exe %s" with the path as it is (not quoted), whole whatever the path's length.
std::string ComposeViewerCommand(std::string_view logPath);
