// The text viewer's command line, composed without a fixed-size buffer so that a long log
// path is never cut.
#include "dialogs/viewer_command.h"

std::string ComposeViewerCommand(std::string_view logPath) {
    std::string command = "notepad.exe ";
    command.append(logPath);
    return command;
}
