// The watch window and its tray icon, run modally as the program runs it and driven from inside
// its own loop: the icon it adds at start, the tray notifications that hide and show it (sent
// directly, and delivered by the taskbar for a real click), the icon's removal with the window
// object, and the looks of its two picture buttons on the screen, with screenshots.
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/native/watch/recording_effects.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"
#include "tests/wine/widget_canvas.h"
#include "tests/wine/widget_messages.h"
#include "tests/wine/widget_tray_probe.h"
#include "watch/watch_dlg.h"
#include "widgets/anim_button.h"
#include "widgets/image_store.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string TooltipOf(HWND window) {
    const CSystemTray* tray = TrayObjectFor(window, TRAY_ICON_ID);
    return tray != nullptr ? std::string(tray->State().Record().szTip) : "(no tray object)";
}

// A shown top-level window of this thread (menus) or of the desktop (balloons, which Wine's
// shell makes in its own process) of the class, with all the style bits given; null if none.
HWND ShownWindow(const char* className, LONG style, bool thisThread) {
    struct Search {
        const char* className;
        LONG style;
        HWND found;
    } search{className, style, nullptr};
    const WNDENUMPROC check = [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        char name[32] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (std::string(name) == s->className && ::IsWindowVisible(window) &&
            (::GetWindowLongA(window, GWL_STYLE) & s->style) == s->style)
            s->found = window;
        return s->found == nullptr;
    };
    const auto param = reinterpret_cast<LPARAM>(&search);
    thisThread ? ::EnumThreadWindows(::GetCurrentThreadId(), check, param)
               : ::EnumWindows(check, param);
    return search.found;
}

// The open menu's items as "text[*][(grey)]|", "-|" for a separator, "*" for the bold default.
std::string MenuItemsOf(HWND menuWindow) {
    const auto menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    std::string items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        items +=
            (state & MF_SEPARATOR) ? "-" : std::string(text) + (state & MFS_DEFAULT ? "*" : "");
        items += (state & MF_GRAYED) && !(state & MF_SEPARATOR) ? "(grey)|" : "|";
    }
    return items;
}

uint32_t SysWord(int index) {
    return WidgetPixelWord(::GetSysColor(index));
}

// The watch window as the program runs it: the main window, no command line.
class WatchWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TrayTaskbarWindow(), nullptr) << "no notification area: not in a virtual desktop";
        AfxGetApp()->m_strCmdLine.clear();
        AfxGetApp()->m_pMainWnd = &m_dialog;
    }

    // Runs the window with the driver's steps, which end with a click on Exit; the quit
    // request that ends the run is posted again for the loop around it and taken away here.
    void Run(DialogDriver& driver) {
        driver.Then([this] { DialogPostClick(m_dialog.m_hWnd, IDC_EXIT); });
        const INT_PTR result = DialogRunDriven(m_dialog, driver);
        EXPECT_EQ(result, -1) << "a quit request ended the run";
        int exitCode = -1;
        EXPECT_TRUE(DialogDrainQuit(&exitCode));
        EXPECT_EQ(exitCode, 0);
    }

    DialogAppStateGuard m_appState;
    CWatchDlg m_dialog;
};

