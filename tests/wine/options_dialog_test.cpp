// The Options dialog on its real template, driven through its controls: loading and saving of
// the five general members, the period field's refusals with their message box, the two
// Action buttons and the About button; then the watch window's Options button, which copies the
// settings in and, on OK only, back out, applies the z-order and restarts the check timer.
#include "dialogs/options_dlg.h"
#include "framework/win_app.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/screenshot.h"
#include "watch/watch_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

const char PERIOD_ERROR[] = "Please enter a positive integer.";

struct General {
    int32_t alwaysOnTop;
    int32_t checkBreak;
    uint32_t period;
    int32_t checkMake;
    int32_t hide;
};

void Load(COptionsDlg& dlg, const General& g) {
    dlg.m_bAlwaysOnTop = g.alwaysOnTop;
    dlg.m_bCheckBreak = g.checkBreak;
    dlg.m_dwCheckFrequency = g.period;
    dlg.m_bCheckMake = g.checkMake;
    dlg.m_bHide = g.hide;
}

void ExpectMembers(const COptionsDlg& dlg, const General& g) {
    EXPECT_EQ(dlg.m_bAlwaysOnTop, g.alwaysOnTop);
    EXPECT_EQ(dlg.m_bCheckBreak, g.checkBreak);
    EXPECT_EQ(dlg.m_dwCheckFrequency, g.period);
    EXPECT_EQ(dlg.m_bCheckMake, g.checkMake);
    EXPECT_EQ(dlg.m_bHide, g.hide);
}

void ExpectControls(HWND dlg, const General& g) {
    EXPECT_EQ(DialogCheckState(dlg, IDC_ALWAYS_ON_TOP), g.alwaysOnTop);
    EXPECT_EQ(DialogCheckState(dlg, IDC_CHECK_BREAK), g.checkBreak);
    EXPECT_EQ(DialogItemText(dlg, IDC_PERIOD), std::to_string(g.period));
    EXPECT_EQ(DialogCheckState(dlg, IDC_CHECK_MAKE), g.checkMake);
    EXPECT_EQ(DialogCheckState(dlg, IDC_HIDE), g.hide);
}

// Clicks the four check boxes of the Options dialog, each toggling.
void ToggleAllBoxes(HWND dlg) {
    for (int id : {IDC_ALWAYS_ON_TOP, IDC_CHECK_BREAK, IDC_CHECK_MAKE, IDC_HIDE})
        DialogClickCheckBox(dlg, id);
}

bool IsGone(HWND window) {
    return window == nullptr || !::IsWindow(window);
}

// Steps that click an Action button of the Options dialog `options` (read as the step runs):
// the Action dialog it opens shows `shown` (and, run from the watch window, belongs to Options);
// it is set to `edited` and ended with `ending`.
void EditAction(DialogDriver& driver, const HWND& options, int button, const std::string& name,
                const EventAction& shown, const EventAction& edited, int ending = IDOK,
                bool owned = true) {
    auto action = std::make_shared<HWND>();
    driver.Then([&options, button] { DialogPostClick(options, button); })
        .WaitUntil(name + " Action dialog",
                   [action] { return (*action = DialogFindByCaption("Action")) != nullptr; })
        .Then([&options, action, shown, edited, ending, owned] {
            if (owned) {
                EXPECT_EQ(::GetWindow(*action, GW_OWNER), options);
            }
            EXPECT_EQ(ActionDialogControls(*action), shown);
            SetActionDialogControls(*action, edited);
            DialogPostClick(*action, ending);
        })
        .WaitUntil(name + " Action dialog closed", [action] { return IsGone(*action); });
}

