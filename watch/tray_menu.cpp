// The tray icon's menu items; see tray_menu.h.
#include "watch/tray_menu.h"

#include "res/resource.h"

namespace {

// A text shown as it is in a menu item: an ampersand would mark the next letter as the
// mnemonic, so it is doubled.
std::string MenuLiteral(const std::string& text) {
    std::string literal;
    for (const char c : text)
        literal += c == '&' ? "&&" : std::string(1, c);
    return literal;
}

} // namespace

std::vector<TrayMenuItem> TrayMenuItems(const TrayMenuState& state) {
    const bool muted = !state.mutedUntil.empty();
    return {
        {ID_TRAY_SHOW_HIDE, state.windowShown ? "&Hide" : "&Show", true, true},
        {ID_TRAY_OPTIONS, "&Options...", false, !state.dialogOpen},
        {ID_TRAY_HISTORY, "His&tory...", false, state.historyAvailable},
        {ID_TRAY_MUTE,
         muted ? "Un&mute (muted until " + MenuLiteral(state.mutedUntil) + ")" : "&Mute for 1 hour",
         false, true},
        {ID_TRAY_FIND_STOP, "&Find where it stops", false, state.watching},
        {0, std::string(), false, true},
        {ID_TRAY_ABOUT, "&About Tarnwell...", false, !state.dialogOpen},
        {ID_TRAY_EXIT, "E&xit", false, true},
    };
}
