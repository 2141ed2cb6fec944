// The watch window's keys and system menu, run modally as the program runs it: the About item
// and the system commands that open the About box, the host field taking every letter, and
// Enter in the host field starting a hidden watch of 127.0.0.1.
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/widget_tray_probe.h"
#include "watch/watch_dlg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WatchWindowCommands : public ::testing::Test {
protected:
    void SetUp() override {
        AfxGetApp()->m_strCmdLine.clear();
        AfxGetApp()->m_pMainWnd = &m_dialog;
    }

    // Runs the window (the test's own unless another is given) through the driver's steps and
    // ends it with its Exit button.
    void Run(DialogDriver& driver, CWatchDlg* other = nullptr) {
        CWatchDlg& dialog = other != nullptr ? *other : m_dialog;
        driver.Then([&dialog] { DialogPostClick(dialog.m_hWnd, IDC_EXIT); });
        DialogRunDriven(dialog, driver);
        EXPECT_TRUE(DialogDrainQuit());
    }

    // The About box the window owns, if it is up.
    static HWND AboutBox(const CWatchDlg& dialog) {
        HWND about = DialogFindByCaption("About Tarnwell");
        return about != nullptr && ::GetWindow(about, GW_OWNER) == dialog.m_hWnd ? about : nullptr;
    }

    DialogAppStateGuard m_appState;
    CWatchDlg m_dialog;
};

// The caption has no system-menu box, so the platform gives the window no system menu. Given
// one before its initialisation, as a platform with system menus everywhere would, the window
// adds the About item to it.
class WatchDlgWithSystemMenu : public CWatchDlg {
protected:
    BOOL OnInitDialog() override {
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_SYSMENU);
        return CWatchDlg::OnInitDialog();
    }
};

TEST_F(WatchWindowCommands, AboutItemIsAddedWhereASystemMenuExists) {
    WatchDlgWithSystemMenu dialog;
    AfxGetApp()->m_pMainWnd = &dialog;
    std::string itemText = "(no system menu)";
    DialogDriver driver;
    driver.Then([&] {
        if (HMENU menu = ::GetSystemMenu(dialog.m_hWnd, FALSE)) {
            char text[128] = {};
            ::GetMenuStringA(menu, IDM_ABOUTBOX, text, sizeof(text), MF_BYCOMMAND);
            itemText = text;
        }
    });
    Run(driver, &dialog);
    EXPECT_EQ(itemText, "&About Tarnwell...");
}

TEST_F(WatchWindowCommands, SystemCommandsSixteenToThirtyOneOpenTheAboutBox) {
    for (const UINT command : {16u, 17u, 31u}) {
        SCOPED_TRACE(command);
        CWatchDlg dialog;
        AfxGetApp()->m_pMainWnd = &dialog;
        bool statusWhileOpen = false;
        DialogDriver driver;
        driver.Then([&] { ::PostMessageA(dialog.m_hWnd, WM_SYSCOMMAND, command, 0); })
            .WaitUntil("the About box", [&] { return AboutBox(dialog) != nullptr; })
            .Then([&] {
                // The watch window goes on behind the box.
                statusWhileOpen = DialogItemText(dialog.m_hWnd, IDC_STATUS) == "Ready";
                DialogPostClick(AboutBox(dialog), IDOK);
            })
            .WaitUntil("the About box closed",
                       [] { return DialogFindByCaption("About Tarnwell") == nullptr; });
        Run(driver, &dialog);
        EXPECT_TRUE(driver.Done()) << driver.Failure();
        EXPECT_TRUE(statusWhileOpen);
    }
}

TEST_F(WatchWindowCommands, OtherSystemCommandsOpenNoAboutBox) {
    bool aboutSeen = false;
    DialogDriver driver;
    driver.Then([&] { ::PostMessageA(m_dialog.m_hWnd, WM_SYSCOMMAND, 32, 0); })
        .Pause(400)
        .Then([&] { aboutSeen = AboutBox(m_dialog) != nullptr; });
    Run(driver);
    EXPECT_FALSE(aboutSeen);
}