TEST(OptionsDialog, MembersAreLoadedIntoTheControlsAndSavedBackOnOk) {
    struct Row {
        const char* name;
        General loaded;
        General shown; // and saved: a flag outside 0 to 2 loads unchecked and is saved as 0
    };
    const Row rows[] = {
        {"mixed", {1, 0, 4, 1, 0}, {1, 0, 4, 1, 0}},
        {"inverted, period 0", {0, 1, 0, 0, 1}, {0, 1, 0, 0, 1}},
        {"largest period", {1, 1, 4294967295u, 1, 1}, {1, 1, 4294967295u, 1, 1}},
        {"flags out of range", {5, -1, 17, 3, INT32_MIN}, {0, 0, 17, 0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        COptionsDlg dlg;
        Load(dlg, row.loaded);
        DialogDriver driver;
        driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            EXPECT_EQ(WindowTextOf(dlg.m_hWnd), "Options");
            ExpectControls(dlg.m_hWnd, row.shown);
            // The focus starts in the period field, the first control.
            EXPECT_EQ(::GetFocus(), dlg.GetDlgItem(IDC_PERIOD));
            if (&row == &rows[0])
                SaveWindowScreenshot(dlg.m_hWnd, "options");
            DialogPostClick(dlg.m_hWnd, IDOK);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
        ExpectMembers(dlg, row.shown);
    }
}

TEST(OptionsDialog, EditedControlsReachTheMembersOnlyOnOk) {
    const General before = {1, 0, 4, 1, 0};
    const General edited = {0, 1, 33, 0, 1};
    for (const int ending : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(ending == IDOK ? "OK" : "Cancel");
        COptionsDlg dlg;
        Load(dlg, before);
        DialogDriver driver;
        driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            ToggleAllBoxes(dlg.m_hWnd);
            DialogSetItemText(dlg.m_hWnd, IDC_PERIOD, "33");
            ExpectControls(dlg.m_hWnd, edited);
            DialogPostClick(dlg.m_hWnd, ending);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), ending);
        ExpectMembers(dlg, ending == IDOK ? edited : before);
    }
}

// A refused field says why in a message box and keeps the dialog open with the focus in it. The
// members are read in the exchange's order: the period among the boxes, the loss threshold
// (at most 100) after them all.
TEST(OptionsDialog, RefusedFieldsSayWhyAndTheDialogStaysOpen) {
    const struct {
        int field;
        const char* text;
    } refused[] = {{IDC_PERIOD, "12abc"}, {IDC_PERIOD, "-1"},    {IDC_PERIOD, ""},
                   {IDC_PERIOD, "+"},     {IDC_PERIOD, "   "},   {IDC_PERIOD, "5 x"},
                   {IDC_PERIOD, "0x10"},  {IDC_SLOW_LOSS, "101"}};
    COptionsDlg dlg;
    Load(dlg, {0, 0, 4, 0, 0});
    DialogDriver driver(16000);
    driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); });
    for (const auto& row : refused) {
        const bool period = row.field == IDC_PERIOD;
        const std::string label = std::string("\"") + row.text + "\"";
        driver
            .Then([&] {
                // Boxes before and after the period field in the exchange order.
                ::SendDlgItemMessageA(dlg.m_hWnd, IDC_ALWAYS_ON_TOP, BM_SETCHECK, 1, 0);
                ::SendDlgItemMessageA(dlg.m_hWnd, IDC_CHECK_MAKE, BM_SETCHECK, 1, 0);
                DialogSetItemText(dlg.m_hWnd, IDC_PERIOD, "4");
                DialogSetItemText(dlg.m_hWnd, row.field, row.text);
                dlg.m_bAlwaysOnTop = 0; // so that each refusal shows it read the box again
                ::SetFocus(dlg.GetDlgItem(IDC_ALWAYS_ON_TOP));
                DialogPostClick(dlg.m_hWnd, IDOK);
            })
            .WaitUntil("message box for " + label,
                       [&] { return DialogFindOwnedBy(dlg.m_hWnd) != nullptr; })
            .Then([&, period, label] {
                SCOPED_TRACE(label);
                HWND box = DialogFindOwnedBy(dlg.m_hWnd);
                const std::vector<std::string> texts = DialogChildTexts(box);
                EXPECT_NE(
                    std::find(texts.begin(), texts.end(), period ? PERIOD_ERROR : SLOW_LOSS_ERROR),
                    texts.end());
                EXPECT_EQ(WindowTextOf(box), AfxGetApp()->m_strAppName);
                // Members before the field were read; the field and those after it were not.
                EXPECT_EQ(dlg.m_bAlwaysOnTop, 1);
                EXPECT_EQ(dlg.m_dwCheckFrequency, 4u);
                EXPECT_EQ(dlg.m_bCheckMake, period ? 0 : 1);
                DialogPostClick(box, IDOK);
            })
            .WaitUntil("message box dismissed for " + label,
                       [&] { return DialogFindOwnedBy(dlg.m_hWnd) == nullptr; })
            .Then([&, label] {
                SCOPED_TRACE(label);
                EXPECT_TRUE(DialogIsUp(dlg));
                EXPECT_EQ(::GetFocus(), dlg.GetDlgItem(row.field));
            });
    }
    driver.Then([&] {
        DialogSetItemText(dlg.m_hWnd, IDC_PERIOD, "5");
        DialogSetItemText(dlg.m_hWnd, IDC_SLOW_LOSS, "100");
        DialogPostClick(dlg.m_hWnd, IDOK);
    });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_dwCheckFrequency, 5u);
    EXPECT_EQ(dlg.m_bCheckMake, 1);
    EXPECT_EQ(dlg.m_dwSlowLossPercent, 100u);
}

