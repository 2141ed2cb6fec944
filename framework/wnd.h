// CWnd: a C++ object bound to a platform window. Windows that the framework creates or
// subclasses route every message through WindowProc, then the class's message table, then the
// window's previous procedure (the default processing).
#pragma once

#include "framework/message_map.h"

#include <windows.h>

#include <string>

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }

    // The object bound to a window by the framework, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates a window of the framework's own plain class (no style, cursor, brush or icon).
    BOOL CreateEx(DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu);
    BOOL DestroyWindow();

    // Binds this object to an existing window and routes its messages through WindowProc.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Asks a child control to handle a notification that its parent received (owner drawing).
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The default processing of the message being handled.
    LRESULT Default();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Thin wrappers over the platform's window functions.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    BOOL ShowWindow(int command);
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL big);
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }

    // Whether ShowWindow or SetWindowPos has set the visibility explicitly since creation.
    bool VisibilityWasSet() const { return m_bVisibilitySet; }

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

protected:
    // Called after the window has received its last message (WM_NCDESTROY).
    virtual void PostNcDestroy() {}
    // Table dispatch: WM_COMMAND by code and id, owner-draw notifications to the child, then
    // the table; false when nothing handled the message.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd);
    void Detach();

    WNDPROC m_pfnSuper = nullptr;
    bool m_bVisibilitySet = false;
};

// The whole text of any window, of any length.
std::string WindowTextOf(HWND hwnd);

// The window procedure of every window the framework routes.
LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Gives a message to the PreTranslateMessage of its window and of each ancestor with an object,
// innermost first, up to and including the top-level window; true when one consumed it.
BOOL FrameworkPreTranslateMessage(MSG* msg);
