// CWatchDlg: the watch window; see watch_dlg.h. The watch decisions are WatchMachine's; this
// file wires them to the controls, the timers, the probe, the tray icon and the actions. What
// is more than wiring has a file of its own: the light (status_light), the tray menu
// (tray_menu_win), the notifications (tray_notifier), the probe's news (probe_news) and the
// path finder.
#include "watch/watch_dlg.h"

#include "actions/event_actions_win.h"
#include "dialogs/about_dlg.h"
#include "dialogs/options_dlg.h"
#include "framework/data_exchange.h"
#include "framework/sign_in_start.h"
#include "framework/win_app.h"
#include "probe/path_trace_win.h"
#include "probe/platform_probe.h"
#include "watch/probe_news.h"
#include "widgets/image_store.h"

CWatchDlg::CWatchDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_watch(m_settings, *this) {}

CWatchDlg::~CWatchDlg() {
    CloseProbe();
}

const MessageMap* CWatchDlg::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::SysCommand<&CWatchDlg::OnSysCommand>(),
        msg::Plain<WM_PAINT, &CWatchDlg::OnPaint>(),
        msg::QueryDragIcon<&CWatchDlg::OnQueryDragIcon>(),
        msg::Command<&CWatchDlg::OnUpdateHost>(IDC_HOST, EN_UPDATE),
        msg::Key<WM_CHAR, &CWatchDlg::OnChar>(),
        msg::Key<WM_KEYDOWN, &CWatchDlg::OnKeyDown>(),
        msg::Command<&CWatchDlg::OnExit>(IDC_EXIT),
        msg::Command<&CWatchDlg::OnOptions>(IDC_OPTIONS),
        msg::Timer<&CWatchDlg::OnTimer>(),
        msg::Command<&CWatchDlg::OnTrayShowHide>(ID_TRAY_SHOW_HIDE),
        msg::Command<&CWatchDlg::OnOptions>(ID_TRAY_OPTIONS),
        msg::Command<&CWatchDlg::OpenHistory>(ID_TRAY_HISTORY),
        msg::Command<&CWatchDlg::OnTrayMute>(ID_TRAY_MUTE),
        msg::Command<&CWatchDlg::OnTrayAbout>(ID_TRAY_ABOUT),
        msg::Command<&CWatchDlg::OnFindStop>(ID_TRAY_FIND_STOP),
        msg::Command<&CWatchDlg::OnExit>(ID_TRAY_EXIT),
    };
    static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
    return &map;
}

void CWatchDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_LIGHT, m_light);
    DDX_Control(dx, IDC_OPTIONS, m_btnOptions);
    DDX_Control(dx, IDC_EXIT, m_btnExit);
    DDX_Control(dx, IDC_STATUS, m_status);
    DDX_Control(dx, IDC_HOST, m_editHost);
}