TEST(OptionsDialog, ValidPeriodsAreAccepted) {
    const struct {
        const char* text;
        uint32_t period;
    } rows[] = {{" \t 7 \t ", 7}, {"0", 0}, {"+12", 12}, {"007", 7}, {"99999999999", 4294967295u}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.text + "\"");
        COptionsDlg dlg;
        Load(dlg, {0, 0, 4, 0, 0});
        DialogDriver driver(5000);
        driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            DialogSetItemText(dlg.m_hWnd, IDC_PERIOD, row.text);
            DialogPostClick(dlg.m_hWnd, IDOK);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
        EXPECT_EQ(dlg.m_dwCheckFrequency, row.period);
    }
}

const EventAction MAKE_BEFORE = {1, "C:\\make.exe", 0, "C:\\make.wav", 1, "C:\\make.txt"};
const EventAction BREAK_BEFORE = {0, "C:\\break.exe", 1, "C:\\break.wav", 0, "C:\\break.txt"};
const EventAction MAKE_EDITED = {0, "cmd /c made", 1, "C:\\made.wav", 0, "C:\\made.txt"};
const EventAction BREAK_EDITED = {1, "cmd /c broke", 0, "C:\\broke.wav", 1, "C:\\broke.txt"};

TEST(OptionsDialog, ActionButtonsEditTheirOwnEventActionAndCancelKeepsIt) {
    COptionsDlg dlg;
    Load(dlg, {1, 1, 4, 1, 0});
    dlg.m_makeAction = MAKE_BEFORE;
    dlg.m_breakAction = BREAK_BEFORE;
    DialogDriver driver;
    driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); });
    EditAction(driver, dlg.m_hWnd, IDC_MAKE_ACTION, "make", MAKE_BEFORE, MAKE_EDITED, IDOK, false);
    driver.Then([&] {
        EXPECT_TRUE(DialogIsUp(dlg));
        EXPECT_EQ(dlg.m_makeAction, MAKE_EDITED) << "make, confirmed";
    });
    EditAction(driver, dlg.m_hWnd, IDC_BREAK_ACTION, "break", BREAK_BEFORE, BREAK_EDITED, IDCANCEL,
               false);
    driver.Then([&] { DialogPostClick(dlg.m_hWnd, IDOK); });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
    EXPECT_EQ(dlg.m_makeAction, MAKE_EDITED) << "make after OK";
    EXPECT_EQ(dlg.m_breakAction, BREAK_BEFORE) << "break after its Action dialog's Cancel";
}

TEST(OptionsDialog, AboutButtonOpensTheAboutBoxAboveTheOpenOptionsDialog) {
    COptionsDlg dlg;
    Load(dlg, {1, 1, 4, 1, 0});
    HWND about = nullptr;
    DialogDriver driver;
    driver.WaitUntil("Options shown", [&] { return DialogIsUp(dlg); })
        .Then([&] { DialogPostClick(dlg.m_hWnd, IDC_ABOUT); })
        .WaitUntil("About box", [&] { return (about = DialogFindByCaption("About Tarnwell")); })
        .Then([&] {
            // Both are on the screen at once.
            EXPECT_TRUE(DialogIsUp(dlg));
            EXPECT_TRUE(::IsWindowVisible(about));
            DialogPostClick(about, IDOK);
        })
        .WaitUntil("About box closed", [&] { return IsGone(about); })
        .Then([&] {
            EXPECT_TRUE(DialogIsUp(dlg));
            DialogPostClick(dlg.m_hWnd, IDCANCEL);
        });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
}

// ---- The watch window's Options button ----

