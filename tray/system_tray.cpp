// CSystemTray: the platform side of the notification-area icon; see system_tray.h.
#include "tray/system_tray.h"

#include "framework/gdi.h"
#include "framework/ole_date_time.h"
#include "framework/win_app.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace {

uint32_t PlatformMajorVersion() {
    // The major version the platform reports for itself (low byte of the low word); the
    // notification area exists from version 4 on.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    return LOBYTE(LOWORD(::GetVersion()));
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

// The local time in whole seconds, as the date-time value holds it; none when it cannot be had.
std::optional<double> SecondsNow() {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    if (now.m_status != COleDateTime::valid)
        return std::nullopt;
    return std::round(now.m_dt * 86400.0);
}

NOTIFYICONDATAA ToPlatformRecord(const TrayIconRecord& record) {
    NOTIFYICONDATAA data = {};
    data.cbSize = record.cbSize;
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    static_assert(sizeof(data.szTip) == sizeof(record.szTip));
    std::memcpy(data.szTip, record.szTip, sizeof(record.szTip));
    static_assert(sizeof(data.szInfo) == sizeof(record.szInfo));
    std::memcpy(data.szInfo, record.szInfo, sizeof(record.szInfo));
    static_assert(sizeof(data.szInfoTitle) == sizeof(record.szInfoTitle));
    std::memcpy(data.szInfoTitle, record.szInfoTitle, sizeof(record.szInfoTitle));
    data.uVersion = record.uVersion;
    data.dwInfoFlags = record.dwInfoFlags;
    return data;
}

} // namespace

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void AllowTaskbarCreatedMessage(HWND window) {
    // Windows 7 and later have the filter; it is looked up so that older systems still start.
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD MESSAGE_FILTER_ALLOW = 1; // MSGFLT_ALLOW
    const HMODULE user = ::GetModuleHandleA("user32.dll");
    const FARPROC found =
        user != nullptr ? ::GetProcAddress(user, "ChangeWindowMessageFilterEx") : nullptr;
    if (found == nullptr || TaskbarCreatedMessage() == 0)
        return;
    const auto allow = reinterpret_cast<FilterFunction>(reinterpret_cast<void*>(found));
    allow(window, TaskbarCreatedMessage(), MESSAGE_FILTER_ALLOW, nullptr);
}

CSystemTray::CSystemTray() : m_state(*this) {}

CSystemTray::~CSystemTray() {
    m_state.Release();
    DestroyWindow();
}

const MessageMap* CSystemTray::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Timer<&CSystemTray::OnTimer>(),
    };
    static constexpr MessageMap map = MakeMessageMap(&CWnd::ThisMessageMap, entries);
    return &map;
}

BOOL CSystemTray::Create(CWnd* parent, UINT callbackMessage, const char* tooltip, HICON icon,
                         UINT id) {
    const uintptr_t parentWnd = parent != nullptr ? reinterpret_cast<uintptr_t>(parent->m_hWnd) : 0;
    // The second layout: a tooltip of 127 characters and balloons (Windows 2000 and later).
    return m_state.Create(PlatformMajorVersion(), NOTIFYICONDATAA_V2_SIZE, parentWnd,
                          callbackMessage, tooltip != nullptr ? tooltip : "",
                          reinterpret_cast<uintptr_t>(icon), id);
}

void CSystemTray::RemoveIcon() {
    m_state.RemoveIcon();
}

BOOL CSystemTray::AddAgain() {
    if (m_iconResourceId != 0) {
        const auto icon = reinterpret_cast<uintptr_t>(m_smallIcons.Get(m_iconResourceId));
        if (icon != m_state.Record().hIcon)
            m_state.SetIcon(icon);
    }
    return m_state.AddAgain();
}

BOOL CSystemTray::SetIcon(HICON icon) {
    m_iconResourceId = 0;
    return m_state.SetIcon(reinterpret_cast<uintptr_t>(icon));
}

