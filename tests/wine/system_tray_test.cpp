// The tray icon in the Wine virtual desktop's notification area: the icon is really added,
// changed and deleted (the shell is asked whether it still holds it), its record is what the
// shell was given, and clicks on the icon, delivered by the taskbar itself, reach the parent
// window or, without one, the class's own callback handling.
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/widget_messages.h"
#include "tests/wine/widget_tray_probe.h"
#include "tray/system_tray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT ICON_ID = 192;
constexpr UINT CALLBACK_MESSAGE = 1125;

HICON ResourceIcon(UINT id) {
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
}

// A window that notes the commands it receives.
class CommandWindow : public CWnd {
public:
    BOOL Create() { return CreateEx(0, "tray test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<WPARAM> commands;
};

// A tray icon that notes every call of its callback handling and passes it on.
class RecordingTray : public CSystemTray {
public:
    struct Call {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Call> calls;

protected:
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam) override {
        calls.push_back(Call{wParam, lParam});
        return CSystemTray::OnTrayNotify(wParam, lParam);
    }
};

class SystemTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TrayTaskbarWindow(), nullptr) << "no notification area: not in a virtual desktop";
        ASSERT_TRUE(m_parent.Create());
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    // Clicks the icon of `owner` through the taskbar; true when the owner was told.
    bool ClickThroughTaskbar(HWND owner, UINT mouseMessage, WidgetMessageRecorder& recorder) {
        POINT where = {};
        if (!TrayFindIcon(owner, recorder, &where))
            return false;
        const int before = recorder.Count(owner, static_cast<LPARAM>(mouseMessage));
        TrayPostMouse(where, mouseMessage);
        return WidgetPumpUntil(
            [&] { return recorder.Count(owner, static_cast<LPARAM>(mouseMessage)) > before; },
            2000);
    }

    DialogAppStateGuard m_appState;
    CommandWindow m_parent;
};

TEST_F(SystemTrayTest, CreateWithAParentAddsTheIconWithItsWholeRecord) {
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(&m_parent, CALLBACK_MESSAGE, "Tarnwell", ResourceIcon(IDI_TRAY_WAITING),
                            ICON_ID));
    EXPECT_TRUE(tray.State().IsIconAdded());
    EXPECT_TRUE(TrayIconExists(m_parent.m_hWnd, ICON_ID));
    EXPECT_FALSE(TrayIconExists(m_parent.m_hWnd, ICON_ID + 1));

    const TrayIconRecord& record = tray.State().Record();
    // The second layout of the record, as the platform sizes it: a tooltip of 128 bytes and
    // balloons; the shell reports with the callback of NOTIFYICON_VERSION.
    EXPECT_EQ(record.cbSize, static_cast<uint32_t>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(record.uVersion, static_cast<uint32_t>(NOTIFYICON_VERSION));
    EXPECT_TRUE(tray.State().ReportsContextMenu());
    EXPECT_EQ(record.hWnd, reinterpret_cast<uintptr_t>(m_parent.m_hWnd));
    EXPECT_EQ(record.uID, ICON_ID);
    EXPECT_EQ(record.uCallbackMessage, CALLBACK_MESSAGE);
    EXPECT_EQ(record.hIcon, reinterpret_cast<uintptr_t>(ResourceIcon(IDI_TRAY_WAITING)));
    EXPECT_STREQ(record.szTip, "Tarnwell");

    // The hidden window exists beside the parent: never shown, 10 x 10, a pop-up.
    ASSERT_NE(tray.m_hWnd, nullptr);
    EXPECT_NE(tray.m_hWnd, m_parent.m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(tray.m_hWnd));
    EXPECT_TRUE(tray.GetStyle() & WS_POPUP);
    RECT frame;
    ::GetWindowRect(tray.m_hWnd, &frame);
    EXPECT_EQ(frame.right - frame.left, 10);
    EXPECT_EQ(frame.bottom - frame.top, 10);
}

TEST_F(SystemTrayTest, IconsAndTooltipsChangeWhileTheIconExists) {
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(&m_parent, CALLBACK_MESSAGE, "Hide", nullptr, ICON_ID));
    for (UINT id : {IDI_TRAY_ALIVE, IDI_TRAY_DEAD, IDI_TRAY_WAITING}) {
        SCOPED_TRACE("icon " + std::to_string(id));
        ASSERT_NE(ResourceIcon(id), nullptr);
        EXPECT_TRUE(tray.SetIcon(id));
        EXPECT_EQ(tray.IconResourceId(), id);
        EXPECT_NE(tray.State().Record().hIcon, 0u);
        EXPECT_EQ(tray.State().Record().uFlags, static_cast<uint32_t>(NIF_ICON));
    }
    EXPECT_TRUE(tray.SetTooltip("Show www.example.com"));
    EXPECT_STREQ(tray.State().Record().szTip, "Show www.example.com");
    EXPECT_EQ(tray.State().Record().uFlags, static_cast<uint32_t>(NIF_TIP));

    // A tooltip longer than the record holds is cut to its first 127 characters.
    std::string longText = "Hide ";
    while (longText.size() < 200)
        longText += static_cast<char>('a' + longText.size() % 26);
    EXPECT_TRUE(tray.SetTooltip(longText.c_str()));
    EXPECT_EQ(std::string(tray.State().Record().szTip), longText.substr(0, 127));
    EXPECT_EQ(std::strlen(tray.State().Record().szTip), 127u);
    EXPECT_TRUE(TrayIconExists(m_parent.m_hWnd, ICON_ID));

    // A missing icon resource gives an empty icon; the icon stays in the notification area.
    tray.SetIcon(9999u);
    EXPECT_EQ(tray.State().Record().hIcon, 0u);
    EXPECT_TRUE(TrayIconExists(m_parent.m_hWnd, ICON_ID));
}