TEST_F(WatchWindowTest, TrayNotificationsHideAndShowTheWindow) {
    HWND window = nullptr;
    struct Notification {
        const char* name;
        LPARAM mouse;
        bool shownAfter;
        const char* tooltipAfter;
    };
    // The host is empty: the tooltips read "Hide " and "Show ".
    const Notification notifications[] = {
        {"left press hides", WM_LBUTTONDOWN, false, "Show "},
        {"right release while hidden", WM_RBUTTONUP, false, "Show "},
        {"left press shows", WM_LBUTTONDOWN, true, "Hide "},
        {"right release", WM_RBUTTONUP, true, "Hide "},
        {"right press", WM_RBUTTONDOWN, true, "Hide "},
        {"mouse move", WM_MOUSEMOVE, true, "Hide "},
        {"left release", WM_LBUTTONUP, true, "Hide "},
        {"double click: its press", WM_LBUTTONDOWN, false, "Show "},
        {"double click: the double click", WM_LBUTTONDBLCLK, true, "Hide "},
        {"a lone double click hides", WM_LBUTTONDBLCLK, false, "Show "},
        {"and shows", WM_LBUTTONDBLCLK, true, "Hide "},
    };

    DialogDriver driver;
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            window = m_dialog.m_hWnd;
            EXPECT_TRUE(TrayIconExists(window, TRAY_ICON_ID));
            const CSystemTray* tray = TrayObjectFor(window, TRAY_ICON_ID);
            ASSERT_NE(tray, nullptr);
            const TrayIconRecord& record = tray->State().Record();
            EXPECT_EQ(record.uCallbackMessage, WM_TRAY_NOTIFY);
            EXPECT_EQ(tray->IconResourceId(), static_cast<UINT>(IDI_TRAY_WAITING));
            EXPECT_NE(record.hIcon, 0u);
            EXPECT_STREQ(record.szTip, "Hide");
            EXPECT_TRUE(m_dialog.IsShown());
        })
        .Then([&] {
            for (const Notification& n : notifications) {
                SCOPED_TRACE(n.name);
                ::SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, n.mouse);
                EXPECT_EQ(::IsWindowVisible(window) != FALSE, n.shownAfter);
                EXPECT_EQ(m_dialog.IsShown(), n.shownAfter);
                EXPECT_EQ(TooltipOf(window), n.tooltipAfter);
                EXPECT_TRUE(TrayIconExists(window, TRAY_ICON_ID));
            }
            // The icon id in wParam is not looked at.
            ::SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID + 5, WM_LBUTTONDOWN);
            EXPECT_FALSE(::IsWindowVisible(window));
            ::SendMessageA(window, WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN);
            EXPECT_TRUE(::IsWindowVisible(window));
            // A new taskbar has lost every icon: the window adds its own again, as it is now.
            ASSERT_TRUE(TrayDeleteIcon(window, TRAY_ICON_ID));
            ::SendMessageA(window, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
            EXPECT_TRUE(TrayIconExists(window, TRAY_ICON_ID));
            EXPECT_EQ(TooltipOf(window), "Hide ");
        });
    Run(driver);
}

// The menu opens for a right click delivered by the taskbar; it offers its items in order, its
// Mute names the mute's end, a second request opens no second menu, and over an open dialog of
// the window, History's Save as among them, Options and About are greyed (and Options opens no
// dialog inside the file dialog's loop). (Each item's job: the end-to-end story.)
TEST_F(WatchWindowTest, TheTrayMenuOffersItsItemsInOrder) {
    WidgetMessageRecorder recorder(WM_TRAY_NOTIFY);
    HWND window = nullptr;
    HWND menu = nullptr, history = nullptr;
    bool optionsInSaveAs = false;
    int shellNotices = 0; // counted before this test sends the window notices of its own
    POINT icon = {};
    std::vector<std::string> seen;
    const auto menuUp = [&] { return (menu = ShownWindow("#32768", 0, true)) != nullptr; };
    const auto look = [&](WPARAM key) {
        seen.push_back(MenuItemsOf(menu));
        ::SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_CONTEXTMENU); // no second menu
        ::PostMessageA(menu, key == VK_ESCAPE ? WM_KEYDOWN : WM_CHAR, key, 0);
    };
    const auto openMenu = [&] {
        ::PostMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_CONTEXTMENU);
    };
    DialogDriver driver(20000);
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            window = m_dialog.m_hWnd;
            ASSERT_TRUE(TrayFindIcon(window, recorder, &icon));
            TrayPostMouse(icon, WM_RBUTTONDOWN);
            TrayPostMouse(icon, WM_RBUTTONUP);
        })
        .WaitUntil("the menu of a right click on the icon", menuUp)
        .Then([&] {
            shellNotices = recorder.Count(window, WM_CONTEXTMENU);
            SaveWindowScreenshot(menu, "tray_menu");
            look('m');
        })
        .Pause(200)
        .Then(openMenu)
        .WaitUntil("the menu again", menuUp)
        .Then([&] { look('o'); })
        .WaitUntil("Options open", [] { return DialogFindByCaption("Options") != nullptr; })
        .Then(openMenu)
        .WaitUntil("the menu over Options", menuUp)
        .Then([&] { look(VK_ESCAPE); })
        .Pause(200)
        .Then([&] { DialogPostClick(DialogFindByCaption("Options"), IDCANCEL); })
        .WaitUntil("Options closed", [] { return DialogFindByCaption("Options") == nullptr; })
        .Then([&] { ::PostMessageA(window, WM_COMMAND, ID_TRAY_HISTORY, 0); })
        .WaitUntil("History open",
                   [&] { return (history = DialogFindByCaption("History - ")) != nullptr; })
        .Then([&] { DialogPostClick(history, IDC_HISTORY_SAVE); })
        .WaitUntil("its Save as dialog", [&] { return DialogFindOwnedBy(history) != nullptr; })
        .Then(openMenu)
        .WaitUntil("the menu over Save as", menuUp)
        .Then([&] { look(VK_ESCAPE); })
        .Pause(200)
        .Then([&] { ::PostMessageA(window, WM_COMMAND, ID_TRAY_OPTIONS, 0); })
        .Pause(300)
        .Then([&] {
            optionsInSaveAs = DialogFindByCaption("Options") != nullptr;
            DialogPostClick(DialogFindByCaption("Options"), IDCANCEL);
            DialogPostClick(DialogFindOwnedBy(history), IDCANCEL);
        })
        .WaitUntil("Save as closed", [&] { return DialogFindOwnedBy(history) == nullptr; })
        .Then([&] { DialogPostClick(history, IDCANCEL); });
    Run(driver);
    EXPECT_GE(shellNotices, 1) << "the shell's notice of a right click";
    const std::regex muted("&Hide\\*\\|&Options\\.\\.\\.\\|His&tory\\.\\.\\.\\|"
                           "Un&mute \\(muted until [0-9]{1,2}:[0-5][0-9]( [AP]M)?\\)\\|"
                           "&Find where it stops\\(grey\\)\\|-\\|"
                           "&About Tarnwell\\.\\.\\.\\|E&xit\\|");
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ("&Hide*|&Options...|His&tory...|&Mute for 1 hour|&Find where it stops(grey)|-|"
              "&About Tarnwell...|E&xit|",
              seen[0]);
    EXPECT_TRUE(std::regex_match(seen[1], muted)) << seen[1];
    for (const std::string& overDialog : {seen[2], seen[3]}) // Options, then Save as
        for (const char* grey : {"&Options...(grey)|", "&About Tarnwell...(grey)|"})
            EXPECT_NE(overDialog.find(grey), std::string::npos) << overDialog;
    EXPECT_FALSE(optionsInSaveAs) << "Options opened inside the file dialog's loop";
}

