// The event actions on the platform; see event_actions_win.h.
#include "actions/event_actions_win.h"

#include "framework/win_app.h"

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

void PlatformActionRunner::ShowNotification(const Notification& notification) {
    // The icon belongs to the main window; without one there is nowhere to show it.
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr && main->m_hWnd != nullptr)
        main->SendMessage(WM_SHOW_NOTIFICATION, 0, reinterpret_cast<LPARAM>(&notification));
}
