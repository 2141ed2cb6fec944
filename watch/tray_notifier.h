// CTrayNotifier: notifications as tray balloons, and a break's trace finding as its second line.
#pragma once

#include "actions/event_actions_win.h"
#include "tray/system_tray.h"
#include "watch/path_finder.h"
#include "watch/watch_machine.h"

#include <cstdint>

// The event actions as the platform runs them, but for the notification, which this shows.
class CTrayNotifier : public PlatformActionRunner {
public:
    CTrayNotifier(CSystemTray& tray, const WatchMachine& watch) : m_tray(tray), m_watch(watch) {}

    // Shows a notification through the tray icon; nothing where the shell shows none. A
    // break's is kept for its finding.
    void ShowNotification(const Notification& notification) override;
    // A trace's finding: when a break asked for it and that break's notification was shown,
    // the notification again, silent, with the finding as a second line; once.
    void ShowFinding(const PathFinding& found);

private:
    CSystemTray& m_tray;
    const WatchMachine& m_watch;
    Notification m_breakNotification; // the latest break's, shown at m_nNotifiedBreak
    uint64_t m_nNotifiedBreak = UINT64_MAX;
};
