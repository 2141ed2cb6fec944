// The event actions on the platform; see event_actions_win.h.
#include "actions/event_actions_win.h"

#include <windows.h>
#include <mmsystem.h>

void PlatformActionRunner::PlaySoundFile(const std::string& path) {
    // Asynchronous: the window never waits for a sound. Without SND_NODEFAULT a file that
    // cannot be played gives the platform's default sound.
    ::PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

void PlatformActionRunner::LaunchCommand(const std::string& commandLine) {
    ::WinExec(commandLine.c_str(), SW_SHOW);
}

void PlatformActionRunner::AppendEventLine(const std::string& logPath,
                                           const std::string& eventText) {
    AppendLogLine(logPath, LogLineFormat::Event, eventText);
}
