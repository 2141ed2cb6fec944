// The notification area as a Wine test sees it; see widget_tray_probe.h.
#include "tests/wine/widget_tray_probe.h"

#include <shellapi.h>

namespace {

NOTIFYICONDATAA RecordFor(HWND owner, UINT id) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = 0;
    return data;
}

// The notification area lies at the right end of the taskbar; icons are about 20 pixels wide.
constexpr int SCAN_STEP = 6;
constexpr int SCAN_WIDTH = 400;
constexpr DWORD SCAN_WAIT_MS = 60;
constexpr DWORD TASKBAR_WAIT_MS = 5000;

} // namespace

bool TrayIconExists(HWND owner, UINT id) {
    NOTIFYICONDATAA data = RecordFor(owner, id);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool TrayDeleteIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA data = RecordFor(owner, id);
    return ::Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

HWND TrayTaskbarWindow() {
    // The desktop process makes the taskbar as it starts, which may be just after this
    // program's first window: wait a little for it.
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr))
            return taskbar;
        if (::GetTickCount() - start >= TASKBAR_WAIT_MS)
            return nullptr;
        ::Sleep(50);
    }
}

void TrayPostMouse(POINT where, UINT mouseMessage) {
    const WPARAM keys =
        mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0;
    ::PostMessageA(TrayTaskbarWindow(), mouseMessage, keys, MAKELPARAM(where.x, where.y));
}

bool TrayFindIcon(HWND owner, WidgetMessageRecorder& recorder, POINT* where) {
    HWND taskbar = TrayTaskbarWindow();
    if (taskbar == nullptr)
        return false;
    RECT client;
    ::GetClientRect(taskbar, &client);
    const int y = (client.top + client.bottom) / 2;
    for (int x = client.right - 2; x > client.right - SCAN_WIDTH && x >= 0; x -= SCAN_STEP) {
        const int before = recorder.Count(owner, WM_MOUSEMOVE);
        TrayPostMouse(POINT{x, y}, WM_MOUSEMOVE);
        if (WidgetPumpUntil([&] { return recorder.Count(owner, WM_MOUSEMOVE) > before; },
                            SCAN_WAIT_MS)) {
            *where = POINT{x, y};
            return true;
        }
    }
    return false;
}

const CSystemTray* TrayObjectFor(HWND owner, UINT id) {
    struct Search {
        HWND owner;
        UINT id;
        const CSystemTray* found;
    } search{owner, id, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            const auto* tray = dynamic_cast<const CSystemTray*>(CWnd::FromHandlePermanent(window));
            if (tray != nullptr &&
                tray->State().Record().hWnd == reinterpret_cast<uintptr_t>(s->owner) &&
                tray->State().Record().uID == s->id) {
                s->found = tray;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
