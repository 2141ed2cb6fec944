// The platform's way of carrying out the event actions: PlaySoundA and WinExec, neither of
// which waits, the log line writer, and the notification, which the main window shows through
// its notification-area icon.
#pragma once

#include "actions/event_actions.h"

#include <windows.h>

// Sent to the main window to show a notification; lParam points to the Notification, valid
// while the message is handled. A window that shows none leaves it to the default processing.
constexpr UINT WM_SHOW_NOTIFICATION = WM_APP + 25;

class PlatformActionRunner : public ActionRunner {
public:
    void PlaySoundFile(const std::string& path) override;
    void LaunchCommand(const std::string& commandLine) override;
    void AppendEventLine(const std::string& logPath, const std::string& eventText) override;
    void ShowNotification(const Notification& notification) override;
};
