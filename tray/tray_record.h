// The notification-area icon without the platform: the shell's icon record, the rules that
// decide when the shell is called and with what, the timed icon animation and the decision
// taken on a callback message. The Windows class CSystemTray keeps one TrayIconState and only
// turns its requests into Shell_NotifyIconA, timer, window and menu calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The shell's operations and record flags, and the two mouse messages the callback handling
// looks at, under the platform's own names. The Windows headers define the same names as
// macros with the same values; where they come first, theirs are used.
#ifndef NIM_ADD
constexpr uint32_t NIM_ADD = 0;
#endif
#ifndef NIM_MODIFY
constexpr uint32_t NIM_MODIFY = 1;
#endif
#ifndef NIM_DELETE
constexpr uint32_t NIM_DELETE = 2;
#endif
#ifndef NIF_MESSAGE
constexpr uint32_t NIF_MESSAGE = 1;
#endif
#ifndef NIF_ICON
constexpr uint32_t NIF_ICON = 2;
#endif
#ifndef NIF_TIP
constexpr uint32_t NIF_TIP = 4;
#endif
#ifndef NIM_SETVERSION
constexpr uint32_t NIM_SETVERSION = 4;
#endif
#ifndef NIF_INFO
constexpr uint32_t NIF_INFO = 0x10;
#endif
#ifndef NIIF_INFO
constexpr uint32_t NIIF_INFO = 1;
#endif
#ifndef NIIF_WARNING
constexpr uint32_t NIIF_WARNING = 2;
#endif
#ifndef NIIF_NOSOUND
constexpr uint32_t NIIF_NOSOUND = 0x10;
#endif
#ifndef NIIF_RESPECT_QUIET_TIME
constexpr uint32_t NIIF_RESPECT_QUIET_TIME = 0x80;
#endif
#ifndef NOTIFYICON_VERSION
constexpr uint32_t NOTIFYICON_VERSION = 3;
#endif
#ifndef WM_LBUTTONDBLCLK
constexpr uint32_t WM_LBUTTONDBLCLK = 515;
#endif
#ifndef WM_RBUTTONUP
constexpr uint32_t WM_RBUTTONUP = 517;
#endif

// The shell's notification-icon record in its second layout (a 128-byte tooltip, balloons),
// handles held as integers. The Windows side copies it field by field into the platform's
// record. Every text is always zero-terminated.
struct TrayIconRecord {
    uint32_t cbSize = 0;
    uintptr_t hWnd = 0; // receives the callback message; with uID it names the icon to the shell
    uint32_t uID = 0;
    uint32_t uFlags = 0; // which of the fields below the shell reads
    uint32_t uCallbackMessage = 0;
    uintptr_t hIcon = 0;
    char szTip[128] = {};
    char szInfo[256] = {};     // the balloon's text
    uint32_t uVersion = 0;     // NIM_SETVERSION: how the shell reports to the callback
    char szInfoTitle[64] = {}; // the balloon's title
    uint32_t dwInfoFlags = 0;  // the balloon's NIIF_ flags
};

// What the tray icon needs of the platform.
class TrayShell {
public:
    virtual ~TrayShell() = default;
    // Makes the invisible window that receives the animation timer (and the callback message
    // when the icon has no parent window); 0 when it cannot be made.
    virtual uintptr_t CreateHiddenWindow() = 0;
    // Shell_NotifyIconA: true when the shell carried the operation out.
    virtual bool NotifyIcon(uint32_t operation, const TrayIconRecord& record) = 0;
    // Timers on the hidden window; true on success.
    virtual bool SetAnimTimer(uint32_t timerId, uint32_t intervalMs) = 0;
    virtual bool KillAnimTimer(uint32_t timerId) = 0;
};

// What the default callback handling does with one callback message.
enum class TrayNotifyAction {
    WrongIcon,         // not this icon's id: answer 0 and do nothing
    Ignore,            // any mouse message but the two below: answer 1 and do nothing
    ContextMenu,       // right-button release: track pop-up 0 of menu menuId, default item set
    CommandAtPosition, // double click: send the command at position item of pop-up 0
    Command,           // double click: send command id item as it is, no menu loaded
};
// For the last three the answer is 1, or 0 when the menu or its pop-up is missing.

struct TrayNotifyDecision {
    TrayNotifyAction action = TrayNotifyAction::WrongIcon;
    uint32_t menuId = 0;         // the menu resource: the icon id
    uint32_t item = 0;           // the default item: a position or a command id
    bool itemByPosition = false; // how SetMenuDefaultItem reads item
};

class TrayIconState {
public:
    // Platforms older than this major version have no notification area.
    static constexpr uint32_t FIRST_TRAY_VERSION = 4;