TEST_F(SystemTrayTest, DestroyingTheObjectDeletesTheIconAndItsHiddenWindow) {
    HWND hidden = nullptr;
    {
        CSystemTray tray;
        ASSERT_TRUE(tray.Create(&m_parent, CALLBACK_MESSAGE, "Hide", ResourceIcon(IDI_TRAY_WAITING),
                                ICON_ID));
        hidden = tray.m_hWnd;
        ASSERT_TRUE(TrayIconExists(m_parent.m_hWnd, ICON_ID));
    }
    EXPECT_TRUE(::IsWindow(m_parent.m_hWnd));
    EXPECT_FALSE(TrayIconExists(m_parent.m_hWnd, ICON_ID));
    EXPECT_FALSE(TrayDeleteIcon(m_parent.m_hWnd, ICON_ID));
    EXPECT_FALSE(::IsWindow(hidden));
}

// A click delivered by the taskbar goes to the parent and not to the tray object; without a
// parent, the icon's record names the hidden window and the click reaches OnTrayNotify.
TEST_F(SystemTrayTest, ATaskbarClickGoesToTheParentElseToOnTrayNotify) {
    for (const bool parent : {true, false}) {
        SCOPED_TRACE(parent ? "a parent" : "no parent");
        WidgetMessageRecorder recorder(CALLBACK_MESSAGE);
        RecordingTray tray;
        ASSERT_TRUE(tray.Create(parent ? &m_parent : nullptr, CALLBACK_MESSAGE, "Hide",
                                ResourceIcon(IDI_TRAY_WAITING), ICON_ID));
        const HWND told = parent ? m_parent.m_hWnd : tray.m_hWnd;
        ASSERT_NE(told, nullptr);
        EXPECT_EQ(tray.State().Record().hWnd, reinterpret_cast<uintptr_t>(told));
        EXPECT_TRUE(TrayIconExists(told, ICON_ID));
        ASSERT_TRUE(ClickThroughTaskbar(told, WM_LBUTTONDOWN, recorder));
        bool sawPress = false;
        for (const WidgetMessage& seen : recorder.Seen()) {
            EXPECT_EQ(seen.window, told);
            EXPECT_EQ(seen.wParam, ICON_ID);
            sawPress = sawPress || seen.lParam == WM_LBUTTONDOWN;
        }
        EXPECT_TRUE(sawPress);
        bool handledPress = false;
        for (const RecordingTray::Call& call : tray.calls) {
            EXPECT_EQ(call.wParam, ICON_ID);
            handledPress = handledPress || call.lParam == WM_LBUTTONDOWN;
        }
        EXPECT_EQ(handledPress, !parent) << "the click reached OnTrayNotify";
        EXPECT_EQ(tray.calls.empty(), parent);
    }
}

TEST_F(SystemTrayTest, TheDefaultCallbackHandlingAnswersByIconAndMouseMessage) {
    RecordingTray tray;
    ASSERT_TRUE(
        tray.Create(nullptr, CALLBACK_MESSAGE, "Hide", ResourceIcon(IDI_TRAY_WAITING), ICON_ID));
    AfxGetApp()->m_pMainWnd = &m_parent;
    auto notify = [&](WPARAM id, LPARAM mouse) {
        return ::SendMessageA(tray.m_hWnd, CALLBACK_MESSAGE, id, mouse);
    };
    struct Case {
        const char* name;
        WPARAM id;
        LPARAM mouse;
        LRESULT answer;
    };
    // The decisions are the native tests'; here the answers of the real window. There is no
    // menu 192: a right-button release and a double click by position find none.
    const Case cases[] = {
        {"another icon", ICON_ID + 1, WM_LBUTTONDOWN, 0},
        {"left press", ICON_ID, WM_LBUTTONDOWN, 1},
        {"right release, no menu", ICON_ID, WM_RBUTTONUP, 0},
        {"double click by position, no menu", ICON_ID, WM_LBUTTONDBLCLK, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tray.calls.clear();
        EXPECT_EQ(notify(c.id, c.mouse), c.answer);
        ASSERT_EQ(tray.calls.size(), 1u);
        EXPECT_EQ(tray.calls[0].wParam, c.id);
        EXPECT_EQ(tray.calls[0].lParam, c.mouse);
    }
    EXPECT_TRUE(m_parent.commands.empty());

    // With a command id as the default item, a double click sends it to the main window.
    tray.SetMenuDefaultItem(4242, FALSE);
    EXPECT_EQ(notify(ICON_ID, WM_LBUTTONDBLCLK), 1);
    ASSERT_EQ(m_parent.commands.size(), 1u);
    EXPECT_EQ(m_parent.commands[0], 4242u);

    // Other messages of the hidden window are not callbacks.
    tray.calls.clear();
    ::SendMessageA(tray.m_hWnd, WM_USER + 7, ICON_ID, WM_LBUTTONDOWN);
    EXPECT_TRUE(tray.calls.empty());
}

} // namespace
