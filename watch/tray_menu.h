// The tray icon's menu as plain data: its items in order, with their texts, which is the bold
// default and which are greyed. The watch window makes the pop-up menu from this list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TrayMenuItem {
    uint32_t id = 0; // the command (ID_TRAY_...); 0 for a separator
    std::string text;
    bool isDefault = false; // bold: what a left click on the icon does
    bool enabled = true;
};

struct TrayMenuState {
    bool windowShown = true;
    std::string mutedUntil; // the end of the mute, as the user reads it; empty when not muted
    bool historyAvailable = false;
    bool watching = false; // a host is watched: where its path stops can be found
    // A dialog of the window runs: another Options or About box is not opened on top of it.
    bool dialogOpen = false;
};

std::vector<TrayMenuItem> TrayMenuItems(const TrayMenuState& state);