BOOL CWatchDlg::PreTranslateMessage(MSG* msg) {
    // Enter starts watching wherever the focus is in the window, and never presses a button.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        StartWatch();
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == 'H' && ::GetKeyState(VK_CONTROL) < 0 &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        OpenHistory();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CWatchDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAY_NOTIFY) {
        OnTrayNotify(LOWORD(lParam));
    } else if (message == WM_SHOW_NOTIFICATION) {
        if (lParam != 0)
            m_notifier.ShowNotification(*reinterpret_cast<const Notification*>(lParam));
        return 0;
    } else if (message == WM_ECHO_REPLY) {
        const WatchMarks before = MarksNow();
        if (m_watch.IsWatching()) {
            NoteChecksResumed();
            m_history.OnAnswer(::GetTickCount(), static_cast<uint32_t>(lParam));
        }
        m_watch.OnEchoReply(static_cast<uint32_t>(lParam));
        RecordWatch(before, false);
        UpdateTooltipOnStateChange();
    } else if (message == WM_SOCKET_EVENT) {
        ReadEchoReply(static_cast<SOCKET>(wParam));
    } else if (message == WM_PORT_EVENT) {
        ReadPortEvent(wParam, lParam);
    } else if (message == WM_PATH_TRACED) {
        if (const std::optional<PathFinding> found = m_pathFinder.OnTraced(m_hWnd, lParam))
            ShowFinding(*found);
    } else if (message == WM_WEB_EVENT) {
        // Answers come as WM_ECHO_REPLY; the other news neither ends the watch nor marks a pause.
        OnWebEvent();
        UpdateTooltipOnStateChange();
    } else {
        // Each of these may end the watch or mark a pause.
        const WatchMarks before = MarksNow();
        if (message == WM_HOST_RESOLVED) {
            TellWatch(m_watch, ProbeOnHostResolved(wParam));
            UpdateTooltipOnStateChange();
        } else if (message == WM_PROBE_FAILED) {
            m_watch.OnProbeFailed(static_cast<ProbeFailure>(wParam));
            UpdateTooltipOnStateChange();
        } else {
            OnSessionMessage(message, wParam);
        }
        if (MarksNow().watching != before.watching || MarksNow().pauses != before.pauses)
            RecordWatch(before, false);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CWatchDlg::OnInitDialog() {
    m_btnExit.AttachAnim(IDC_EXIT, this, IDB_BUTTON_CANCEL, 10, 4, 0);
    m_btnOptions.AttachAnim(IDC_OPTIONS, this, IDB_BUTTON_OK, 10, 4, 0);
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        char text[256] = {};
        if (::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, text, sizeof(text)) > 0) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            char history[256] = {};
            if (::LoadStringA(AfxGetInstanceHandle(), IDS_HISTORY, history, sizeof(history)) > 0)
                ::AppendMenuA(systemMenu, MF_STRING, IDM_HISTORY, history);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_smallIcon.Get(IDR_MAINFRAME), FALSE);

    // The light timer starts only when the light has something to show (see WatchMachine).
    StartCheckTimer();

    AllowTaskbarCreatedMessage(m_hWnd);
    m_trayIcon.Create(this, WM_TRAY_NOTIFY, "Hide", nullptr, TRAY_ICON_ID);
    m_trayIcon.SetIcon(static_cast<UINT>(IDI_TRAY_WAITING));

    m_bVisible = true;
    ApplyZOrder();

    m_light.LoadPictures();
    ShowLight(IDB_LIGHT_GREY);

    if (CWinApp* app = AfxGetApp(); app != nullptr && !app->m_strCmdLine.empty()) {
        m_editHost.SetWindowText(app->m_strCmdLine);
        UpdateWindow();
        StartWatch();
    }
    return TRUE;
}

void CWatchDlg::ToggleVisible() {
    m_bVisible = !m_bVisible;
    if (m_bVisible) {
        SetWindowPos(m_settings.AlwaysOnTop ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
        // The light was left alone while hidden: the next tick shows the state's colour.
        SetTimer(TIMER_LIGHT, LIGHT_PERIOD_MS);
    } else {
        ShowWindow(SW_HIDE);
    }
    UpdateTooltip();
}

void CWatchDlg::OnTrayNotify(UINT event) {
    switch (event) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ToggleVisible();
        break;
    case WM_CONTEXTMENU: // a right click or the keyboard's menu key, from a shell told our version
        ShowTrayMenu();
        break;
    case WM_RBUTTONUP:
        // A shell that took the version follows the release with WM_CONTEXTMENU.
        if (!m_trayIcon.State().ReportsContextMenu())
            ShowTrayMenu();
        break;
    case NIN_BALLOONUSERCLICK:
        if (!m_bVisible)
            ToggleVisible();
        break;
    case WM_MOUSEMOVE:
        // The pointer rests on the icon, where the tooltip shows: durations brought up to date.
        if (::GetTickCount() - m_dwTipHoverTick >= 1000) {
            m_dwTipHoverTick = ::GetTickCount();
            UpdateTooltip();
        }
        break;
    default:
        break;
    }
}

void CWatchDlg::ShowTrayMenu() {
    m_trayMenu.Show(m_hWnd, m_watch, m_bVisible,
                    m_nDialogsOpen > 0 || m_historyDlg.IsAskingForFile());
}

void CWatchDlg::OnTrayMute() {
    ToggleMute(m_watch);
    UpdateTooltipOnStateChange();
}

void CWatchDlg::UpdateTooltipOnStateChange() {
    const WatchStatus status = m_watch.Status();
    std::string key = std::to_string(static_cast<int>(status.kind)) + (m_bVisible ? "+" : "-") +
                      m_watch.MuteLine() + "\n" + m_watch.Host();
    if (key == m_strTipState)
        return;
    m_strTipState = std::move(key);
    UpdateTooltip();
}

void CWatchDlg::UpdateTooltip() {
    SetTrayTooltip(m_watch.TooltipText());
}

void CWatchDlg::StartWatch() {
    m_pathFinder.Abandon();
    m_watch.StartWatch();
    UpdateTooltipOnStateChange();
    const uint32_t now = ::GetTickCount();
    if (m_watch.IsWatching()) {
        m_history.Start(now, m_watch.Host(), SilenceLimitNowMs());
        m_history.OnCheckSent(now); // the start sends the first request
    } else {
        m_history.Stop(now);
    }
    m_historyDlg.Refresh();
}

