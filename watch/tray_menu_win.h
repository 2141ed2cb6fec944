// CTrayMenu: the tray icon's menu on screen, made from TrayMenuItems; and the mute it toggles.
#pragma once

#include "watch/watch_machine.h"

#include <windows.h>

class CTrayMenu {
public:
    // Runs the menu at the pointer for `owner`, which gets the chosen command as WM_COMMAND,
    // and returns when it closes. A request while it is open does nothing: it is the same
    // user's.
    void Show(HWND owner, WatchMachine& watch, bool windowShown, bool dialogOpen);

private:
    bool m_bOpen = false;
};

// Mute for 1 hour (until the local time that the menu and the tip then say), or Unmute.
void ToggleMute(WatchMachine& watch);
