// The framework's modal loop, driven on real dialog templates: the results of the ways a run
// ends, quit requests through nested runs, the outer windows' timers during an inner run,
// pre-translation before the dialog's keyboard navigation, the owner's disabling, and the
// handles the loop waits on beside the messages.
#include "framework/dialog.h"
#include "framework/message_wait.h"
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/wine/dialog_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

// The Action template with no behaviour of its own: it records the key presses that reach its
// pre-translation and can swallow Escape there.
class LoopProbeDlg : public CDialog {
public:
    explicit LoopProbeDlg(CWnd* parent = nullptr) : CDialog(IDD_ACTION, parent) {}

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            keysSeen.push_back({msg->hwnd, static_cast<UINT>(msg->wParam)});
            if (swallowEscape && msg->wParam == VK_ESCAPE)
                return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }

    struct Key {
        HWND window;
        UINT virtualKey;
    };
    std::vector<Key> keysSeen;
    bool swallowEscape = false;
};

// The About template as an outer dialog: it counts the ticks of its own window timer and runs
// an inner dialog when its OK button is clicked.
class OuterDlg : public CDialog {
public:
    static constexpr UINT_PTR TIMER_ID = 77;
    static constexpr int RUN_INNER = IDC_HOMEPAGE;

    OuterDlg() : CDialog(IDD_ABOUTBOX), inner(this) {}

    static const MessageMap* ThisMessageMap() {
        static constexpr MsgEntry entries[] = {
            msg::Timer<&OuterDlg::OnTimer>(),
            msg::Command<&OuterDlg::OnRunInner>(RUN_INNER),
        };
        static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    LoopProbeDlg inner;
    INT_PTR innerResult = 0;
    bool innerRan = false;
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR id) {
        if (id == TIMER_ID)
            ++ticks;
    }
    void OnRunInner() {
        innerResult = inner.DoModal();
        innerRan = true;
    }
};

struct Ending {
    const char* name;
    std::function<void(LoopProbeDlg&)> end;
    INT_PTR expected;
};

TEST(DialogLoop, EachEndingGivesItsResult) {
    const Ending endings[] = {
        {"OK command", [](LoopProbeDlg& d) { ::PostMessageA(d.m_hWnd, WM_COMMAND, IDOK, 0); },
         IDOK},
        {"Cancel command",
         [](LoopProbeDlg& d) { ::PostMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
        {"OK button clicked", [](LoopProbeDlg& d) { DialogPostClick(d.m_hWnd, IDOK); }, IDOK},
        {"Escape in an edit control",
         [](LoopProbeDlg& d) { DialogPostKey(d.GetDlgItem(IDC_SOUND_PATH), VK_ESCAPE); }, IDCANCEL},
        {"close request", [](LoopProbeDlg& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); },
         IDCANCEL},
        {"EndDialog with a value of its own", [](LoopProbeDlg& d) { d.EndDialog(7); }, 7},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        LoopProbeDlg dlg;
        HWND shown = nullptr;
        DialogDriver driver;
        driver.WaitUntil("dialog shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            shown = dlg.m_hWnd;
            ending.end(dlg);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), ending.expected);
        // The run destroys its window and unbinds the object.
        EXPECT_FALSE(::IsWindow(shown));
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
}

// A quit request ends the run, in an inner run the outer one too, and is posted again with its
// exit code for the loop outside.
TEST(DialogLoop, QuitRequestEndsTheRunsAndIsPostedAgain) {
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "in an inner run" : "in the run");
        const int code = nested ? 3 : 5;
        DialogAppStateGuard guard;
        OuterDlg outer;
        DialogDriver driver;
        driver.WaitUntil("outer dialog shown", [&] { return DialogIsUp(outer); });
        if (nested) {
            driver.Then([&] { DialogPostClick(outer.m_hWnd, OuterDlg::RUN_INNER); })
                .WaitUntil("inner dialog shown", [&] { return DialogIsUp(outer.inner); });
        }
        driver.Then([code] { ::PostQuitMessage(code); });
        EXPECT_EQ(DialogRunDriven(outer, driver), -1);
        EXPECT_EQ(outer.innerRan, nested);
        EXPECT_EQ(outer.innerResult, nested ? -1 : 0);
        int exitCode = -1;
        EXPECT_TRUE(DialogDrainQuit(&exitCode))
            << "the quit request must be left for the outer loop";
        EXPECT_EQ(exitCode, code);
        EXPECT_EQ(AfxGetApp()->m_nExitCode, code);
    }
}

TEST(DialogLoop, OuterWindowTimerFiresWhileAnInnerDialogRuns) {
    OuterDlg outer;
    int ticksWhenInnerOpened = 0;
    DialogDriver driver;
    driver.WaitUntil("outer dialog shown", [&] { return DialogIsUp(outer); })
        .Then([&] {
            outer.SetTimer(OuterDlg::TIMER_ID, 25);
            DialogPostClick(outer.m_hWnd, OuterDlg::RUN_INNER);
        })
        .WaitUntil("inner dialog shown", [&] { return DialogIsUp(outer.inner); })
        .Then([&] { ticksWhenInnerOpened = outer.ticks; })
        .WaitUntil("five outer ticks during the inner run",
                   [&] { return outer.ticks >= ticksWhenInnerOpened + 5; })
        .Then([&] {
            // The outer window is disabled but its timer goes on.
            EXPECT_FALSE(::IsWindowEnabled(outer.m_hWnd));
            EXPECT_EQ(::GetWindow(outer.inner.m_hWnd, GW_OWNER), outer.m_hWnd);
            DialogPostClick(outer.inner.m_hWnd, IDOK);
        })
        .WaitUntil("inner run ended", [&] { return outer.innerRan; })
        .Then([&] {
            EXPECT_TRUE(::IsWindowEnabled(outer.m_hWnd));
            DialogPostClick(outer.m_hWnd, IDCANCEL);
        });
    EXPECT_EQ(DialogRunDriven(outer, driver), IDCANCEL);
    EXPECT_EQ(outer.innerResult, IDOK);
}