// A make shows a balloon with the event's text and time, in the user's quiet-time rules and
// without the shell's sound when the event plays its own; a click on it shows the window. The
// tip's lines follow: the state since when with the round trip (brought up to date when the
// pointer rests on the icon), the mute, and a 255-character name shortened, never the state.
TEST_F(WatchWindowTest, AMakeShowsABalloonAndTheTipSaysTheState) {
    HWND window = nullptr;
    std::string alive;
    std::string mutedHidden;
    std::string tip;
    const std::string longName(255, 'h'); // a label no name server takes: refused at once
    DialogDriver driver(15000);
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            window = m_dialog.m_hWnd;
            DialogSetItemText(window, IDC_HOST, "127.0.0.1");
            DialogPostKey(::GetDlgItem(window, IDC_HOST), VK_RETURN);
        })
        .WaitUntil("the balloon on the desktop",
                   [] { return ShownWindow("tooltips_class32", TTS_BALLOON, false) != nullptr; })
        .Pause(1100)
        .Then([&] {
            const TrayIconRecord& record = TrayObjectFor(window, TRAY_ICON_ID)->State().Record();
            EXPECT_STREQ(record.szInfoTitle, "127.0.0.1 is alive!");
            EXPECT_NE(std::string(record.szInfo).find(':'), std::string::npos) << "the time";
            EXPECT_EQ(record.dwInfoFlags,
                      static_cast<DWORD>(NIIF_INFO | NIIF_RESPECT_QUIET_TIME | NIIF_NOSOUND));
            SaveWindowScreenshot(ShownWindow("tooltips_class32", TTS_BALLOON, false),
                                 "tray_balloon");
            ::SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_MOUSEMOVE);
            alive = TooltipOf(window);
            ::SendMessageA(window, WM_COMMAND, ID_TRAY_MUTE, 0);
            ::SendMessageA(window, WM_COMMAND, ID_TRAY_SHOW_HIDE, 0);
            mutedHidden = TooltipOf(window);
            ::SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, NIN_BALLOONUSERCLICK);
            EXPECT_TRUE(::IsWindowVisible(window)) << "a click on the balloon";
            DialogSetItemText(window, IDC_HOST, longName);
            DialogPostKey(::GetDlgItem(window, IDC_HOST), VK_RETURN);
        })
        .WaitUntil(
            "the long name unknown",
            [&] { return DialogItemText(window, IDC_STATUS) == "Unknown - " + longName + "!"; })
        .Then([&] { tip = TooltipOf(window); });
    Run(driver);
    EXPECT_TRUE(std::regex_match(
        alive, std::regex("Hide 127\\.0\\.0\\.1\\nalive for [1-9][0-9]* s, [0-9]+ ms")))
        << alive;
    EXPECT_TRUE(std::regex_match(
        mutedHidden, std::regex("Show 127\\.0\\.0\\.1\\nalive for [1-9][0-9]* s, "
                                "[0-9]+ ms\\nmuted until [0-9]{1,2}:[0-9]{2}( [AP]M)?")))
        << mutedHidden;
    EXPECT_EQ(tip.size(), 127u);
    EXPECT_TRUE(std::regex_match(
        tip,
        std::regex("Hide h+\\.\\.\\.\\nunknown name\\nmuted until [0-9]{1,2}:[0-9]{2}( [AP]M)?")))
        << tip;
}

