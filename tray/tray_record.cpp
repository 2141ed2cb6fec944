// The tray icon's rules: when the shell is called and with which record, the animation's
// stepping and stopping, and the callback decision.
#include "tray/tray_record.h"

#include <algorithm>
#include <cstring>

bool TrayIconState::Create(uint32_t platformMajorVersion, uint32_t recordSize, uintptr_t parentWnd,
                           uint32_t callbackMessage, std::string_view tooltip, uintptr_t icon,
                           uint32_t iconId) {
    // A second Create must not leave the first icon behind in the notification area.
    RemoveIcon();
    if (platformMajorVersion < FIRST_TRAY_VERSION) {
        m_bIconAdded = false;
        return false;
    }
    // The hidden window carries the timers even when a parent takes the callback.
    const uintptr_t hiddenWnd = m_shell.CreateHiddenWindow();

    m_nid.cbSize = recordSize;
    m_nid.hWnd = parentWnd != 0 ? parentWnd : hiddenWnd;
    m_nid.uID = iconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.hIcon = icon;
    CopyTooltip(tooltip);

    m_bIconWanted = true;
    m_bIconAdded = m_shell.NotifyIcon(NIM_ADD, m_nid);
    SetVersion();
    return m_bIconAdded;
}

void TrayIconState::SetVersion() {
    m_bVersionSet = false;
    if (!m_bIconAdded) {
        return;
    }
    m_nid.uVersion = NOTIFYICON_VERSION;
    m_bVersionSet = m_shell.NotifyIcon(NIM_SETVERSION, m_nid);
}

bool TrayIconState::AddAgain() {
    if (!m_bIconWanted) {
        return false;
    }
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // A taskbar that kept the icon refuses to add it twice; the whole record is sent instead.
    m_bIconAdded = m_shell.NotifyIcon(NIM_ADD, m_nid) || m_shell.NotifyIcon(NIM_MODIFY, m_nid);
    // A new taskbar knows nothing of the version the old one was told.
    SetVersion();
    return m_bIconAdded;
}

void TrayIconState::RemoveIcon() {
    // An add that timed out may have shown the icon all the same: it is deleted too, so that
    // no ghost stays behind.
    const bool mayBeShown = m_bIconAdded || m_bIconWanted;
    m_bIconWanted = false;
    if (!mayBeShown) {
        return;
    }
    m_nid.uFlags = 0;
    m_shell.NotifyIcon(NIM_DELETE, m_nid);
    m_bIconAdded = false;
    m_bVersionSet = false;
}

bool TrayIconState::SetIcon(uintptr_t icon) {
    // Kept also while the icon is not in the notification area, so that a taskbar that
    // appears later gets the current picture.
    m_nid.hIcon = icon;
    if (!m_bIconAdded) {
        return AddIfWanted();
    }
    m_nid.uFlags = NIF_ICON;
    return m_shell.NotifyIcon(NIM_MODIFY, m_nid);
}

bool TrayIconState::SetTooltip(std::string_view text) {
    CopyTooltip(text);
    if (!m_bIconAdded) {
        return AddIfWanted();
    }
    m_nid.uFlags = NIF_TIP;
    return m_shell.NotifyIcon(NIM_MODIFY, m_nid);
}

namespace {

// Keeps what fits with its zero; the rest of the field is zero.
template <size_t N> void CopyText(char (&field)[N], std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), length);
}

} // namespace

bool TrayIconState::AddIfWanted() {
    // An add that failed (Explorer busy at logon times the call out) is tried again with the
    // whole record, so that the icon never stays on an old picture.
    return m_bIconWanted && AddAgain();
}

void TrayIconState::CopyTooltip(std::string_view text) {
    // The tooltip is built from a host name of any length.
    CopyText(m_nid.szTip, text);
}