BOOL CSystemTray::SetIcon(UINT resourceId) {
    const BOOL shown = SetIcon(m_smallIcons.Get(resourceId));
    m_iconResourceId = resourceId;
    return shown;
}

BOOL CSystemTray::SetTooltip(const char* text) {
    return m_state.SetTooltip(text != nullptr ? text : "");
}

BOOL CSystemTray::ShowBalloon(const char* title, const char* text, DWORD infoFlags) {
    return m_state.ShowBalloon(title != nullptr ? title : "", text != nullptr ? text : "",
                               infoFlags);
}

BOOL CSystemTray::Animate(const std::vector<HICON>& icons, UINT intervalMs, int seconds) {
    std::vector<uintptr_t> handles;
    handles.reserve(icons.size());
    for (HICON icon : icons)
        handles.push_back(reinterpret_cast<uintptr_t>(icon));
    constexpr uint32_t ANIMATION_TIMER = 1;
    return m_state.StartAnimation(handles, SecondsNow(), seconds, ANIMATION_TIMER, intervalMs);
}

BOOL CSystemTray::AdvanceAnimation() {
    return m_state.AdvanceAnimation();
}

BOOL CSystemTray::StopAnimation() {
    return m_state.StopAnimation();
}

void CSystemTray::SetMenuDefaultItem(UINT item, BOOL byPosition) {
    m_state.SetDefaultItem(item, byPosition != FALSE);
}

void CSystemTray::OnTimer(UINT_PTR) {
    m_state.OnTimer(SecondsNow());
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_state.IsCallbackMessage(message))
        return OnTrayNotify(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CSystemTray::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    const TrayNotifyDecision decision =
        m_state.OnTrayNotify(static_cast<uintptr_t>(wParam), static_cast<intptr_t>(lParam));
    if (decision.action == TrayNotifyAction::WrongIcon)
        return 0;
    if (decision.action == TrayNotifyAction::Ignore)
        return 1;
    // Without a main window there is nothing to show a menu for or send a command to.
    CWnd* target = AfxGetMainWnd();
    if (target == nullptr || target->m_hWnd == nullptr)
        return 0;

    if (decision.action == TrayNotifyAction::Command) {
        ::SetForegroundWindow(target->m_hWnd);
        target->SendMessage(WM_COMMAND, decision.item, 0);
        return 1;
    }

    if (decision.action == TrayNotifyAction::CommandAtPosition)
        ::SetForegroundWindow(target->m_hWnd);
    CMenu menu;
    if (!menu.LoadMenu(decision.menuId))
        return 0;
    HMENU popup = ::GetSubMenu(menu.m_hMenu, 0);
    if (popup == nullptr)
        return 0;

    if (decision.action == TrayNotifyAction::ContextMenu) {
        ::SetMenuDefaultItem(popup, decision.item, decision.itemByPosition ? TRUE : FALSE);
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        // The window must be in the foreground for the menu to close when clicked away.
        ::SetForegroundWindow(target->m_hWnd);
        ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, target->m_hWnd, nullptr);
        target->PostMessage(WM_NULL);
        return 1;
    }
    const UINT command = ::GetMenuItemID(popup, static_cast<int>(decision.item));
    target->SendMessage(WM_COMMAND, command, 0);
    return 1;
}

uintptr_t CSystemTray::CreateHiddenWindow() {
    if (m_hWnd == nullptr)
        CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    return reinterpret_cast<uintptr_t>(m_hWnd);
}

bool CSystemTray::NotifyIcon(uint32_t operation, const TrayIconRecord& record) {
    NOTIFYICONDATAA data = ToPlatformRecord(record);
    return ::Shell_NotifyIconA(operation, &data) != FALSE;
}

bool CSystemTray::SetAnimTimer(uint32_t timerId, uint32_t intervalMs) {
    return m_hWnd != nullptr && SetTimer(timerId, intervalMs) != 0;
}

bool CSystemTray::KillAnimTimer(uint32_t timerId) {
    return m_hWnd != nullptr && KillTimer(timerId) != FALSE;
}