TEST_F(WatchWindowTest, ATaskbarClickOnTheIconHidesAndShowsTheWindow) {
    WidgetMessageRecorder recorder(WM_TRAY_NOTIFY);
    POINT icon = {};
    bool found = false;
    DialogDriver driver;
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            found = TrayFindIcon(m_dialog.m_hWnd, recorder, &icon);
            EXPECT_TRUE(found) << "the taskbar shows the watch window's icon";
        })
        .Then([&] {
            if (found)
                TrayPostMouse(icon, WM_LBUTTONDOWN);
        })
        .WaitUntil("hidden by the click",
                   [&] { return !found || !::IsWindowVisible(m_dialog.m_hWnd); })
        .Then([&] {
            EXPECT_FALSE(m_dialog.IsShown());
            EXPECT_GE(recorder.Count(m_dialog.m_hWnd, WM_LBUTTONDOWN), found ? 1 : 0);
            if (found)
                TrayPostMouse(icon, WM_LBUTTONDOWN);
        })
        .WaitUntil("shown by the second click",
                   [&] { return ::IsWindowVisible(m_dialog.m_hWnd) != FALSE; })
        .Then([&] { EXPECT_TRUE(m_dialog.IsShown()); });
    Run(driver);
}

// What the user sees once the program ends: no icon of the watch window is left behind. (The
// tray object's own removal is covered by the tray tests: here the desktop also drops the icons
// of windows that are gone.)
TEST(WatchWindowIcon, NoIconIsLeftOnceTheWindowHasGone) {
    DialogAppStateGuard appState;
    AfxGetApp()->m_strCmdLine.clear();
    HWND window = nullptr;
    {
        CWatchDlg dialog;
        AfxGetApp()->m_pMainWnd = &dialog;
        DialogDriver driver;
        driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(dialog); })
            .Then([&] {
                window = dialog.m_hWnd;
                EXPECT_TRUE(TrayIconExists(window, TRAY_ICON_ID));
            })
            .Then([&] { DialogPostClick(dialog.m_hWnd, IDC_EXIT); });
        DialogRunDriven(dialog, driver);
        EXPECT_TRUE(DialogDrainQuit());
        AfxGetApp()->m_pMainWnd = nullptr;
    }
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(TrayIconExists(window, TRAY_ICON_ID));
    EXPECT_FALSE(TrayDeleteIcon(window, TRAY_ICON_ID));
}

// The picture button of the watch window with this control id.
CAnimButton* ButtonOf(const CWnd& dialog, int id) {
    return dynamic_cast<CAnimButton*>(CWnd::FromHandlePermanent(dialog.GetDlgItem(id)));
}

// The outline corners of a button as the screen shows them: top-left and bottom-right.
struct Corners {
    uint32_t topLeft = 0;
    uint32_t bottomRight = 0;
};

Corners ShownCorners(HWND button) {
    RECT client;
    ::GetClientRect(button, &client);
    WidgetCanvas shown(client.right, client.bottom, 0);
    shown.CopyFromWindow(button);
    return Corners{shown.At(0, 0), shown.At(client.right - 1, client.bottom - 1)};
}

// The pixels the button shows for which `counted` holds.
template <typename Counted> int ShownPixelsWhere(HWND button, Counted counted) {
    RECT client;
    ::GetClientRect(button, &client);
    WidgetCanvas shown(client.right, client.bottom, 0);
    shown.CopyFromWindow(button);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            count += counted(shown.At(x, y)) ? 1 : 0;
    return count;
}

