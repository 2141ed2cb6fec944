// Message helpers for the Wine tests; see widget_messages.h.
#include "tests/wine/widget_messages.h"

namespace {
WidgetMessageRecorder* g_recorder = nullptr;
} // namespace

bool WidgetPumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void WidgetPumpFor(DWORD ms) {
    WidgetPumpUntil([] { return false; }, ms);
}

void WidgetMovePointer(int x, int y) {
    // Wine takes the position from the X server's events, and an event of an earlier move can
    // still come after the new one: the move is made again until the position holds for a
    // while. A wait for input reads those events without taking any message from the queue.
    constexpr DWORD SETTLE_MS = 50;
    const DWORD start = ::GetTickCount();
    POINT now = {};
    do {
        ::SetCursorPos(x, y);
        const DWORD moved = ::GetTickCount();
        while (::GetTickCount() - moved < SETTLE_MS)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetCursorPos(&now) && (now.x != x || now.y != y) && ::GetTickCount() - start < 1000);
    // The moves the pointer made on its way are dropped: the test sends the ones it means.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

WidgetMessageRecorder::WidgetMessageRecorder(UINT message) : m_message(message) {
    g_recorder = this;
    const DWORD thread = ::GetCurrentThreadId();
    m_sentHook = ::SetWindowsHookExA(WH_CALLWNDPROC, &OnSent, nullptr, thread);
    m_postedHook = ::SetWindowsHookExA(WH_GETMESSAGE, &OnPosted, nullptr, thread);
}

WidgetMessageRecorder::~WidgetMessageRecorder() {
    if (m_sentHook != nullptr)
        ::UnhookWindowsHookEx(m_sentHook);
    if (m_postedHook != nullptr)
        ::UnhookWindowsHookEx(m_postedHook);
    if (g_recorder == this)
        g_recorder = nullptr;
}

int WidgetMessageRecorder::Count(HWND window, LPARAM lParam) const {
    int count = 0;
    for (const WidgetMessage& seen : m_seen)
        if (seen.window == window && seen.lParam == lParam)
            ++count;
    return count;
}

void WidgetMessageRecorder::Add(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_message)
        m_seen.push_back(WidgetMessage{window, message, wParam, lParam});
}

LRESULT CALLBACK WidgetMessageRecorder::OnSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_recorder != nullptr) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_recorder->Add(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WidgetMessageRecorder::OnPosted(int code, WPARAM wParam, LPARAM lParam) {
    // Only messages taken off the queue count, not those a PM_NOREMOVE peek looks at.
    if (code == HC_ACTION && wParam == PM_REMOVE && g_recorder != nullptr) {
        const auto* posted = reinterpret_cast<const MSG*>(lParam);
        g_recorder->Add(posted->hwnd, posted->message, posted->wParam, posted->lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
