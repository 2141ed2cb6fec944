// CHistoryDlg: the History window, a modeless dialog over the watch's CheckHistory. It shows
// the picture of the chosen span (10 minutes, an hour or a day), the figures and the events
// since the start as text a screen reader reads, and copies or saves the span's checks as
// CSV. It draws only while it is open and shown, at most once per change of the history, and
// keeps nothing but its size and place from one opening to the next.
#pragma once

#include "framework/dialog.h"
#include "history/history_picture.h"
#include "res/resource.h"

#include <string>
#include <vector>

class CHistoryDlg : public CDialog {
public:
    enum { IDD = IDD_HISTORY };

    explicit CHistoryDlg(const CheckHistory& history);
    ~CHistoryDlg() override;

    // Opens the window, owned by `owner`, or brings it forward when it is open.
    void Open(CWnd* owner);
    bool IsOpen() const { return m_hWnd != nullptr; }
    // Its "Save as..." file dialog is open: no other dialog may run inside that one's loop.
    bool IsAskingForFile() const { return m_bAskingForFile; }
    // The history may have changed: an open, shown window shows what changed.
    void Refresh();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

protected:
    BOOL OnInitDialog() override;
    // Escape, Close and the caption's close button: the window goes.
    void OnCancel() override;
    // Enter in the window does nothing (there is no default button).
    void OnOK() override {}

private:
    void OnTenMinutes() { ShowSpan(600000); }
    void OnOneHour() { ShowSpan(3600000); }
    void OnDay() { ShowSpan(86400000); }
    // Copy: the span's checks as CSV on the clipboard.
    void OnCopy();
    // Save as...: the same into a file chosen in the file dialog.
    void OnSave();
    // Find where it stops: the owner (the watch window) traces the path, as its tray item.
    void OnFindStop();

    void ShowSpan(HistoryMs spanMs);
    void ShowTexts();
    std::string SpanCsv() const;
    // Moves and sizes the controls for a client area of this size.
    void Layout(int width, int height);

    struct Anchored {
        int id;
        RECT rect;     // in the template's client area
        unsigned ways; // which edges follow the window's right and bottom edges
    };

    const CheckHistory& m_history;
    CHistoryPicture m_picture;
    HistoryMs m_spanMs = 600000;
    uint64_t m_nShownRevision = UINT64_MAX;
    std::vector<std::string> m_eventLines;
    std::vector<Anchored> m_controls;
    SIZE m_templateClient{};
    SIZE m_minimumSize{};
    bool m_bHasPlacement = false;
    bool m_bAskingForFile = false;
    RECT m_placement{}; // the window's place and size when it last closed
};