int ShownPixelsOf(HWND button, uint32_t word) {
    return ShownPixelsWhere(button, [word](uint32_t shown) { return shown == word; });
}

TEST_F(WatchWindowTest, ButtonsShowTheirNormalHoverAndPressedLooks) {
    const uint32_t face = SysWord(COLOR_BTNFACE);
    const uint32_t highlight = SysWord(COLOR_BTNHIGHLIGHT);
    const uint32_t shadow = SysWord(COLOR_BTNSHADOW);
    HWND options = nullptr;
    HWND exitButton = nullptr;
    // Wine copies what a window drew to the screen a little later, while the loop runs: each
    // screenshot waits for that (the buttons are checked at once through their own DCs).
    constexpr DWORD SHOWN_ON_SCREEN_MS = 300;
    DialogDriver driver;
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            options = m_dialog.GetDlgItem(IDC_OPTIONS);
            exitButton = m_dialog.GetDlgItem(IDC_EXIT);
            ::RedrawWindow(m_dialog.m_hWnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        })
        .Then([&] {
            // The first paint told the store the face colour: the backgrounds follow it.
            ASSERT_NE(theImageStore.m_keyColor, KEY_COLOR_UNSET);
            const uint32_t key = WidgetPixelWord(theImageStore.m_keyColor);
            EXPECT_GT(ShownPixelsOf(options, key), 100) << "the recoloured background";
            EXPECT_GT(ShownPixelsOf(exitButton, key), 100);
            EXPECT_EQ(ShownCorners(options).topLeft, face) << "flat";
            EXPECT_EQ(ShownCorners(exitButton).topLeft, face) << "flat";
        })
        .Pause(SHOWN_ON_SCREEN_MS)
        .Then([&] { SaveWindowScreenshot(m_dialog.m_hWnd, "buttons_normal"); })
        .Then([&] {
            RECT rect;
            ::GetWindowRect(options, &rect);
            WidgetMovePointer(rect.left + 5, rect.top + 5);
            ::SendMessageA(options, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            CAnimButton* button = ButtonOf(m_dialog, IDC_OPTIONS);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->IsHovered());
            const Corners raised = ShownCorners(options);
            EXPECT_EQ(raised.topLeft, highlight);
            EXPECT_EQ(raised.bottomRight, shadow);
        })
        .Pause(SHOWN_ON_SCREEN_MS) // the hovered button repaints on its timer ticks meanwhile
        .Then([&] {
            EXPECT_TRUE(ButtonOf(m_dialog, IDC_OPTIONS)->IsHovered()) << "still hovered";
            EXPECT_EQ(ShownCorners(options).topLeft, highlight);
            SaveWindowScreenshot(m_dialog.m_hWnd, "buttons_hover");
            RECT client;
            ::GetClientRect(options, &client);
            WidgetMovePointer(0, 0);
            ::SendMessageA(options, WM_MOUSEMOVE, 0, MAKELPARAM(client.right + 5, 5));
            EXPECT_FALSE(ButtonOf(m_dialog, IDC_OPTIONS)->IsHovered());
            EXPECT_EQ(ShownCorners(options).topLeft, face) << "flat again at once";
        })
        .Then([&] {
            ::SendMessageA(exitButton, BM_SETSTATE, TRUE, 0);
            ::UpdateWindow(exitButton);
            const Corners sunken = ShownCorners(exitButton);
            EXPECT_EQ(sunken.topLeft, shadow);
            EXPECT_EQ(sunken.bottomRight, highlight);
        })
        .Pause(SHOWN_ON_SCREEN_MS)
        .Then([&] {
            SaveWindowScreenshot(m_dialog.m_hWnd, "buttons_pressed");
            ::SendMessageA(exitButton, BM_SETSTATE, FALSE, 0);
            ::UpdateWindow(exitButton);
            EXPECT_EQ(ShownCorners(exitButton).topLeft, face);
            SaveWindowScreenshot(TrayTaskbarWindow(), "tray");
        });
    Run(driver);
}