// What a waited-on handle's callback saw.
struct HandleCalls {
    int count = 0;
    DWORD threadId = 0;
};

TEST(DialogLoop, AHandleSetOnAnotherThreadRunsItsCallbackOnTheLoopThread) {
    LoopProbeDlg dlg;
    HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    HandleCalls calls;
    ASSERT_TRUE(AfxAddWaitHandle(
        event,
        [](HANDLE handle, void* context) {
            auto* seen = static_cast<HandleCalls*>(context);
            ++seen->count;
            seen->threadId = ::GetCurrentThreadId();
            AfxRemoveWaitHandle(handle);
        },
        &calls));
    std::thread setter;
    DialogDriver driver;
    driver.WaitUntil("dialog shown", [&] { return DialogIsUp(dlg); })
        .Then([&] { setter = std::thread([event] { ::SetEvent(event); }); })
        .WaitUntil("the callback ran", [&] { return calls.count > 0; })
        .Pause(200)
        .Then([&] { DialogPostClick(dlg.m_hWnd, IDCANCEL); });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
    if (setter.joinable())
        setter.join();
    AfxRemoveWaitHandle(event);
    ::CloseHandle(event);
    // Once: the callback took its handle, still set, off the list.
    EXPECT_EQ(calls.count, 1);
    EXPECT_EQ(calls.threadId, ::GetCurrentThreadId());
}

TEST(DialogLoop, PreTranslateMessageSeesKeysBeforeTheDialogNavigation) {
    LoopProbeDlg dlg;
    HWND soundPath = nullptr;
    auto sawKey = [&](UINT key) {
        for (const auto& seen : dlg.keysSeen)
            if (seen.window == soundPath && seen.virtualKey == key)
                return true;
        return false;
    };
    DialogDriver driver;
    driver.WaitUntil("dialog shown", [&] { return DialogIsUp(dlg); })
        .Then([&] {
            soundPath = dlg.GetDlgItem(IDC_SOUND_PATH);
            ::SetFocus(soundPath);
            DialogPostKey(soundPath, VK_TAB);
        })
        .WaitUntil("Tab seen by the dialog's pre-translation", [&] { return sawKey(VK_TAB); })
        .Then([&] {
            // The navigation ran after the pre-translation: the focus went to the next stop.
            EXPECT_EQ(::GetFocus(), dlg.GetDlgItem(IDC_SOUND_BROWSE));
            dlg.swallowEscape = true;
            DialogPostKey(soundPath, VK_ESCAPE);
        })
        .WaitUntil("Escape seen by the dialog's pre-translation", [&] { return sawKey(VK_ESCAPE); })
        .Pause(200)
        .Then([&] {
            // Consumed there, Escape never reached the navigation that would cancel.
            EXPECT_TRUE(DialogIsUp(dlg));
            dlg.swallowEscape = false;
            DialogPostKey(soundPath, VK_ESCAPE);
        });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
}

// A plain top-level window to own the dialogs.
class OwnerWindow : public CWnd {
public:
    OwnerWindow() {
        CreateEx(0, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr);
    }
    ~OwnerWindow() override { DestroyWindow(); }
};

TEST(DialogLoop, OwnerIsDisabledDuringTheRunAndEnabledAfter) {
    DialogAppStateGuard guard;
    OwnerWindow owner;
    ASSERT_NE(owner.m_hWnd, nullptr);

    struct Case {
        const char* name;
        bool explicitParent; // else the owner is the application's main window
    };
    for (const Case& c : {Case{"parent given", true}, Case{"main window's pop-up", false}}) {
        SCOPED_TRACE(c.name);
        AfxGetApp()->m_pMainWnd = c.explicitParent ? nullptr : &owner;
        LoopProbeDlg dlg(c.explicitParent ? &owner : nullptr);
        DialogDriver driver;
        driver.WaitUntil("dialog shown", [&] { return DialogIsUp(dlg); }).Then([&] {
            EXPECT_EQ(::GetWindow(dlg.m_hWnd, GW_OWNER), owner.m_hWnd);
            EXPECT_FALSE(::IsWindowEnabled(owner.m_hWnd));
            DialogPostClick(dlg.m_hWnd, IDOK);
        });
        EXPECT_EQ(DialogRunDriven(dlg, driver), IDOK);
        EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    }

    // An owner that was disabled before the run stays disabled after it.
    ::EnableWindow(owner.m_hWnd, FALSE);
    LoopProbeDlg dlg(&owner);
    DialogDriver driver;
    driver.WaitUntil("dialog shown", [&] { return DialogIsUp(dlg); }).Then([&] {
        DialogPostClick(dlg.m_hWnd, IDCANCEL);
    });
    EXPECT_EQ(DialogRunDriven(dlg, driver), IDCANCEL);
    EXPECT_FALSE(::IsWindowEnabled(owner.m_hWnd));
}

} // namespace
