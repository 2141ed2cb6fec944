// The dialog driver and its window helpers; see dialog_driver.h.
#include "tests/wine/dialog_driver.h"

#include "framework/win_app.h"
#include "framework/wnd.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr UINT TICK_MS = 20;
// After the deadline the dialogs are cancelled; this much later a quit request ends the runs.
constexpr DWORD QUIT_GRACE_MS = 3000;

// One driver ticks at a time: its steps run in whatever loop is current.
DialogDriver* g_activeDriver = nullptr;

bool IsDialogClass(HWND window) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return std::string(name) == "#32770";
}

template <class Predicate> HWND FindThreadWindow(Predicate predicate) {
    struct Search {
        Predicate* predicate;
        HWND found;
    } search{&predicate, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (::IsWindowVisible(window) && IsDialogClass(window) && (*s->predicate)(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

DialogDriver::DialogDriver(DWORD deadlineMs) : m_deadlineMs(deadlineMs) {}

DialogDriver::~DialogDriver() {
    Stop();
}

DialogDriver& DialogDriver::Then(std::function<void()> action) {
    m_steps.push_back(
        Step{"action " + std::to_string(m_steps.size() + 1), [action = std::move(action)] {
                 action();
                 return true;
             }});
    return *this;
}

DialogDriver& DialogDriver::WaitUntil(std::string what, std::function<bool()> condition) {
    m_steps.push_back(Step{std::move(what), std::move(condition)});
    return *this;
}

DialogDriver& DialogDriver::Pause(DWORD ms) {
    auto started = std::make_shared<DWORD>(0);
    auto armed = std::make_shared<bool>(false);
    m_steps.push_back(Step{"pause of " + std::to_string(ms) + " ms", [=] {
                               if (!*armed) {
                                   *armed = true;
                                   *started = ::GetTickCount();
                               }
                               return ::GetTickCount() - *started >= ms;
                           }});
    return *this;
}

void DialogDriver::Start() {
    Stop();
    m_next = 0;
    m_timedOut = false;
    m_postedQuit = false;
    m_failedStep.clear();
    m_startTick = ::GetTickCount();
    g_activeDriver = this;
    m_timer = ::SetTimer(nullptr, 0, TICK_MS, &DialogDriver::OnTick);
}

void DialogDriver::Stop() {
    if (m_timer != 0) {
        ::KillTimer(nullptr, m_timer);
        m_timer = 0;
    }
    if (g_activeDriver == this)
        g_activeDriver = nullptr;
    if (m_postedQuit) {
        DialogDrainQuit();
        m_postedQuit = false;
    }
}

std::string DialogDriver::Failure() const {
    if (m_timedOut)
        return "timed out at step " + m_failedStep;
    if (!Done())
        return "stopped before step " + m_steps[m_next].what;
    return std::string();
}

void CALLBACK DialogDriver::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_activeDriver != nullptr)
        g_activeDriver->Tick();
}

void DialogDriver::Tick() {
    if (::GetTickCount() - m_startTick > m_deadlineMs) {
        Rescue();
        return;
    }
    // A step that is still running (its action waits in a nested loop) is not re-entered.
    if (m_inStep || Done())
        return;
    m_inStep = true;
    const bool finished = m_steps[m_next].poll();
    m_inStep = false;
    if (finished)
        ++m_next;
}

void DialogDriver::Rescue() {
    if (!m_timedOut) {
        m_timedOut = true;
        m_failedStep = Done() ? "(after the last step)" : m_steps[m_next].what;
    }
    // An open pop-up menu of the thread runs a loop of its own: it goes first.
    ::EndMenu();
    // Every dialog of the thread is cancelled, innermost and outermost alike.
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (IsDialogClass(window))
                ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return TRUE;
        },
        0);
    if (!m_postedQuit && ::GetTickCount() - m_startTick > m_deadlineMs + QUIT_GRACE_MS) {
        m_postedQuit = true;
        ::PostQuitMessage(0);
    }
}