// Nothing ticks while nothing can change: the light timer stops once the light shows the
// state's colour after a flash, and a picture button's timer runs from the mouse's entry until
// its frames are back at rest after the leave.
TEST_F(WatchWindowTest, TimersTickOnlyWhileTheLightOrAButtonHasSomethingToShow) {
    // One request only, so that no later reply flashes the light during the test.
    m_dialog.m_settings.CheckFrequency = 3600;
    WidgetMessageRecorder timers(WM_TIMER);
    auto ticksOf = [&](HWND window, WPARAM timerId) {
        int count = 0;
        for (const WidgetMessage& seen : timers.Seen())
            count += seen.window == window && seen.wParam == timerId ? 1 : 0;
        return count;
    };
    HWND window = nullptr;
    HWND options = nullptr;
    CAnimButton* button = nullptr;
    bool stillRunningAfterTheLeave = false;
    int frameAfterTheLeave = -1;
    DialogDriver driver(15000);
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); })
        .Then([&] {
            window = m_dialog.m_hWnd;
            DialogSetItemText(window, IDC_HOST, "127.0.0.1");
            DialogPostKey(::GetDlgItem(window, IDC_HOST), VK_RETURN);
        })
        .WaitUntil("the make event",
                   [&] { return DialogItemText(window, IDC_STATUS) == "127.0.0.1 is alive!"; })
        .Pause(300) // three light periods: the flash has given way to the state's colour
        .Then([&] {
            EXPECT_GT(ticksOf(window, TIMER_LIGHT), 0) << "the flash's light tick";
            timers.Clear();
        })
        .Pause(500)
        .Then([&] {
            EXPECT_EQ(ticksOf(window, TIMER_LIGHT), 0) << "the light shows the state's colour";
            EXPECT_FALSE(::KillTimer(window, TIMER_LIGHT)) << "no light timer is left";

            options = m_dialog.GetDlgItem(IDC_OPTIONS);
            button = ButtonOf(m_dialog, IDC_OPTIONS);
            ASSERT_NE(button, nullptr);
            EXPECT_FALSE(button->HasTimer()) << "no animation before the mouse comes";
            // The pointer itself goes over the button too, where the leave tracking looks.
            RECT rect;
            ::GetWindowRect(options, &rect);
            WidgetMovePointer(rect.left + 5, rect.top + 5);
            ::SendMessageA(options, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            EXPECT_TRUE(button->HasTimer()) << "the mouse's entry starts the animation";
        })
        .WaitUntil("the frames moving", [&] { return button->CurrentFrame() != 0; })
        .Then([&] {
            RECT client;
            ::GetClientRect(options, &client);
            WidgetMovePointer(0, 0);
            ::SendMessageA(options, WM_MOUSEMOVE, 0, MAKELPARAM(client.right + 5, 5));
            EXPECT_FALSE(button->IsHovered());
            stillRunningAfterTheLeave = button->HasTimer();
            frameAfterTheLeave = button->CurrentFrame();
        })
        .WaitUntil("the frames back at rest", [&] { return !button->HasTimer(); })
        .Then([&] {
            EXPECT_EQ(button->CurrentFrame(), 0);
            timers.Clear();
        })
        .Pause(300)
        .Then([&] { EXPECT_EQ(ticksOf(options, ANIM_BUTTON_TIMER), 0); });
    Run(driver);
    EXPECT_TRUE(driver.Done()) << driver.Failure();
    EXPECT_TRUE(stillRunningAfterTheLeave)
        << "left at frame " << frameAfterTheLeave << ", the frames run on to rest";
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

int IconWidth(uintptr_t icon) {
    ICONINFO info = {};
    if (!::GetIconInfo(reinterpret_cast<HICON>(icon), &info))
        return 0;
    const int width = BitmapSize(info.hbmColor).cx;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return width;
}

// Green leads only in the OK tick: not in the face, the background, the caption or the twinkle.
bool Green(uint32_t word) {
    const uint32_t green = word >> 8 & 0xFF;
    return green > (word >> 16 & 0xFF) && green > (word & 0xFF);
}

// Run at 96 DPI with the other tests, and at 144 and 192 DPI by screenshots_at_dpi.sh, which
// names the DPI it set in TARNWELL_DPI.
TEST_F(WatchWindowTest, PicturesAndTrayIconAreThoseDrawnForTheSystemScaling) {
    struct Scaling {
        int dpi;
        int32_t percent;
        SIZE options; // the Options strip
        int lightWidth;
        int trayIcon;
    };
    const Scaling scalings[] = {{96, 100, {128, 69}, 11, 16},
                                {144, 150, {192, 105}, 17, 24},
                                {192, 200, {256, 138}, 22, 32}};
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (const char* wanted = std::getenv("TARNWELL_DPI")) {
        ASSERT_EQ(dpi, std::atoi(wanted)) << "the scaling set for the run";
    }
    const Scaling* scaling = nullptr;
    for (const Scaling& s : scalings)
        scaling = s.dpi == dpi ? &s : scaling;
    ASSERT_NE(scaling, nullptr) << dpi << " DPI";
    EXPECT_EQ(theImageStore.ArtPercent(), scaling->percent);

    // The 100 % tick, cell (0, 0) inside its border: a true drawing at the set's scale covers
    // the square of the scale times its pixels.
    const WidgetBitmap strip = WidgetLoadResourceBitmap(IDB_BUTTON_OK);
    int tickAt100 = 0;
    for (int y = 1; y < 22; ++y)
        for (int x = 1; x < 31; ++x)
            tickAt100 += Green(strip.AtPicture(x, y)) ? 1 : 0;
    ASSERT_GT(tickAt100, 100) << "too few pixels of the 100 % tick to compare with";

    DialogDriver driver;
    driver.WaitUntil("the watch window is shown", [&] { return DialogIsUp(m_dialog); }).Then([&] {
        HWND window = m_dialog.m_hWnd;
        const CDibImage* image = ButtonOf(m_dialog, IDC_OPTIONS)->Image();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->m_width, scaling->options.cx);
        EXPECT_EQ(image->m_height, scaling->options.cy);
        const auto light = reinterpret_cast<HBITMAP>(
            ::SendDlgItemMessageA(window, IDC_LIGHT, STM_GETIMAGE, IMAGE_BITMAP, 0));
        EXPECT_EQ(BitmapSize(light).cx, scaling->lightWidth);

        const CSystemTray* tray = TrayObjectFor(window, TRAY_ICON_ID);
        ASSERT_NE(tray, nullptr);
        EXPECT_EQ(IconWidth(tray->State().Record().hIcon), scaling->trayIcon);
        // A new taskbar gets the icon again, at the size it asks for.
        ASSERT_TRUE(TrayDeleteIcon(window, TRAY_ICON_ID));
        ::SendMessageA(window, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_TRUE(TrayIconExists(window, TRAY_ICON_ID));
        EXPECT_EQ(IconWidth(tray->State().Record().hIcon), scaling->trayIcon) << "again";

        HWND options = m_dialog.GetDlgItem(IDC_OPTIONS);
        ::RedrawWindow(options, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const int tick = ShownPixelsWhere(options, Green);
        std::printf("The Options picture covers %d pixels at %d DPI, %d at 100 %%.\n", tick, dpi,
                    tickAt100);
        const double expected = tickAt100 * scaling->percent * scaling->percent / 10000.0;
        EXPECT_NEAR(tick, expected, expected * 0.15);
    });
    Run(driver);
}

// A break's notification comes again, silent, with its trace's finding as a second line, once;
// not for a finding the user asked for, nor at a break after the one notified.
TEST(TrayNotifier, ABreaksFindingIsItsNotificationsSecondLineOnce) {
    WatchSettings settings;
    RecordingEffects effects;
    WatchMachine watch(settings, effects);
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(nullptr, WM_APP, "Hide", nullptr, TRAY_ICON_ID));
    CTrayNotifier notifier(tray, watch);
    const auto shownAfter = [&](const PathFinding& found) {
        notifier.ShowFinding(found);
        return std::string(tray.State().Record().szInfo);
    };
    const PathFinding atBreak{{"ends at hop 2", {}}, true}, asked{{"asked", {}}, false};
    notifier.ShowNotification({"h has died!", "14:03", true, false});
    EXPECT_EQ("14:03", shownAfter(asked));
    EXPECT_EQ("14:03\nends at hop 2", shownAfter(atBreak));
    EXPECT_NE(0u, tray.State().Record().dwInfoFlags & NIIF_NOSOUND);
    EXPECT_EQ("14:03\nends at hop 2", shownAfter(atBreak));
    notifier.ShowNotification({"h has died!", "14:05", true, false});
    watch.StartWatch();
    watch.OnEchoReply();
    for (effects.tick = 5000; effects.tick < 20000; effects.tick += 5001)
        watch.OnTimer(TIMER_CHECK); // a break at 10,001 ms
    EXPECT_EQ("14:05", shownAfter(atBreak));
}

} // namespace
