// CHistoryDlg: the History window; see history_dlg.h.
#include "history/history_dlg.h"

#include "framework/file_dialog.h"
#include "framework/local_time.h"
#include "history/history_text.h"

#include <algorithm>
#include <cstring>

namespace {

// How a control follows the window's size: its left, top, right and bottom edges.
constexpr unsigned LEFT = 1, TOP = 2, RIGHT = 4, BOTTOM = 8;

constexpr struct {
    int id;
    unsigned ways;
} ANCHORS[] = {
    {IDC_HISTORY_PICTURE, RIGHT | BOTTOM},
    {IDC_HISTORY_FIGURES, TOP | BOTTOM},
    {IDC_HISTORY_EVENTS_LABEL, TOP | BOTTOM},
    {IDC_HISTORY_EVENTS, TOP | BOTTOM | RIGHT},
    {IDC_HISTORY_COPY, LEFT | TOP | RIGHT | BOTTOM},
    {IDC_HISTORY_SAVE, LEFT | TOP | RIGHT | BOTTOM},
    {IDC_HISTORY_FIND_STOP, TOP | BOTTOM},
    {IDCANCEL, LEFT | TOP | RIGHT | BOTTOM},
};

RECT ChildRect(HWND dialog, int id) {
    RECT rect{};
    HWND child = ::GetDlgItem(dialog, id);
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool PutOnClipboard(HWND owner, const std::string& text) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr)
        return false;
    if (void* bytes = ::GlobalLock(memory)) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory);
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!placed)
        ::GlobalFree(memory); // the clipboard took nothing
    ::CloseClipboard();
    return placed;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole =
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return ::CloseHandle(file) && whole;
}

} // namespace

CHistoryDlg::CHistoryDlg(const CheckHistory& history)
    : CDialog(IDD), m_history(history), m_picture(history) {}

CHistoryDlg::~CHistoryDlg() {
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

const MessageMap* CHistoryDlg::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CHistoryDlg::OnTenMinutes>(IDC_HISTORY_10_MINUTES),
        msg::Command<&CHistoryDlg::OnOneHour>(IDC_HISTORY_1_HOUR),
        msg::Command<&CHistoryDlg::OnDay>(IDC_HISTORY_24_HOURS),
        msg::Command<&CHistoryDlg::OnCopy>(IDC_HISTORY_COPY),
        msg::Command<&CHistoryDlg::OnSave>(IDC_HISTORY_SAVE),
        msg::Command<&CHistoryDlg::OnFindStop>(IDC_HISTORY_FIND_STOP),
    };
    static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
    return &map;
}