DialogAppStateGuard::DialogAppStateGuard() {
    if (CWinApp* app = AfxGetApp()) {
        m_mainWnd = app->m_pMainWnd;
        m_exitCode = app->m_nExitCode;
        m_cmdLine = app->m_strCmdLine;
    }
}

DialogAppStateGuard::~DialogAppStateGuard() {
    if (CWinApp* app = AfxGetApp()) {
        app->m_pMainWnd = m_mainWnd;
        app->m_nExitCode = m_exitCode;
        app->m_strCmdLine = m_cmdLine;
    }
}

INT_PTR DialogRunDriven(CDialog& dialog, DialogDriver& driver) {
    driver.Start();
    const INT_PTR result = dialog.DoModal();
    driver.Stop();
    EXPECT_TRUE(driver.Done() && !driver.TimedOut()) << driver.Failure();
    return result;
}

bool DialogDrainQuit(int* exitCode) {
    MSG msg;
    bool found = false;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        found = true;
        if (exitCode != nullptr)
            *exitCode = static_cast<int>(msg.wParam);
    }
    return found;
}

bool DialogIsUp(const CWnd& dialog) {
    return dialog.m_hWnd != nullptr && ::IsWindow(dialog.m_hWnd) &&
           ::IsWindowVisible(dialog.m_hWnd);
}

HWND DialogFindByCaption(const std::string& caption) {
    return FindThreadWindow([&](HWND window) { return WindowTextOf(window) == caption; });
}

HWND DialogFindOwnedBy(HWND owner) {
    return FindThreadWindow([&](HWND window) { return ::GetWindow(window, GW_OWNER) == owner; });
}

std::vector<std::string> DialogChildTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT))
        texts.push_back(WindowTextOf(child));
    return texts;
}

void DialogPostClick(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void DialogPostKey(HWND window, UINT virtualKey) {
    const UINT scanCode = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scanCode) << 16));
}

void DialogClickCheckBox(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int DialogCheckState(HWND dialog, int id) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

std::string DialogItemText(HWND dialog, int id) {
    return WindowTextOf(::GetDlgItem(dialog, id));
}

void DialogSetItemText(HWND dialog, int id, const std::string& text) {
    ::SetDlgItemTextA(dialog, id, text.c_str());
}

EventAction ActionDialogControls(HWND action) {
    return {DialogCheckState(action, IDC_LAUNCH_CHECK), DialogItemText(action, IDC_LAUNCH_PATH),
            DialogCheckState(action, IDC_SOUND_CHECK),  DialogItemText(action, IDC_SOUND_PATH),
            DialogCheckState(action, IDC_LOG_CHECK),    DialogItemText(action, IDC_LOG_PATH),
            DialogCheckState(action, IDC_NOTIFY_CHECK)};
}

void SetActionDialogControls(HWND action, const EventAction& shown) {
    ::CheckDlgButton(action, IDC_LAUNCH_CHECK, static_cast<UINT>(shown.bLaunch));
    DialogSetItemText(action, IDC_LAUNCH_PATH, shown.strLaunchPath);
    ::CheckDlgButton(action, IDC_SOUND_CHECK, static_cast<UINT>(shown.bPlaySound));
    DialogSetItemText(action, IDC_SOUND_PATH, shown.strSoundPath);
    ::CheckDlgButton(action, IDC_LOG_CHECK, static_cast<UINT>(shown.bLog));
    DialogSetItemText(action, IDC_LOG_PATH, shown.strLogPath);
    ::CheckDlgButton(action, IDC_NOTIFY_CHECK, static_cast<UINT>(shown.bNotify));
}

void PrintTo(const EventAction& action, std::ostream* out) {
    *out << "{launch " << action.bLaunch << " \"" << action.strLaunchPath << "\", sound "
         << action.bPlaySound << " \"" << action.strSoundPath << "\", log " << action.bLog << " \""
         << action.strLogPath << "\", notify " << action.bNotify << "}";
}
