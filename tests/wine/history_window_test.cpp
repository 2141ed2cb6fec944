// The History window as the user meets it, in one story: opened over two minutes of checks
// with a silence (its caption, figures, events, a picture with bars and red lost marks), the
// span switched, Copy, a resize, Escape, reopened where it was; then the watch window's own
// History window, opened with Ctrl+H and, once closed, with the tray menu's command.
#include "framework/win_app.h"
#include "history/history_dlg.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"
#include "tests/wine/widget_canvas.h"
#include "watch/watch_dlg.h"
#include "watch/watch_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Two minutes of checks at 1 s ending now, answered in 1 to 5 ms but for 12 in a row (a break
// at the 12th), after which the host answers again.
void FillTwoMinutes(CheckHistory& history) {
    const uint32_t base = ::GetTickCount() - 120000;
    history.Start(base, "127.0.0.1", SilenceLimitMs(CheckTimerPeriodMs(1)));
    for (uint32_t k = 0; k < 120; ++k) {
        const uint32_t sent = base + k * 1000;
        history.OnCheckSent(sent);
        if (k == 71)
            history.OnEvent(sent, HistoryEventKind::Break);
        if (k >= 60 && k < 72)
            continue;
        history.OnAnswer(sent + 1 + k % 5, 1 + k % 5);
        if (k == 0 || k == 72)
            history.OnEvent(sent + 1 + k % 5, HistoryEventKind::Make);
    }
}

// How many pixels of what the window shows have the colour.
int PixelsOf(HWND window, COLORREF color) {
    RECT client;
    ::GetClientRect(window, &client);
    WidgetCanvas canvas(client.right, client.bottom, 0);
    canvas.CopyFromWindow(window);
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            count += canvas.At(x, y) == WidgetPixelWord(color);
    return count;
}

std::string ClipboardText() {
    std::string text;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
    }
    return text;
}

// Ctrl+H as the keyboard gives it: the key state says Ctrl is down (or, with `down` false, up).
void SetCtrl(bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

TEST(HistoryWindow, ShowsTheChecksAndFollowsTheUser) {
    DialogAppStateGuard appState;
    AfxGetApp()->m_strCmdLine.clear();
    CWatchDlg watch;
    AfxGetApp()->m_pMainWnd = &watch;
    CheckHistory history;
    FillTwoMinutes(history);
    CHistoryDlg window(history);

    std::string figures, clipboard;
    std::vector<std::string> events;
    int blueTenMinutes = 0, redTenMinutes = 0, blueDay = 0;
    RECT pictureBefore{}, pictureAfter{}, frame{}, placeClosed{}, placeReopened{};
    HWND picture = nullptr;
    auto watchHistory = [] { return DialogFindByCaption("History - "); };
    DialogDriver driver(20000);
    driver.Then([&] { window.Open(&watch); })
        .Pause(300)
        .Then([&] {
            EXPECT_EQ(window.m_hWnd, DialogFindByCaption("History - 127.0.0.1"));
            figures = DialogItemText(window.m_hWnd, IDC_HISTORY_FIGURES);
            HWND list = ::GetDlgItem(window.m_hWnd, IDC_HISTORY_EVENTS);
            for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
                char line[256] = {};
                ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
                events.push_back(line);
            }
            picture = ::GetDlgItem(window.m_hWnd, IDC_HISTORY_PICTURE);
            blueTenMinutes = PixelsOf(picture, HISTORY_ANSWER_COLOR);
            redTenMinutes = PixelsOf(picture, HISTORY_LOST_COLOR);
            ::GetClientRect(picture, &pictureBefore);
            SaveWindowScreenshot(window.m_hWnd, "history");
            DialogPostClick(window.m_hWnd, IDC_HISTORY_COPY);
            ::SendMessageA(::GetDlgItem(window.m_hWnd, IDC_HISTORY_24_HOURS), BM_CLICK, 0, 0);
        })
        .Pause(300)
        .Then([&] {
            blueDay = PixelsOf(picture, HISTORY_ANSWER_COLOR);
            clipboard = ClipboardText();
            ::GetWindowRect(window.m_hWnd, &frame);
            ::SetWindowPos(window.m_hWnd, nullptr, frame.left + 10, frame.top + 10,
                           frame.right - frame.left + 100, frame.bottom - frame.top + 60,
                           SWP_NOZORDER);
            ::GetClientRect(picture, &pictureAfter);
            ::GetWindowRect(window.m_hWnd, &placeClosed);
            DialogPostKey(window.m_hWnd, VK_ESCAPE);
        })
        .WaitUntil("Escape closed it", [&] { return !window.IsOpen(); })
        .Then([&] {
            window.Open(&watch);
            ::GetWindowRect(window.m_hWnd, &placeReopened);
            SetCtrl(true);
            ::PostMessageA(watch.m_hWnd, WM_KEYDOWN, 'H', 1);
        })
        .WaitUntil("Ctrl+H opened the watch's History window",
                   [&] { return watchHistory() != nullptr; })
        .Then([&] {
            SetCtrl(false);
            DialogPostKey(watchHistory(), VK_ESCAPE);
        })
        .WaitUntil("Escape closed it", [&] { return watchHistory() == nullptr; })
        .Then([&] { DialogPostClick(watch.m_hWnd, ID_TRAY_HISTORY); })
        .WaitUntil("the tray menu's command opened it again",
                   [&] { return watchHistory() != nullptr; })
        .Then([&] { DialogPostClick(watch.m_hWnd, IDC_EXIT); });
    DialogRunDriven(watch, driver);
    EXPECT_TRUE(DialogDrainQuit());
    SetCtrl(false);

    EXPECT_NE(std::string::npos, figures.find("Checks sent: 120, lost: 12 (10.0 %)")) << figures;
    EXPECT_NE(std::string::npos, figures.find("minimum 1 ms, average 3.0 ms, maximum 5 ms"));
    EXPECT_NE(std::string::npos, figures.find("Events: 2 makes, 1 break"));
    ASSERT_EQ(3u, events.size());
    EXPECT_NE(std::string::npos, events[0].find("  127.0.0.1 is alive!"));
    EXPECT_NE(std::string::npos, events[1].find("  127.0.0.1 has died!"));
    if (events[0].rfind("00:0", 0) != 0) { // newest first, unless past midnight
        EXPECT_GT(events[0], events[2]);
    }
    // Bars and lost marks; a day's span leaves the two minutes a sliver at the right.
    EXPECT_GT(redTenMinutes, 0);
    EXPECT_LT(blueDay * 20, blueTenMinutes);
    // Copy: a header and the 120 checks, the 12 lost with an empty round trip.
    EXPECT_EQ(0u, clipboard.rfind("time,round trip ms\r\n", 0));
    EXPECT_EQ(121, std::count(clipboard.begin(), clipboard.end(), '\n'));
    int lostRows = 0;
    for (auto at = clipboard.find(",\r\n"); at != std::string::npos;
         at = clipboard.find(",\r\n", at + 1))
        ++lostRows;
    EXPECT_EQ(12, lostRows);
    // The picture grows with the window (as far as the screen lets it), which comes back where
    // it was closed.
    const int grownX = placeClosed.right - placeClosed.left - (frame.right - frame.left);
    const int grownY = placeClosed.bottom - placeClosed.top - (frame.bottom - frame.top);
    EXPECT_GT(grownX, 0);
    EXPECT_EQ(pictureBefore.right + grownX, pictureAfter.right);
    EXPECT_EQ(pictureBefore.bottom + grownY, pictureAfter.bottom);
    EXPECT_TRUE(::EqualRect(&placeClosed, &placeReopened));
}

} // namespace
