// CWatchDlg: the program's main window. It holds the host field, the status line, the status
// light and the Options and Exit buttons; it owns the watch state, the tray icon and the
// settings record, dispatches keys, tray clicks and the system menu, and hides to the tray.
#pragma once

#include "actions/event_actions.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "history/check_history.h"
#include "history/history_dlg.h"
#include "res/resource.h"
#include "settings/watch_settings.h"
#include "tray/system_tray.h"
#include "watch/path_finder.h"
#include "watch/status_light.h"
#include "watch/tray_menu_win.h"
#include "watch/tray_notifier.h"
#include "watch/watch_machine.h"
#include "widgets/anim_button.h"

constexpr UINT WM_TRAY_NOTIFY = 1125; // lParam: the mouse message on the tray icon
constexpr UINT TRAY_ICON_ID = 192;

class CWatchDlg : public CDialog, private WatchEffects {
public:
    enum { IDD = IDD_TARNWELL_DIALOG };

    explicit CWatchDlg(CWnd* parent = nullptr);
    ~CWatchDlg() override;

    // Hides the shown window to the tray or brings the hidden one back.
    void ToggleVisible() override;
    // Opens the History window, or brings it forward (system menu, Ctrl+H).
    void OpenHistory();

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    // Read and written by start-up; copied in and out of the Options dialog.
    WatchSettings m_settings;

    // Read by the tests.
    const WatchMachine& Watch() const { return m_watch; }
    bool IsShown() const { return m_bVisible; }
    const CheckHistory& History() const { return m_history; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    // WM_SYSCOMMAND: the About item (16 to 31) opens the About box.
    void OnSysCommand(UINT commandId, LPARAM lParam);
    // WM_PAINT: the icon when minimised, else the button-face probe and the dialog's painting.
    void OnPaint();
    // WM_QUERYDRAGICON: the icon shown while the minimised window is dragged.
    HCURSOR OnQueryDragIcon();
    // EN_UPDATE of the host field: typing has no effect until Enter.
    void OnUpdateHost() {}
    // WM_CHAR to the dialog itself: the letter r is swallowed.
    void OnChar(UINT character, UINT repeatCount, UINT flags);
    // WM_KEYDOWN to the dialog itself: the default processing.
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    // Exit button: a quit request with exit code 0 ends the modal run.
    void OnExit();
    // Options button: edits every setting and the start at sign-in; OK applies the z-order
    // and the new period, and starts at sign-in with the host being watched, or no longer.
    void OnOptions();
    // WM_TIMER: the check and light timers.
    void OnTimer(UINT_PTR timerId);
    // The tray menu's commands; Options, About and Exit do what they do elsewhere.
    void OnTrayShowHide() { ToggleVisible(); }
    void OnTrayMute();
    void OnTrayAbout() { RunAboutBox(); }
    // Find where it stops (the tray menu, the History window): traces the path while watching.
    void OnFindStop();

private:
    // What the watch state machine does to the window.
    std::string TakeHostText() override;
    std::optional<ProbeFailure> StartProbe(const std::string& host) override;
    std::optional<ProbeFailure> SendEchoRequest() override;
    uint64_t ReadTickCount() override;
    void SetStatusText(const std::string& text) override;
    void ShowLight(int bitmapId) override;
    void RestartLightTimer() override;
    void StopLightTimer() override;
    void SetTrayIcon(int iconId) override;
    void SetTrayTooltip(const std::string& text) override;
    bool IsVisible() override { return m_bVisible; }
    void RunEventActions(EventKind kind, const std::string& eventText, bool muted) override;
    RecentChecks ReadRecentChecks() override;

    // WM_TRAY_NOTIFY: what the user did on the icon or its balloon.
    void OnTrayNotify(UINT event);
    // The tray menu at the pointer; its command comes back as WM_COMMAND.
    void ShowTrayMenu();
    // The tooltip again when what it says of the watch (the state, the host, the mute) has
    // changed since it was last set; durations and round trips follow when the pointer is on
    // the icon, at most once a second.
    void UpdateTooltipOnStateChange();
    void UpdateTooltip();
    // Writes the settings to the profile as the end of the program does.
    void SaveSettings();
    // WM_WEB_EVENT: what the finished web requests mean for the watch.
    void OnWebEvent();
    // Messages of the session and the shell: logoff, resume from sleep, a new taskbar.
    void OnSessionMessage(UINT message, WPARAM wParam);

    // Starts watching the host field's text, and the history anew.
    void StartWatch();
    // What the watch has done so far, to tell what one of its calls did.
    struct WatchMarks {
        bool watching;
        uint64_t makes, breaks, pauses, slows, slowEnds;
    };
    WatchMarks MarksNow() const;
    // Writes into the history what the watch did since `before`: a pause, the check that went
    // out (at a check tick), the events and the end of watching; then an open History window
    // shows it.
    void RecordWatch(const WatchMarks& before, bool checkTick);
    // A reply or a check made after a time the checks could not be made: the history's checks
    // of that time, lost, no longer count for the slow rule.
    void NoteChecksResumed();
    // Where the path stops: a trace starts, or its finding goes to the tooltip, the History
    // window and, after a break, the break's notification as a second line.
    void FindWhereItStops(bool atBreak);
    void ShowFinding(const PathFinding& found);

    void StartCheckTimer();
    // How long after its request an answer still counts, at the current check period.
    uint32_t SilenceLimitNowMs() const;
    void ApplyZOrder();
    void RunAboutBox();
    // Runs a modal dialog of the window, noting that one runs.
    template <class Dialog> INT_PTR RunDialog(Dialog& dialog);

    CStatusLight m_light;
    CAnimButton m_btnOptions;
    CAnimButton m_btnExit;
    CStatic m_status;
    CEdit m_editHost;
    HICON m_hIcon;
    CSmallIcons m_smallIcon; // the caption's and the taskbar's small icon, drawn for its size
    WatchMachine m_watch;
    CSystemTray m_trayIcon;
    bool m_bVisible = true;
    CheckHistory m_history;
    CHistoryDlg m_historyDlg{m_history};
    int m_nDialogsOpen = 0; // modal dialogs of the window now running
    CTrayMenu m_trayMenu;
    std::string m_strTipState;  // what the tooltip last said of the watch, as a key
    DWORD m_dwTipHoverTick = 0; // when the pointer on the icon last renewed the tooltip
    CPathFinder m_pathFinder;
    CTrayNotifier m_notifier{m_trayIcon, m_watch};
};
