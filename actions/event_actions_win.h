// The platform's way of carrying out the event actions: PlaySoundA and WinExec, neither of
// which waits, and the log line writer.
#pragma once

#include "actions/event_actions.h"

class PlatformActionRunner : public ActionRunner {
public:
    void PlaySoundFile(const std::string& path) override;
    void LaunchCommand(const std::string& commandLine) override;
    void AppendEventLine(const std::string& logPath, const std::string& eventText) override;
};