CWatchDlg::WatchMarks CWatchDlg::MarksNow() const {
    return {m_watch.IsWatching(), m_watch.Makes(), m_watch.Breaks(),
            m_watch.Pauses(),     m_watch.Slows(), m_watch.SlowEnds()};
}

void CWatchDlg::RecordWatch(const WatchMarks& before, bool checkTick) {
    const uint32_t now = ::GetTickCount();
    if (m_watch.Pauses() != before.pauses)
        m_history.OnNotWatched(now, CheckTimerPeriodMs(m_settings.CheckFrequency));
    if (checkTick && before.watching)
        m_history.OnCheckSent(now);
    if (m_watch.Breaks() != before.breaks) {
        m_history.OnEvent(now, HistoryEventKind::Break);
        FindWhereItStops(true);
    }
    if (m_watch.Makes() != before.makes) {
        m_history.OnEvent(now, HistoryEventKind::Make);
        m_pathFinder.Abandon(); // what it would find no longer holds
    }
    if (m_watch.Slows() != before.slows)
        m_history.OnEvent(now, HistoryEventKind::Slow);
    if (m_watch.SlowEnds() != before.slowEnds)
        m_history.OnEvent(now, HistoryEventKind::SlowEnd);
    if (!m_watch.IsWatching())
        m_history.Stop(now);
    m_historyDlg.Refresh();
}

void CWatchDlg::NoteChecksResumed() {
    // Before the watch hears of it, so that the slow rule it runs already leaves them out.
    if (m_watch.IsUnchecked())
        m_history.OnChecksResumed(::GetTickCount());
}

void CWatchDlg::OnFindStop() {
    if (m_watch.IsWatching())
        FindWhereItStops(false);
}

void CWatchDlg::FindWhereItStops(bool atBreak) {
    if (const std::optional<PathFinding> found =
            m_pathFinder.Find(m_hWnd, atBreak, m_watch.IsAlive()))
        ShowFinding(*found);
}

void CWatchDlg::ShowFinding(const PathFinding& found) {
    const std::string& text = found.finding.text;
    m_watch.SetFinding(text);
    UpdateTooltip();
    m_history.OnFinding(::GetTickCount(), text, found.finding.hops);
    m_historyDlg.Refresh();
    m_notifier.ShowFinding(found);
}

void CWatchDlg::OpenHistory() {
    m_historyDlg.Open(this);
}

void CWatchDlg::OnWebEvent() {
    while (const std::optional<WebNews> news = TakeProbeWebNews()) {
        if (*news == WebNews::CheckMade)
            NoteChecksResumed();
        TellWatch(m_watch, *news);
    }
}

void CWatchDlg::OnSessionMessage(UINT message, WPARAM wParam) {
    const UINT taskbarCreated = TaskbarCreatedMessage();
    if (message == WM_ENDSESSION && wParam != FALSE) {
        // The session ends: the process is ended next, and the modal run never returns.
        SaveSettings();
    } else if (message == WM_POWERBROADCAST && wParam == PBT_APMRESUMEAUTOMATIC) {
        m_watch.OnResume();
        UpdateTooltipOnStateChange();
    } else if (message == taskbarCreated && taskbarCreated != 0) {
        m_trayIcon.AddAgain();
    }
}

void CWatchDlg::SaveSettings() {
    if (CWinApp* app = AfxGetApp())
        SaveWatchSettings(*app, m_settings);
}

void CWatchDlg::ApplyZOrder() {
    SetWindowPos(m_settings.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
}

void CWatchDlg::StartCheckTimer() {
    SetTimer(TIMER_CHECK, CheckTimerPeriodMs(m_settings.CheckFrequency));
}

void CWatchDlg::OnSysCommand(UINT commandId, LPARAM) {
    if ((commandId & 0xFFF0) == IDM_ABOUTBOX)
        RunAboutBox();
    else if ((commandId & 0xFFF0) == IDM_HISTORY)
        OpenHistory();
    else
        Default();
}

template <class Dialog> INT_PTR CWatchDlg::RunDialog(Dialog& dialog) {
    // The watch window stays enabled under History's file dialog: its Options button does
    // nothing then.
    if (m_historyDlg.IsAskingForFile())
        return IDCANCEL;
    ++m_nDialogsOpen;
    const INT_PTR result = dialog.DoModal();
    --m_nDialogsOpen;
    return result;
}

void CWatchDlg::RunAboutBox() {
    CAboutDlg about;
    RunDialog(about);
}

void CWatchDlg::OnPaint() {
    if (IsIconic()) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
        ::EndPaint(m_hWnd, &paint);
        return;
    }
    // The button-face probe reads and restores one pixel of the window; the default
    // processing then paints the dialog (validating what this paint began).
    HDC dc = ::GetDC(m_hWnd);
    theImageStore.ProbeButtonFace(dc);
    ::ReleaseDC(m_hWnd, dc);
    Default();
}