TEST_F(WatchWindowCommands, HostFieldTakesTheLetterRAndTypingStartsNothing) {
    std::string host;
    std::string status;
    DialogDriver driver;
    driver
        .Then([&] {
            HWND edit = ::GetDlgItem(m_dialog.m_hWnd, IDC_HOST);
            for (const char c : std::string("rr.example"))
                ::PostMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
            // Typed while the dialog itself has the focus, r goes nowhere.
            ::SetFocus(m_dialog.m_hWnd);
            ::PostMessageA(m_dialog.m_hWnd, WM_CHAR, 'r', 1);
        })
        .Pause(300)
        .Then([&] {
            host = DialogItemText(m_dialog.m_hWnd, IDC_HOST);
            status = DialogItemText(m_dialog.m_hWnd, IDC_STATUS);
        });
    Run(driver);
    EXPECT_EQ(host, "rr.example");
    EXPECT_EQ(status, "Ready");
    EXPECT_FALSE(m_dialog.Watch().IsWatching());
}

TEST_F(WatchWindowCommands, EnterInTheHostFieldWatchesItsTextAndSelectsIt) {
    DWORD selectionStart = 1;
    DWORD selectionEnd = 0;
    std::string status;
    std::string tooltip;
    UINT trayIcon = 0;
    bool hiddenByTheStart = false;
    m_dialog.m_settings.Hide = 1;
    WidgetMessageRecorder shows(WM_SHOWWINDOW);
    DialogDriver driver;
    driver
        .Then([&] {
            DialogSetItemText(m_dialog.m_hWnd, IDC_HOST, "127.0.0.1");
            DialogPostKey(::GetDlgItem(m_dialog.m_hWnd, IDC_HOST), VK_RETURN);
        })
        .WaitUntil("the make event",
                   [&] {
                       status = DialogItemText(m_dialog.m_hWnd, IDC_STATUS);
                       return status == "127.0.0.1 is alive!";
                   })
        .Then([&] {
            ::SendMessageA(::GetDlgItem(m_dialog.m_hWnd, IDC_HOST), EM_GETSEL,
                           reinterpret_cast<WPARAM>(&selectionStart),
                           reinterpret_cast<LPARAM>(&selectionEnd));
            if (const CSystemTray* tray = TrayObjectFor(m_dialog.m_hWnd, TRAY_ICON_ID)) {
                tooltip = tray->State().Record().szTip;
                trayIcon = tray->IconResourceId();
            }
            for (const WidgetMessage& seen : shows.Seen())
                hiddenByTheStart |= seen.window == m_dialog.m_hWnd && seen.wParam == FALSE;
        });
    Run(driver);
    EXPECT_TRUE(driver.Done()) << driver.Failure() << " (status \"" << status << "\")";
    EXPECT_EQ(m_dialog.Watch().Host(), "127.0.0.1");
    // The whole text is selected, so the next keystroke replaces it.
    EXPECT_EQ(selectionStart, 0u);
    EXPECT_EQ(selectionEnd, 9u);
    // The start hid the window; the make event brought it back, named the host and its state
    // in the tooltip and showed the alive icon.
    EXPECT_TRUE(hiddenByTheStart);
    EXPECT_EQ(tooltip.substr(0, tooltip.find(',')), "Hide 127.0.0.1\nalive for 0 s");
    EXPECT_EQ(trayIcon, static_cast<UINT>(IDI_TRAY_ALIVE));
}

// Posted in one go, the Enter that starts the watch comes before the Options click, and the
// socket's notice of the reply can only be posted after the request went out, that is after
// the click: so the reply arrives while the Options dialog runs its own loop.
TEST_F(WatchWindowCommands, AMakeEventFiresWhileOptionsIsOpen) {
    bool aliveWhileOptionsOpen = false;
    DialogDriver driver(15000);
    driver.Then([&] { DialogSetItemText(m_dialog.m_hWnd, IDC_HOST, "127.0.0.1"); })
        .Then([&] {
            DialogPostKey(::GetDlgItem(m_dialog.m_hWnd, IDC_HOST), VK_RETURN);
            DialogPostClick(m_dialog.m_hWnd, IDC_OPTIONS);
        })
        .WaitUntil("the Options dialog", [] { return DialogFindByCaption("Options") != nullptr; })
        .WaitUntil(
            "the make event",
            [&] { return DialogItemText(m_dialog.m_hWnd, IDC_STATUS) == "127.0.0.1 is alive!"; })
        .Then([&] {
            aliveWhileOptionsOpen = DialogFindByCaption("Options") != nullptr;
            DialogPostClick(DialogFindByCaption("Options"), IDCANCEL);
        })
        .WaitUntil("the Options dialog closed",
                   [] { return DialogFindByCaption("Options") == nullptr; });
    Run(driver);
    EXPECT_TRUE(driver.Done()) << driver.Failure();
    EXPECT_TRUE(aliveWhileOptionsOpen);
    EXPECT_TRUE(m_dialog.Watch().IsAlive());
}

} // namespace