    explicit TrayIconState(TrayShell& shell) : m_shell(shell) {}
    ~TrayIconState() { Release(); }
    TrayIconState(const TrayIconState&) = delete;
    TrayIconState& operator=(const TrayIconState&) = delete;

    // Makes the hidden window and adds the icon with all three parts (callback, icon, tooltip).
    // recordSize is the platform's size of its first record layout; parentWnd 0 means the
    // callback goes to the hidden window. True when the icon is in the notification area.
    bool Create(uint32_t platformMajorVersion, uint32_t recordSize, uintptr_t parentWnd,
                uint32_t callbackMessage, std::string_view tooltip, uintptr_t icon,
                uint32_t iconId);
    // Deletes the icon from the notification area if it is there, or may be (an add that
    // failed).
    void RemoveIcon();
    // The taskbar was made again (Explorer restarted) and has lost every icon: adds the icon
    // again with its current picture and tooltip. Does nothing unless Create made the icon
    // and it was not removed since. True when the icon is in the notification area.
    bool AddAgain();
    // Both keep the new icon or tooltip in the record, and show it when the icon is in the
    // notification area (true when the shell took it); after an add that failed they add the
    // icon again. A text longer than the record holds is cut to its first 127 characters.
    bool SetIcon(uintptr_t icon);
    bool SetTooltip(std::string_view text);
    // Shows a balloon (a notification on newer systems) with the NIIF_ flags given; texts are
    // cut to what the record holds. An icon not in the notification area is added again first;
    // when that fails, false and nothing shown: a balloon is never shown late.
    bool ShowBalloon(std::string_view title, std::string_view text, uint32_t infoFlags);
    // The shell took NOTIFYICON_VERSION: it reports the context-menu request (a right click,
    // or the keyboard) as WM_CONTEXTMENU, and a click on a balloon as NIN_BALLOONUSERCLICK.
    bool ReportsContextMenu() const { return m_bVersionSet; }

    // Shows icons in turn, one per tick of timer timerId, from now on for the given number of
    // seconds (0 or less: until stopped), then puts the current icon back. Ends an animation
    // already running first. False, with nothing changed, for an empty list or timer id 0;
    // false, with the current icon back, when the timer cannot be set.
    // Times are local times in seconds; nothing stands for a clock that could not be read.
    bool StartAnimation(const std::vector<uintptr_t>& icons, std::optional<double> nowSeconds,
                        int32_t seconds, uint32_t timerId, uint32_t intervalMs);
    // Shows the next icon of the list, wrapping round; false for an empty list.
    bool AdvanceAnimation();
    // Kills the animation timer and puts the saved icon back; true when a timer was killed.
    bool StopAnimation();
    // A timer tick of the hidden window, whatever its id. When either time is missing no time
    // counts as elapsed, so the tick advances.
    void OnTimer(std::optional<double> nowSeconds);

    // The message the hidden window hands to the callback handling.
    bool IsCallbackMessage(uint32_t message) const { return message == m_nid.uCallbackMessage; }
    // The default callback handling's decision for (icon id, mouse message).
    TrayNotifyDecision OnTrayNotify(uintptr_t wParam, intptr_t lParam) const;
    void SetDefaultItem(uint32_t item, bool byPosition);

    // What destruction does: removes the icon and empties the icon list. The Windows class
    // calls it before it destroys its hidden window.
    void Release();

    bool IsIconAdded() const { return m_bIconAdded; }
    const TrayIconRecord& Record() const { return m_nid; }
    const std::vector<uintptr_t>& AnimIcons() const { return m_animIcons; }
    uint32_t AnimTimer() const { return m_nAnimTimer; }
    int32_t AnimFrame() const { return m_nAnimFrame; }
    uintptr_t IconBeforeAnim() const { return m_hIconBeforeAnim; }

private:
    void CopyTooltip(std::string_view text);
    // Asks the shell for the callback of NOTIFYICON_VERSION, once the icon is added.
    void SetVersion();
    bool AddIfWanted();

    TrayShell& m_shell;
    bool m_bIconAdded = false;
    bool m_bIconWanted = false; // Create filled the record and RemoveIcon was not called since
    bool m_bVersionSet = false;
    TrayIconRecord m_nid;
    std::vector<uintptr_t> m_animIcons; // not owned
    uint32_t m_nAnimTimer = 0;          // 0: no animation running
    int32_t m_nAnimFrame = 0;           // index of the icon shown last
    std::optional<double> m_animStart;  // seconds
    int32_t m_nAnimSeconds = 0;         // 0 or less: until stopped
    uintptr_t m_hIconBeforeAnim = 0;    // 0: none
    uint32_t m_nDefaultItem = 0;
    bool m_bDefaultByPos = true;
};
