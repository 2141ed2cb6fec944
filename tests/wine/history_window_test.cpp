// The History window as the user meets it, in one story: opened over two minutes of checks
// with a silence (its caption, figures, events, a picture with bars and red lost marks), the
// span switched, Copy, a resize, Escape, reopened where it was; then the watch window's Ctrl+H
// and system-menu item open its own History window, once.
#include "framework/win_app.h"
#include "history/history_dlg.h"
#include "res/resource.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"
#include "watch/watch_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Two minutes of checks at 1 s ending now: answered in 1 to 5 ms, but for 12 in a row
// (a break at the 12th) after which the host answers again.
void FillTwoMinutes(CheckHistory& history) {
    const uint32_t base = ::GetTickCount() - 120000;
    history.Start(base, "127.0.0.1");
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

// How many pixels of the window's client area have the colour.
int PixelsOf(HWND window, COLORREF color) {
    RECT client;
    ::GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    HDC dc = ::GetDC(window);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ::ReleaseDC(window, dc);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    const uint32_t wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    const int count =
        static_cast<int>(std::count_if(pixels, pixels + client.right * client.bottom,
                                       [&](uint32_t p) { return (p & 0xFFFFFF) == wanted; }));
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    return count;
}

std::string ClipboardText() {
    std::string text;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
                text = bytes;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
    }
    return text;
}

// Ctrl+H as the keyboard gives it to the window: the key state says Ctrl is down.
void PostCtrlH(HWND window) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageA(window, WM_KEYDOWN, 'H', 1);
}

void ReleaseCtrl() {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

int CountByCaption(const std::string& caption) {
    int count = 0;
    std::pair<const std::string*, int*> pair(&caption, &count);
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* pair = reinterpret_cast<std::pair<const std::string*, int*>*>(param);
            if (::IsWindowVisible(window) && WindowTextOf(window) == *pair->first)
                ++*pair->second;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&pair));
    return count;
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
    RECT pictureBefore{}, pictureAfter{}, placeClosed{}, placeReopened{};
    SIZE grown{};
    HWND picture = nullptr;
    DialogDriver driver(20000);
    driver.Then([&] { window.Open(&watch); })
        .WaitUntil("the History window",
                   [] { return DialogFindByCaption("History - 127.0.0.1") != nullptr; })
        .Pause(300)
        .Then([&] {
            figures = DialogItemText(window.m_hWnd, IDC_HISTORY_FIGURES);
            HWND list = ::GetDlgItem(window.m_hWnd, IDC_HISTORY_EVENTS);
            const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                char line[256] = {};
                ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
                events.push_back(line);
            }
            picture = ::GetDlgItem(window.m_hWnd, IDC_HISTORY_PICTURE);
            ::UpdateWindow(picture);
            blueTenMinutes = PixelsOf(picture, HISTORY_ANSWER_COLOR);
            redTenMinutes = PixelsOf(picture, HISTORY_LOST_COLOR);
            ::GetClientRect(picture, &pictureBefore);
            SaveWindowScreenshot(window.m_hWnd, "history");
            DialogPostClick(window.m_hWnd, IDC_HISTORY_COPY);
            ::SendMessageA(::GetDlgItem(window.m_hWnd, IDC_HISTORY_24_HOURS), BM_CLICK, 0, 0);
        })
        .Pause(300)
        .Then([&] {
            ::UpdateWindow(picture);
            blueDay = PixelsOf(picture, HISTORY_ANSWER_COLOR);
            clipboard = ClipboardText();
            RECT frame;
            ::GetWindowRect(window.m_hWnd, &frame);
            ::SetWindowPos(window.m_hWnd, nullptr, frame.left + 10, frame.top + 10,
                           frame.right - frame.left + 100, frame.bottom - frame.top + 60,
                           SWP_NOZORDER);
            ::GetClientRect(picture, &pictureAfter);
            ::GetWindowRect(window.m_hWnd, &placeClosed);
            // The screen may cap the growth (a large window at 200 %).
            grown = {placeClosed.right - placeClosed.left - (frame.right - frame.left),
                     placeClosed.bottom - placeClosed.top - (frame.bottom - frame.top)};
            DialogPostKey(window.m_hWnd, VK_ESCAPE);
        })
        .WaitUntil("Escape closed it", [&] { return !window.IsOpen(); })
        .Then([&] {
            window.Open(&watch);
            ::GetWindowRect(window.m_hWnd, &placeReopened);
            PostCtrlH(watch.m_hWnd);
        })
        .WaitUntil("Ctrl+H opened the watch's History window",
                   [] { return DialogFindByCaption("History - ") != nullptr; })
        .Then([&] {
            ReleaseCtrl();
            ::PostMessageA(watch.m_hWnd, WM_SYSCOMMAND, IDM_HISTORY, 0);
        })
        .Pause(300)
        .Then([&] {
            EXPECT_EQ(1, CountByCaption("History - "));
            DialogPostClick(watch.m_hWnd, IDC_EXIT);
        });
    DialogRunDriven(watch, driver);
    EXPECT_TRUE(DialogDrainQuit());
    ReleaseCtrl();

    EXPECT_NE(std::string::npos, figures.find("Checks sent: 120, lost: 12 (10.0 %)")) << figures;
    EXPECT_NE(std::string::npos, figures.find("minimum 1 ms, average 3.0 ms, maximum 5 ms"))
        << figures;
    EXPECT_NE(std::string::npos, figures.find("Events: 2 makes, 1 break")) << figures;
    ASSERT_EQ(3u, events.size());
    EXPECT_NE(std::string::npos, events[0].find("  127.0.0.1 is alive!"));
    EXPECT_NE(std::string::npos, events[1].find("  127.0.0.1 has died!"));
    // Newest first, by the clock (unless the two minutes ran past midnight).
    if (events[0].rfind("00:0", 0) != 0) {
        EXPECT_GT(events[0], events[2]);
    }
    // Bars and lost marks; a day's span leaves the two minutes a sliver at the right.
    EXPECT_GT(blueTenMinutes, 0);
    EXPECT_GT(redTenMinutes, 0);
    EXPECT_LT(blueDay * 20, blueTenMinutes);
    // Copy: a header and the 120 checks, the 12 lost with an empty round trip.
    EXPECT_EQ(0u, clipboard.rfind("time,round trip ms\r\n", 0));
    EXPECT_EQ(121, std::count(clipboard.begin(), clipboard.end(), '\n'));
    int lostRows = 0;
    for (std::size_t at = clipboard.find(",\r\n"); at != std::string::npos;
         at = clipboard.find(",\r\n", at + 1))
        ++lostRows;
    EXPECT_EQ(12, lostRows);
    // The picture grows with the window, which comes back where it was closed.
    EXPECT_GT(grown.cx, 0);
    EXPECT_GT(grown.cy, 0);
    EXPECT_EQ(pictureBefore.right + grown.cx, pictureAfter.right);
    EXPECT_EQ(pictureBefore.bottom + grown.cy, pictureAfter.bottom);
    EXPECT_EQ(placeClosed.left, placeReopened.left);
    EXPECT_EQ(placeClosed.right, placeReopened.right);
    EXPECT_EQ(placeClosed.bottom, placeReopened.bottom);
}

} // namespace