bool IsTopmost(HWND window) {
    return (::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

WatchSettings FirstSettings() {
    WatchSettings s;
    s.AlwaysOnTop = 0;
    s.CheckBreak = 1;
    s.CheckFrequency = 6;
    s.CheckMake = 0;
    s.Hide = 0;
    s.makeAction = MAKE_BEFORE;
    s.breakAction = BREAK_BEFORE;
    return s;
}

void ExpectSettings(const WatchSettings& actual, const WatchSettings& expected) {
    EXPECT_EQ(actual.AlwaysOnTop, expected.AlwaysOnTop);
    EXPECT_EQ(actual.CheckBreak, expected.CheckBreak);
    EXPECT_EQ(actual.CheckFrequency, expected.CheckFrequency);
    EXPECT_EQ(actual.CheckMake, expected.CheckMake);
    EXPECT_EQ(actual.Hide, expected.Hide);
    EXPECT_EQ(actual.makeAction, expected.makeAction) << "makeAction";
    EXPECT_EQ(actual.breakAction, expected.breakAction) << "breakAction";
    EXPECT_EQ(actual.SlowRoundTripMs, expected.SlowRoundTripMs);
    EXPECT_EQ(actual.SlowLossPercent, expected.SlowLossPercent);
    EXPECT_EQ(actual.slowAction, expected.slowAction) << "slowAction";
}

// The watch window of a test: its command line empty (no watch starts), the application's
// main window while it lives, as start-up makes it.
class WatchWindowOptions : public ::testing::Test {
protected:
    void SetUp() override {
        AfxGetApp()->m_strCmdLine.clear();
        AfxGetApp()->m_pMainWnd = &watch;
    }
    // Ends the run with the Exit button and takes its quit request out of the queue.
    void Exit(DialogDriver& driver) {
        driver.Then([&] { DialogPostClick(watch.m_hWnd, IDC_EXIT); });
    }
    void ExpectExitedByQuit(INT_PTR result) {
        EXPECT_EQ(result, -1);
        int exitCode = -1;
        EXPECT_TRUE(DialogDrainQuit(&exitCode));
        EXPECT_EQ(exitCode, 0);
    }

    DialogAppStateGuard guard;
    CWatchDlg watch;
    HWND options = nullptr;
};

TEST_F(WatchWindowOptions, OptionsOkCopiesEverySettingBackAndAppliesTheZOrder) {
    watch.m_settings = FirstSettings();
    WatchSettings expected = FirstSettings();
    expected.AlwaysOnTop = 1;
    expected.CheckBreak = 0;
    expected.CheckFrequency = 9;
    expected.CheckMake = 1;
    expected.Hide = 1;
    expected.makeAction = MAKE_EDITED;
    expected.breakAction = BREAK_EDITED;
    expected.SlowRoundTripMs = 850;
    expected.SlowLossPercent = 25;
    expected.slowAction = MAKE_EDITED;

    DialogDriver driver(14000);
    driver.WaitUntil("watch window shown", [&] { return DialogIsUp(watch); })
        .Then([&] {
            EXPECT_FALSE(IsTopmost(watch.m_hWnd));
            DialogPostClick(watch.m_hWnd, IDC_OPTIONS);
        })
        .WaitUntil("Options", [&] { return (options = DialogFindByCaption("Options")); })
        .Then([&] {
            // The settings were copied in; the watch window owns the dialog and waits.
            ExpectControls(options, {0, 1, 6, 0, 0});
            EXPECT_EQ(::GetWindow(options, GW_OWNER), watch.m_hWnd);
            EXPECT_FALSE(::IsWindowEnabled(watch.m_hWnd));
            ToggleAllBoxes(options);
            DialogSetItemText(options, IDC_PERIOD, "9");
            DialogSetItemText(options, IDC_SLOW_ROUND_TRIP, "850");
            DialogSetItemText(options, IDC_SLOW_LOSS, "25");
        });
    EditAction(driver, options, IDC_MAKE_ACTION, "make", MAKE_BEFORE, MAKE_EDITED);
    EditAction(driver, options, IDC_BREAK_ACTION, "break", BREAK_BEFORE, BREAK_EDITED);
    EditAction(driver, options, IDC_SLOW_ACTION, "slow", WatchSettings::DefaultEventAction(),
               MAKE_EDITED);
    driver
        .Then([&] {
            // Nothing reaches the watch window before the Options dialog's OK.
            ExpectSettings(watch.m_settings, FirstSettings());
            DialogPostClick(options, IDOK);
        })
        .WaitUntil("Options closed", [&] { return IsGone(options); })
        .Then([&] {
            ExpectSettings(watch.m_settings, expected);
            EXPECT_TRUE(IsTopmost(watch.m_hWnd)) << "AlwaysOnTop switched on applies at once";
            EXPECT_TRUE(::IsWindowEnabled(watch.m_hWnd));
            DialogPostClick(watch.m_hWnd, IDC_OPTIONS);
        })
        .WaitUntil("Options again", [&] { return (options = DialogFindByCaption("Options")); })
        .Then([&] {
            DialogClickCheckBox(options, IDC_ALWAYS_ON_TOP);
            DialogPostClick(options, IDOK);
        })
        .WaitUntil("Options closed again", [&] { return IsGone(options); })
        .Then([&] {
            EXPECT_EQ(watch.m_settings.AlwaysOnTop, 0);
            EXPECT_FALSE(IsTopmost(watch.m_hWnd)) << "AlwaysOnTop switched off applies at once";
        });
    Exit(driver);
    ExpectExitedByQuit(DialogRunDriven(watch, driver));
}

TEST_F(WatchWindowOptions, OptionsCancelChangesNothingEvenAfterAConfirmedActionDialog) {
    watch.m_settings = FirstSettings();
    watch.m_settings.AlwaysOnTop = 1;
    const WatchSettings before = watch.m_settings;
    HWND about = nullptr;
    DialogDriver driver(14000);
    driver.WaitUntil("watch window shown", [&] { return DialogIsUp(watch); })
        .Then([&] {
            EXPECT_TRUE(IsTopmost(watch.m_hWnd));
            DialogPostClick(watch.m_hWnd, IDC_OPTIONS);
        })
        .WaitUntil("Options", [&] { return (options = DialogFindByCaption("Options")); })
        .Then([&] {
            ToggleAllBoxes(options);
            DialogSetItemText(options, IDC_PERIOD, "1");
        });
    EditAction(driver, options, IDC_MAKE_ACTION, "make", MAKE_BEFORE, MAKE_EDITED);
    driver.Then([&] { DialogPostClick(options, IDC_ABOUT); })
        .WaitUntil("About box", [&] { return (about = DialogFindByCaption("About Tarnwell")); })
        .Then([&] {
            // Run from the watch window, the About box sits above the Options dialog.
            EXPECT_EQ(::GetWindow(about, GW_OWNER), options);
            ::PostMessageA(about, WM_CLOSE, 0, 0);
        })
        .WaitUntil("About box closed", [&] { return IsGone(about); })
        .Then([&] { DialogPostClick(options, IDCANCEL); })
        .WaitUntil("Options closed", [&] { return IsGone(options); })
        .Then([&] {
            ExpectSettings(watch.m_settings, before);
            EXPECT_TRUE(IsTopmost(watch.m_hWnd));
        });
    Exit(driver);
    ExpectExitedByQuit(DialogRunDriven(watch, driver));
}

// The times at which the watch window's check timer fired, seen as the messages are taken
// from the queue.
HWND g_timedWindow = nullptr;
std::vector<DWORD> g_checkTicks;

LRESULT CALLBACK RecordCheckTicks(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_TIMER &&
        msg->hwnd == g_timedWindow && msg->wParam == TIMER_CHECK)
        g_checkTicks.push_back(::GetTickCount());
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WatchWindowOptions, OptionsOkWithAnUnchangedPeriodRestartsTheCheckTimer) {
    // A one-second period. Options is confirmed 400 ms after a tick: a timer left running
    // would tick about 600 ms later, a restarted one a full period later.
    watch.m_settings = FirstSettings();
    watch.m_settings.CheckFrequency = 1;
    g_checkTicks.clear();
    HHOOK hook =
        ::SetWindowsHookExA(WH_GETMESSAGE, RecordCheckTicks, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::size_t ticksSeen = 0;
    DWORD okPostedAt = 0;
    DWORD nextTickAt = 0;
    DialogDriver driver(12000);
    driver.WaitUntil("watch window shown", [&] { return DialogIsUp(watch); })
        .Then([&] {
            g_timedWindow = watch.m_hWnd;
            DialogPostClick(watch.m_hWnd, IDC_OPTIONS);
        })
        .WaitUntil("Options", [&] { return (options = DialogFindByCaption("Options")); })
        .Then([&] { ticksSeen = g_checkTicks.size(); })
        .WaitUntil("a check tick while Options is open",
                   [&] { return g_checkTicks.size() > ticksSeen; })
        .WaitUntil("400 ms after that tick",
                   [&] { return ::GetTickCount() - g_checkTicks.back() >= 400; })
        .Then([&] {
            okPostedAt = ::GetTickCount();
            ticksSeen = g_checkTicks.size();
            DialogPostClick(options, IDOK);
        })
        .WaitUntil("Options closed", [&] { return IsGone(options); })
        .WaitUntil("the next check tick", [&] { return g_checkTicks.size() > ticksSeen; })
        .Then([&] { nextTickAt = g_checkTicks[ticksSeen]; });
    Exit(driver);
    ExpectExitedByQuit(DialogRunDriven(watch, driver));
    ::UnhookWindowsHookEx(hook);
    g_timedWindow = nullptr;
    EXPECT_EQ(watch.m_settings.CheckFrequency, 1u);
    EXPECT_GE(nextTickAt - okPostedAt, 850u) << "the check timer was not started again";
}

} // namespace
