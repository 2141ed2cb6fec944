// CSystemTray: one icon with a tooltip in the notification area, kept there until the object
// is destroyed. The record, its state rules and the animation stepping are TrayIconState's;
// this class makes the hidden window and makes the platform calls.
#pragma once

#include "framework/wnd.h"
#include "tray/small_icons.h"
#include "tray/tray_record.h"

#include <shellapi.h>

#include <vector>

// The message Explorer broadcasts when it has made the taskbar again, which then has no icons.
UINT TaskbarCreatedMessage();
// Lets the taskbar's message reach the window also when the program runs elevated, where
// Windows blocks messages from the less trusted Explorer. Does nothing on systems without
// the message filter.
void AllowTaskbarCreatedMessage(HWND window);

class CSystemTray : public CWnd, private TrayShell {
public:
    CSystemTray();
    ~CSystemTray() override;

    // Makes the hidden window and adds the icon; the callback message goes to the parent when
    // it has a window, else to the hidden window. False when the icon could not be added.
    BOOL Create(CWnd* parent, UINT callbackMessage, const char* tooltip, HICON icon, UINT id);
    void RemoveIcon();
    // After the taskbar was made again: the icon again, as it is now, loaded again when it is
    // a resource icon and the new taskbar asks for another size.
    BOOL AddAgain();
    BOOL SetIcon(HICON icon);
    // Loads the icon resource at the size the notification area asks for (a missing one gives
    // an empty icon) and shows it.
    BOOL SetIcon(UINT resourceId);
    // The resource shown by SetIcon(UINT), or 0 after an icon given by handle.
    UINT IconResourceId() const { return m_iconResourceId; }
    // A text longer than 127 characters is cut to 127.
    BOOL SetTooltip(const char* text);
    // A balloon from the icon (NIF_INFO; on Windows 10 and 11 a notification); false when the
    // icon is not in the notification area.
    BOOL ShowBalloon(const char* title, const char* text, DWORD infoFlags);

    // Shows the icons in turn every intervalMs for the given seconds (0 or less: until
    // stopped), then puts the current icon back.
    BOOL Animate(const std::vector<HICON>& icons, UINT intervalMs, int seconds);
    BOOL AdvanceAnimation();
    BOOL StopAnimation();
    // The default item of the context menu: a position or a command id.
    void SetMenuDefaultItem(UINT item, BOOL byPosition);

    const TrayIconState& State() const { return m_state; }

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The default callback handling: a context menu on right-button release, the default
    // command on double click.
    virtual LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    // WM_TIMER of the hidden window: every timer drives the animation.
    void OnTimer(UINT_PTR timerId);

private:
    uintptr_t CreateHiddenWindow() override;
    bool NotifyIcon(uint32_t operation, const TrayIconRecord& record) override;
    bool SetAnimTimer(uint32_t timerId, uint32_t intervalMs) override;
    bool KillAnimTimer(uint32_t timerId) override;

    TrayIconState m_state;
    CSmallIcons m_smallIcons;
    UINT m_iconResourceId = 0;
};
