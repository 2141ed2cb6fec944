// CTrayNotifier: see tray_notifier.h.
#include "watch/tray_notifier.h"

void CTrayNotifier::ShowNotification(const Notification& notification) {
    // Quiet hours and focus assist are the user's; the balloon never takes the focus.
    DWORD flags = (notification.warning ? NIIF_WARNING : NIIF_INFO) | NIIF_RESPECT_QUIET_TIME;
    if (notification.silent)
        flags |= NIIF_NOSOUND;
    if (notification.warning) { // a break's: its finding follows as a second line
        m_breakNotification = notification;
        m_nNotifiedBreak = m_watch.Breaks();
    }
    m_tray.ShowBalloon(notification.title.c_str(), notification.text.c_str(), flags);
}

void CTrayNotifier::ShowFinding(const PathFinding& found) {
    if (!found.atBreak || m_nNotifiedBreak != m_watch.Breaks())
        return;
    Notification notification = m_breakNotification;
    notification.text += "\n" + found.finding.text;
    notification.silent = true; // the break's own sound, if any, has played
    ShowNotification(notification);
    m_nNotifiedBreak = UINT64_MAX; // one second line
}