bool TrayIconState::ShowBalloon(std::string_view title, std::string_view text, uint32_t infoFlags) {
    // The event is now: an icon that cannot be added now shows nothing later.
    if (!m_bIconAdded && !AddIfWanted()) {
        return false;
    }
    CopyText(m_nid.szInfoTitle, title);
    CopyText(m_nid.szInfo, text);
    m_nid.dwInfoFlags = infoFlags;
    m_nid.uFlags = NIF_INFO;
    return m_shell.NotifyIcon(NIM_MODIFY, m_nid);
}

bool TrayIconState::StartAnimation(const std::vector<uintptr_t>& icons,
                                   std::optional<double> nowSeconds, int32_t seconds,
                                   uint32_t timerId, uint32_t intervalMs) {
    if (icons.empty() || timerId == 0) {
        return false;
    }
    // Ending a running animation first puts its saved icon back, so that the icon saved now
    // is still the one from before any animation, and frees the timer id for reuse.
    StopAnimation();
    m_animIcons = icons;
    m_hIconBeforeAnim = m_nid.hIcon;
    m_animStart = nowSeconds;
    m_nAnimSeconds = seconds;
    m_nAnimFrame = 0;
    SetIcon(m_animIcons[0]);
    if (!m_shell.SetAnimTimer(timerId, intervalMs)) {
        StopAnimation();
        return false;
    }
    m_nAnimTimer = timerId;
    return true;
}

bool TrayIconState::AdvanceAnimation() {
    if (m_animIcons.empty()) {
        return false;
    }
    ++m_nAnimFrame;
    if (m_nAnimFrame < 0 || static_cast<size_t>(m_nAnimFrame) >= m_animIcons.size()) {
        m_nAnimFrame = 0;
    }
    return SetIcon(m_animIcons[static_cast<size_t>(m_nAnimFrame)]);
}

bool TrayIconState::StopAnimation() {
    bool killed = false;
    if (m_nAnimTimer != 0) {
        killed = m_shell.KillAnimTimer(m_nAnimTimer);
    }
    m_nAnimTimer = 0;
    if (m_hIconBeforeAnim != 0) {
        SetIcon(m_hIconBeforeAnim);
    }
    m_hIconBeforeAnim = 0;
    return killed;
}

void TrayIconState::OnTimer(std::optional<double> nowSeconds) {
    const double elapsed = nowSeconds && m_animStart ? *nowSeconds - *m_animStart : 0.0;
    // Only a strictly longer time ends the animation; a tick at exactly its length still steps.
    if (m_nAnimSeconds > 0 && elapsed > static_cast<double>(m_nAnimSeconds)) {
        StopAnimation();
    } else {
        AdvanceAnimation();
    }
}

TrayNotifyDecision TrayIconState::OnTrayNotify(uintptr_t wParam, intptr_t lParam) const {
    TrayNotifyDecision decision;
    if (wParam != m_nid.uID) {
        return decision;
    }
    decision.menuId = m_nid.uID;
    decision.item = m_nDefaultItem;
    decision.itemByPosition = m_bDefaultByPos;
    // The mouse message is in the low word; the high word may carry other data.
    const uint32_t mouseMessage = static_cast<uint32_t>(static_cast<uintptr_t>(lParam) & 0xFFFFu);
    if (mouseMessage == WM_RBUTTONUP) {
        decision.action = TrayNotifyAction::ContextMenu;
    } else if (mouseMessage == WM_LBUTTONDBLCLK) {
        decision.action =
            m_bDefaultByPos ? TrayNotifyAction::CommandAtPosition : TrayNotifyAction::Command;
    } else {
        decision.action = TrayNotifyAction::Ignore;
    }
    return decision;
}

void TrayIconState::SetDefaultItem(uint32_t item, bool byPosition) {
    m_nDefaultItem = item;
    m_bDefaultByPos = byPosition;
}

void TrayIconState::Release() {
    RemoveIcon();
    std::vector<uintptr_t>().swap(m_animIcons);
}