HCURSOR CWatchDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

void CWatchDlg::OnChar(UINT character, UINT, UINT) {
    if (character == 'r')
        return;
    Default();
}

void CWatchDlg::OnExit() {
    ::PostQuitMessage(0);
}

void CWatchDlg::OnOptions() {
    CSignInStart signInStart = CSignInStart::ForThisProgram();
    COptionsDlg options;
    options.LoadFrom(m_settings);
    options.m_bStartAtSignIn = signInStart.IsOn() ? 1 : 0;
    if (RunDialog(options) != IDOK)
        return;
    options.StoreTo(m_settings);
    // A confirmed change survives a crash, a kill or a power cut.
    SaveSettings();
    const std::string failure =
        signInStart.Set(options.m_bStartAtSignIn != 0, m_watch.IsWatching() ? m_watch.Host() : "");
    // Refused by a policy or by security software: said, since nothing else would show it.
    if (!failure.empty())
        ::MessageBoxA(m_hWnd, failure.c_str(), "Start when I sign in", MB_OK | MB_ICONWARNING);
    ApplyZOrder();
    KillTimer(TIMER_CHECK);
    StartCheckTimer();
    m_history.SetAnswerLimit(SilenceLimitNowMs());
    // The new slow thresholds may end (or begin) the slow state at once.
    const WatchMarks before = MarksNow();
    m_watch.OnCheckTimerRestarted();
    RecordWatch(before, false);
    UpdateTooltipOnStateChange();
}

void CWatchDlg::OnTimer(UINT_PTR timerId) {
    // Replies that finished while another loop ran count before the check's silence test.
    if (timerId == TIMER_CHECK)
        CollectProbeEchoServiceResults();
    const WatchMarks before = MarksNow();
    m_watch.OnTimer(timerId);
    if (timerId == TIMER_CHECK) {
        RecordWatch(before, true);
        UpdateTooltipOnStateChange();
    }
    Default();
}

std::string CWatchDlg::TakeHostText() {
    std::string text = m_editHost.GetWindowText();
    m_editHost.SetSel(0, -1);
    m_editHost.ScrollCaret();
    return text;
}

std::optional<ProbeFailure> CWatchDlg::StartProbe(const std::string& host) {
    std::optional<ProbeFailure> failure = ::StartProbe(host, m_hWnd);
    // A start at sign-in watches the host watched last.
    if (!failure)
        CSignInStart::ForThisProgram().Follow(host);
    return failure;
}

std::optional<ProbeFailure> CWatchDlg::SendEchoRequest() {
    // A request may be answered until the host would count as silent.
    return ProbeTick(SilenceLimitNowMs());
}

uint32_t CWatchDlg::SilenceLimitNowMs() const {
    return SilenceLimitMs(CheckTimerPeriodMs(m_settings.CheckFrequency));
}

uint64_t CWatchDlg::ReadTickCount() {
    return ::GetTickCount64();
}

void CWatchDlg::SetStatusText(const std::string& text) {
    m_status.SetWindowText(text);
}

void CWatchDlg::ShowLight(int bitmapId) {
    // Hidden, nobody sees the light: every reply's flash would cost a repaint and a timer for
    // nothing. A light tick after a start or an event often shows the picture already on show.
    if (m_bVisible)
        m_light.Show(bitmapId);
}

void CWatchDlg::RestartLightTimer() {
    if (!m_bVisible)
        return; // coming back starts it
    KillTimer(TIMER_LIGHT);
    SetTimer(TIMER_LIGHT, LIGHT_PERIOD_MS);
}

void CWatchDlg::StopLightTimer() {
    KillTimer(TIMER_LIGHT);
}

void CWatchDlg::SetTrayIcon(int iconId) {
    m_trayIcon.SetIcon(static_cast<UINT>(iconId));
}

void CWatchDlg::SetTrayTooltip(const std::string& text) {
    // A tooltip that says the same again costs the shell nothing.
    const char* shown = m_trayIcon.State().Record().szTip;
    if (text.compare(0, sizeof m_trayIcon.State().Record().szTip - 1, shown) == 0)
        return;
    m_trayIcon.SetTooltip(text.c_str());
}

RecentChecks CWatchDlg::ReadRecentChecks() {
    return m_history.Recent(::GetTickCount());
}

void CWatchDlg::RunEventActions(EventKind kind, const std::string& eventText, bool muted) {
    ::RunEventActions(kind, eventText, m_settings, m_notifier, muted);
}