void CHistoryDlg::Open(CWnd* owner) {
    if (!IsOpen()) {
        if (!Create(owner))
            return;
        if (m_bHasPlacement)
            SetWindowPos(nullptr, m_placement.left, m_placement.top,
                         m_placement.right - m_placement.left, m_placement.bottom - m_placement.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (IsIconic())
        ShowWindow(SW_RESTORE);
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    Refresh();
}

BOOL CHistoryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_picture.SubclassDlgItem(IDC_HISTORY_PICTURE, this);
    RECT client;
    GetClientRect(&client);
    m_templateClient = {client.right, client.bottom};
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    m_minimumSize = {window.right - window.left, window.bottom - window.top};
    m_controls.clear();
    for (const auto& anchor : ANCHORS)
        m_controls.push_back({anchor.id, ChildRect(m_hWnd, anchor.id), anchor.ways});
    SetWindowText("History - " + m_history.Host());
    ::CheckRadioButton(m_hWnd, IDC_HISTORY_10_MINUTES, IDC_HISTORY_24_HOURS,
                       IDC_HISTORY_10_MINUTES);
    m_nShownRevision = UINT64_MAX;
    m_eventLines.clear();
    ShowSpan(600000);
    return TRUE;
}

void CHistoryDlg::OnCancel() {
    ::GetWindowRect(m_hWnd, &m_placement);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    // A minimised or maximised window remembers its normal place.
    if (::GetWindowPlacement(m_hWnd, &placement))
        m_placement = placement.rcNormalPosition;
    m_bHasPlacement = true;
    m_controls.clear();
    DestroyWindow();
}

LRESULT CHistoryDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && !m_controls.empty()) {
        Layout(LOWORD(lParam), HIWORD(lParam));
        if (wParam != SIZE_MINIMIZED)
            Refresh(); // a restored window shows what changed while it was down
    } else if (message == WM_GETMINMAXINFO && m_minimumSize.cx > 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {m_minimumSize.cx, m_minimumSize.cy};
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CHistoryDlg::Layout(int width, int height) {
    const int dx = std::max(0, width - static_cast<int>(m_templateClient.cx));
    const int dy = std::max(0, height - static_cast<int>(m_templateClient.cy));
    HDWP positions = ::BeginDeferWindowPos(static_cast<int>(m_controls.size()));
    for (const Anchored& control : m_controls) {
        RECT r = control.rect;
        r.left += (control.ways & LEFT) ? dx : 0;
        r.right += (control.ways & RIGHT) ? dx : 0;
        r.top += (control.ways & TOP) ? dy : 0;
        r.bottom += (control.ways & BOTTOM) ? dy : 0;
        if (positions != nullptr)
            positions =
                ::DeferWindowPos(positions, GetDlgItem(control.id), nullptr, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions != nullptr)
        ::EndDeferWindowPos(positions);
    ::InvalidateRect(m_picture.m_hWnd, nullptr, FALSE);
}

void CHistoryDlg::ShowSpan(HistoryMs spanMs) {
    m_spanMs = spanMs;
    m_picture.SetSpan(spanMs);
    ::InvalidateRect(m_picture.m_hWnd, nullptr, FALSE);
}

void CHistoryDlg::Refresh() {
    if (!IsOpen() || !IsWindowVisible() || IsIconic())
        return; // nothing is drawn for a window nobody sees
    if (m_history.Revision() == m_nShownRevision)
        return;
    m_nShownRevision = m_history.Revision();
    ShowTexts();
    ::InvalidateRect(m_picture.m_hWnd, nullptr, FALSE);
}

void CHistoryDlg::ShowTexts() {
    const uint32_t nowTick = ::GetTickCount();
    const int64_t utcNow = UtcNowMs();
    const HistoryMs nowMs = m_history.At(nowTick);
    const UserClock clock;
    SetWindowText("History - " + m_history.Host());
    ::EnableWindow(GetDlgItem(IDC_HISTORY_FIND_STOP), m_history.IsWatching());
    // The start may be days ago: its date too, in the user's format.
    const std::optional<SYSTEMTIME> start = LocalTimeOf(utcNow - static_cast<int64_t>(nowMs));
    const std::string since =
        (start ? UserDateText(*start) + " " : std::string()) + clock.TimeOfDayAt(0, nowMs, utcNow);
    const std::string figures = m_history.IsStarted()
                                    ? FiguresText(m_history.Figures(nowTick), since)
                                    : "Nothing watched yet.";
    if (WindowTextOf(GetDlgItem(IDC_HISTORY_FIGURES)) != figures)
        ::SetWindowTextA(GetDlgItem(IDC_HISTORY_FIGURES), figures.c_str());
    std::vector<std::string> lines = EventLines(m_history, nowMs, utcNow, clock);
    if (lines == m_eventLines)
        return; // the list keeps its scrolling and selection
    m_eventLines.swap(lines);
    HWND list = GetDlgItem(IDC_HISTORY_EVENTS);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : m_eventLines)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

std::string CHistoryDlg::SpanCsv() const {
    const uint32_t nowTick = ::GetTickCount();
    return ChecksCsv(m_history, m_history.At(nowTick), m_spanMs, UtcNowMs(), UserClock());
}

void CHistoryDlg::OnCopy() {
    if (!PutOnClipboard(m_hWnd, SpanCsv()))
        ::MessageBoxA(m_hWnd, "The checks could not be put on the clipboard.", "History",
                      MB_OK | MB_ICONWARNING);
}

void CHistoryDlg::OnFindStop() {
    ::PostMessageA(::GetWindow(m_hWnd, GW_OWNER), WM_COMMAND, ID_TRAY_FIND_STOP, 0);
}

void CHistoryDlg::OnSave() {
    CFileDialog dialog(FALSE, "csv", "history.csv",
                       OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0", this);
    m_bAskingForFile = true;
    const INT_PTR chosen = dialog.DoModal();
    m_bAskingForFile = false;
    if (chosen != IDOK)
        return;
    const std::string path = dialog.GetPathName();
    if (!WriteWholeFile(path, SpanCsv()))
        ::MessageBoxA(m_hWnd, ("Cannot write " + path + ".").c_str(), "History",
                      MB_OK | MB_ICONWARNING);
}
