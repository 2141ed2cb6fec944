// CTrayMenu and the mute; see tray_menu_win.h.
#include "watch/tray_menu_win.h"

#include "framework/local_time.h"
#include "watch/tray_menu.h"

namespace {

// The local time an hour from now in the user's own short time format ("14:32", "2:32 PM"),
// with the time zone's rule for that moment (an hour may cross a daylight-saving change).
std::string LocalTimeInAnHour() {
    const std::optional<SYSTEMTIME> local = LocalTimeOf(UtcNowMs() + MUTE_MS);
    const std::string text = local ? UserTimeText(*local, false) : std::string();
    return text.empty() ? "in an hour" : text;
}

} // namespace

void CTrayMenu::Show(HWND owner, WatchMachine& watch, bool windowShown, bool dialogOpen) {
    if (m_bOpen)
        return;
    TrayMenuState state;
    state.windowShown = windowShown;
    state.mutedUntil = watch.MutedUntil();
    state.historyAvailable = true;
    state.dialogOpen = dialogOpen;
    state.watching = watch.IsWatching();
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr)
        return;
    for (const TrayMenuItem& item : TrayMenuItems(state)) {
        if (item.id == 0) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        ::AppendMenuA(menu, MF_STRING | (item.enabled ? 0 : MF_GRAYED), item.id, item.text.c_str());
        if (item.isDefault)
            ::SetMenuDefaultItem(menu, item.id, FALSE);
    }
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // The window must be in the foreground for the menu to close when the user clicks
    // elsewhere; the message posted afterwards lets the shell see the menu end.
    ::SetForegroundWindow(owner);
    m_bOpen = true;
    const UINT align = ::GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    ::TrackPopupMenu(menu, align | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    m_bOpen = false;
    ::PostMessageA(owner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}

void ToggleMute(WatchMachine& watch) {
    if (watch.IsMuted())
        watch.Unmute();
    else
        watch.Mute(LocalTimeInAnHour());
}
