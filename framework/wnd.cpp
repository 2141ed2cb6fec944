// CWnd: binding of objects to windows and the message routing through WindowProc and the
// message tables.
#include "framework/wnd.h"

#include "framework/win_app.h"

#include <unordered_map>
#include <vector>

namespace {

// The objects bound to windows. One user-interface thread: no lock.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The message being handled, for CWnd::Default; saved and restored around nested dispatch.
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage g_currentMessage = {};

// The object whose CreateEx is running: its window is bound at its first message.
CWnd* g_wndBeingCreated = nullptr;

const char* const PLAIN_CLASS_NAME = "TarnwellPlainWindow";

bool RegisterPlainClass() {
    static bool registered = false;
    if (registered)
        return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = PLAIN_CLASS_NAME;
    registered = ::RegisterClassA(&wc) != 0;
    return registered;
}

} // namespace

const MessageMap* CCmdTarget::ThisMessageMap() {
    static constexpr MessageMap map{nullptr, nullptr, 0};
    return &map;
}

bool CCmdTarget::DispatchFromTable(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base ? map->base() : nullptr) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const MsgEntry& entry = map->entries[i];
            if (entry.message != message)
                continue;
            if (message == WM_COMMAND && (entry.code != code || entry.id != id))
                continue;
            return entry.call(*this, wParam, lParam, result);
        }
    }
    return false;
}

const MessageMap* CWnd::ThisMessageMap() {
    static constexpr MessageMap map{&CCmdTarget::ThisMessageMap, nullptr, 0};
    return &map;
}

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        HWND hwnd = m_hWnd;
        if (m_pfnSuper != nullptr && m_pfnSuper != ::DefWindowProcA)
            UnsubclassWindow();
        else
            Detach();
        if (::IsWindow(hwnd) && ::GetParent(hwnd) == nullptr)
            ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    auto it = HandleMap().find(hwnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    m_bVisibilitySet = false;
    HandleMap()[hwnd] = this;
}

void CWnd::Detach() {
    if (m_hWnd != nullptr)
        HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu) {
    if (!RegisterPlainClass())
        return FALSE;
    g_wndBeingCreated = this;
    HWND hwnd = ::CreateWindowExA(exStyle, PLAIN_CLASS_NAME, title, style, x, y, width, height,
                                  parent, menu, AfxGetInstanceHandle(), nullptr);
    g_wndBeingCreated = nullptr;
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr)
        return FALSE;
    Attach(hwnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr && m_pfnSuper != nullptr)
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    Detach();
    return hwnd;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    switch (message) {
    case WM_COMMAND:
        return DispatchFromTable(message, HIWORD(wParam), LOWORD(wParam), wParam, lParam, result);
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        break;
    }
    if (child != nullptr) {
        if (CWnd* wnd = FromHandlePermanent(child))
            if (wnd->OnChildNotify(message, wParam, lParam, result))
                return true;
    }
    return DispatchFromTable(message, 0, 0, wParam, lParam, result);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CWnd::Default() {
    return DefWindowProc(g_currentMessage.message, g_currentMessage.wParam,
                         g_currentMessage.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string WindowTextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

std::string CWnd::GetWindowText() const {
    return WindowTextOf(m_hWnd);
}

BOOL CWnd::ShowWindow(int command) {
    m_bVisibilitySet = true;
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
        m_bVisibilitySet = true;
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd == nullptr && g_wndBeingCreated != nullptr) {
        wnd = g_wndBeingCreated;
        g_wndBeingCreated = nullptr;
        wnd->Attach(hwnd);
        wnd->m_pfnSuper = ::DefWindowProcA;
    }
    if (wnd == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    const CurrentMessage saved = g_currentMessage;
    g_currentMessage = CurrentMessage{hwnd, message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    g_currentMessage = saved;

    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

BOOL FrameworkPreTranslateMessage(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
            if (wnd->PreTranslateMessage(msg))
                return TRUE;
        if ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return FALSE;
}
