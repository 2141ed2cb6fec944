// Message helpers for the Wine tests of the picture buttons and the tray icon: bounded message
// pumps, and a recorder of the messages of one kind that this thread's windows receive,
// whether posted or sent, from this process or from another (the shell's taskbar).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Dispatches this thread's messages until `done` holds or the time has passed; true when it
// holds. A quit request stops the pump and is posted again for the loop that owns it.
bool WidgetPumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void WidgetPumpFor(DWORD ms);

// Moves the real mouse pointer to a screen point, where the platform's mouse-leave tracking
// looks, and waits until the platform reports it there; the mouse messages that the move
// queued are dropped, so that windows get only the ones the test sends.
void WidgetMovePointer(int x, int y);

struct WidgetMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records every `message` that reaches a window of this thread while it lives. One at a time.
class WidgetMessageRecorder {
public:
    explicit WidgetMessageRecorder(UINT message);
    ~WidgetMessageRecorder();
    WidgetMessageRecorder(const WidgetMessageRecorder&) = delete;
    WidgetMessageRecorder& operator=(const WidgetMessageRecorder&) = delete;

    const std::vector<WidgetMessage>& Seen() const { return m_seen; }
    void Clear() { m_seen.clear(); }
    // How many of the recorded messages went to `window` with this lParam.
    int Count(HWND window, LPARAM lParam) const;

private:
    static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnPosted(int code, WPARAM wParam, LPARAM lParam);
    void Add(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_message;
    HHOOK m_sentHook = nullptr;
    HHOOK m_postedHook = nullptr;
    std::vector<WidgetMessage> m_seen;
};
