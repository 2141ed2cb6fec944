// Drives modal dialogs from inside their own loops. A DialogDriver holds a list of steps
// (actions and waits) that a thread timer works through while DoModal runs, on the same thread,
// in whichever modal loop is running: the framework's, a message box's or the file dialog's.
// A deadline bounds every run: when it passes, the driver cancels every dialog of the thread,
// and at last sends a quit request, so that a test ends even when the code under test hangs.
//
// Steps never block: an action that opens another modal dialog posts its click (DialogPostClick)
// so that the nested loop runs the next steps.
#pragma once

#include "framework/dialog.h"
#include "settings/event_action.h"

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class DialogDriver {
public:
    explicit DialogDriver(DWORD deadlineMs = 10000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // An action, run once on the tick after the previous step finished.
    DialogDriver& Then(std::function<void()> action);
    // A wait, polled on every tick until the condition holds; `what` names it in failures.
    DialogDriver& WaitUntil(std::string what, std::function<bool()> condition);
    // A pause of at least the given time.
    DialogDriver& Pause(DWORD ms);

    // Starts the ticks (call just before DoModal) and stops them; Stop also removes a quit
    // request that the driver's own rescue left in the queue.
    void Start();
    void Stop();

    // Every step ran.
    bool Done() const { return m_next == m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }
    // The step that was running when the deadline passed, or empty.
    std::string Failure() const;

private:
    struct Step {
        std::string what;
        std::function<bool()> poll; // true when the step is finished
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Rescue();

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    DWORD m_deadlineMs;
    DWORD m_startTick = 0;
    UINT_PTR m_timer = 0;
    bool m_inStep = false;
    bool m_timedOut = false;
    bool m_postedQuit = false;
    std::string m_failedStep;
};

// Keeps the application object's run-time state (main window, exit code, command line) for
// the length of a test and puts it back afterwards.
class DialogAppStateGuard {
public:
    DialogAppStateGuard();
    ~DialogAppStateGuard();
    DialogAppStateGuard(const DialogAppStateGuard&) = delete;
    DialogAppStateGuard& operator=(const DialogAppStateGuard&) = delete;

private:
    CWnd* m_mainWnd = nullptr;
    int m_exitCode = 0;
    std::string m_cmdLine;
};

// Runs the dialog modally while the driver works through its steps, and records a test failure
// when the steps did not all run; returns what DoModal returned.
INT_PTR DialogRunDriven(CDialog& dialog, DialogDriver& driver);

// Removes a quit request from this thread's queue; true (and its exit code) when there was one.
bool DialogDrainQuit(int* exitCode = nullptr);

// True while the dialog object's window exists and is shown.
bool DialogIsUp(const CWnd& dialog);

// A shown top-level dialog window (class #32770) of this thread with this caption, or null.
HWND DialogFindByCaption(const std::string& caption);
// A shown top-level dialog window of this thread owned by `owner`, or null.
HWND DialogFindOwnedBy(HWND owner);
// The texts of a window's direct children, in z-order (a message box's text is among them).
std::vector<std::string> DialogChildTexts(HWND window);

// A button click as the button reports it to its dialog (WM_COMMAND, BN_CLICKED), posted so
// that a handler opening a modal dialog runs in the loop and not inside the step.
void DialogPostClick(HWND dialog, int id);
// A key press (WM_KEYDOWN) posted to a window, as the keyboard would deliver it.
void DialogPostKey(HWND window, UINT virtualKey);
// A check box clicked as the user would (BM_CLICK): an auto check box toggles.
void DialogClickCheckBox(HWND dialog, int id);
int DialogCheckState(HWND dialog, int id);
std::string DialogItemText(HWND dialog, int id);
void DialogSetItemText(HWND dialog, int id, const std::string& text);

// The action that an Action dialog's six controls show; and the controls set to show one.
EventAction ActionDialogControls(HWND action);
void SetActionDialogControls(HWND action, const EventAction& shown);
// How a failed comparison shows an action.
void PrintTo(const EventAction& action, std::ostream* out);
