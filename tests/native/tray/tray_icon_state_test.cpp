// The tray icon's shell calls: what Create, SetIcon, SetTooltip and RemoveIcon send, and that
// nothing reaches the shell while the icon is not in the notification area.
#include "fake_tray_shell.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr uint32_t VERSION = 6;
constexpr uint32_t RECORD_SIZE = 88;
constexpr uintptr_t PARENT = 0x1234;
constexpr uint32_t CALLBACK_MESSAGE = 1125;
constexpr uintptr_t FIRST_ICON = 0x7001;
constexpr uint32_t ICON_ID = 192;

class TrayIconStateTest : public ::testing::Test {
protected:
    bool CreateWithParent() {
        return tray.Create(VERSION, RECORD_SIZE, PARENT, CALLBACK_MESSAGE, "Hide", FIRST_ICON,
                           ICON_ID);
    }

    FakeTrayShell shell;
    TrayIconState tray{shell};
};

TEST_F(TrayIconStateTest, CreateMakesTheHiddenWindowThenAddsTheWholeRecord) {
    ASSERT_TRUE(CreateWithParent());
    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[0].kind, ShellCall::MakeWindow);
    // Then the version whose callback reports the context menu and balloon clicks.
    EXPECT_EQ(shell.calls[2].operation, NIM_SETVERSION);
    EXPECT_EQ(shell.calls[2].record.uVersion, NOTIFYICON_VERSION);
    EXPECT_TRUE(tray.ReportsContextMenu());
    const ShellCall& add = shell.calls[1];
    EXPECT_EQ(add.kind, ShellCall::Notify);
    EXPECT_EQ(add.operation, NIM_ADD);
    EXPECT_EQ(add.record.cbSize, RECORD_SIZE);
    EXPECT_EQ(add.record.hWnd, PARENT);
    EXPECT_EQ(add.record.uID, ICON_ID);
    EXPECT_EQ(add.record.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(add.record.uCallbackMessage, CALLBACK_MESSAGE);
    EXPECT_EQ(add.record.hIcon, FIRST_ICON);
    EXPECT_STREQ(add.record.szTip, "Hide");
    EXPECT_TRUE(tray.IsIconAdded());
    EXPECT_TRUE(tray.IsCallbackMessage(CALLBACK_MESSAGE));
    EXPECT_FALSE(tray.IsCallbackMessage(CALLBACK_MESSAGE + 1));
}

TEST_F(TrayIconStateTest, WithoutParentTheCallbackGoesToTheHiddenWindow) {
    ASSERT_TRUE(tray.Create(VERSION, RECORD_SIZE, 0, CALLBACK_MESSAGE, "", 0, ICON_ID));
    EXPECT_EQ(shell.NotifyCalls().at(0).record.hWnd, shell.hiddenWindow);
    EXPECT_EQ(shell.NotifyCalls().at(0).record.hIcon, 0u);
}

// Before Create, or after one refused by a platform too old: no window, no icon, no calls.
TEST_F(TrayIconStateTest, OldPlatformGetsNoWindowNoIconAndNoLaterCalls) {
    EXPECT_FALSE(tray.SetIcon(FIRST_ICON));
    EXPECT_FALSE(tray.SetTooltip("Hide"));
    tray.RemoveIcon();
    EXPECT_FALSE(tray.Create(TrayIconState::FIRST_TRAY_VERSION - 1, RECORD_SIZE, PARENT,
                             CALLBACK_MESSAGE, "Hide", FIRST_ICON, ICON_ID));
    EXPECT_FALSE(tray.IsIconAdded());
    EXPECT_FALSE(tray.SetIcon(FIRST_ICON));
    EXPECT_FALSE(tray.SetTooltip("Show host"));
    tray.Release();
    EXPECT_TRUE(shell.calls.empty());
}

// Explorer busy at logon times the add out, though the icon may appear all the same: the next
// change of picture or tooltip adds the whole record again (or, where the icon did appear,
// sends it as a change), and the end deletes the icon whether or not an add was confirmed.
TEST_F(TrayIconStateTest, AFailedAddIsTriedAgainAtTheNextChangeAndDeletedAtTheEnd) {
    shell.notifyResult = false;
    EXPECT_FALSE(CreateWithParent());
    EXPECT_FALSE(tray.SetTooltip("Show host"));
    shell.notifyResult = true;
    EXPECT_TRUE(tray.SetIcon(FIRST_ICON + 1));
    EXPECT_TRUE(tray.IsIconAdded());
    const auto notifies = shell.NotifyCalls();
    ASSERT_EQ(notifies.size(), 4u);
    EXPECT_EQ(notifies[1].operation, NIM_ADD);
    EXPECT_EQ(notifies[2].operation, NIM_MODIFY); // for a taskbar that has the icon after all
    EXPECT_EQ(notifies[2].record.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(notifies[3].operation, NIM_ADD);
    EXPECT_EQ(notifies[3].record.hIcon, FIRST_ICON + 1);
    EXPECT_STREQ(notifies[3].record.szTip, "Show host");
}

// Destroying the object deletes its icon once, an icon whose add failed all the same; one never
// created calls nothing.
TEST(TrayIconStateLifetime, DestroyingDeletesTheIconOnceWhetherOrNotItsAddSucceeded) {
    for (const bool added : {true, false}) {
        FakeTrayShell shell;
        shell.notifyResult = added;
        {
            TrayIconState tray(shell);
            EXPECT_EQ(added, tray.Create(VERSION, RECORD_SIZE, PARENT, CALLBACK_MESSAGE, "Hide",
                                         FIRST_ICON, ICON_ID));
        }
        const auto notifies = shell.NotifyCalls();
        ASSERT_EQ(notifies.size(), 2u) << added;
        EXPECT_EQ(notifies[1].operation, NIM_DELETE);
        EXPECT_EQ(notifies[1].record.uFlags, 0u);
        EXPECT_EQ(notifies[1].record.hWnd, PARENT);
        EXPECT_EQ(notifies[1].record.uID, ICON_ID);
    }
    FakeTrayShell shell;
    { TrayIconState tray(shell); }
    EXPECT_TRUE(shell.calls.empty()) << "never created";
}

// A second Create removes the first icon; RemoveIcon deletes once, then the modifiers refuse.
TEST_F(TrayIconStateTest, RemoveIconDeletesOnceThenModifiersRefuse) {
    ASSERT_TRUE(CreateWithParent());
    ASSERT_TRUE(CreateWithParent());
    tray.RemoveIcon();
    tray.RemoveIcon();
    EXPECT_FALSE(tray.IsIconAdded());
    EXPECT_FALSE(tray.SetIcon(FIRST_ICON));
    EXPECT_FALSE(tray.SetTooltip("Hide"));
    const auto notifies = shell.NotifyCalls();
    ASSERT_EQ(notifies.size(), 4u);
    EXPECT_EQ(notifies[1].operation, NIM_DELETE);
    EXPECT_EQ(notifies[2].operation, NIM_ADD);
    EXPECT_EQ(notifies[3].operation, NIM_DELETE);
}

TEST_F(TrayIconStateTest, ANewTaskbarGetsTheIconAgainAsItIsNow) {
    EXPECT_FALSE(tray.AddAgain()) << "before Create";
    shell.notifyResult = false;
    ASSERT_FALSE(CreateWithParent()); // no taskbar yet
    EXPECT_TRUE(shell.VersionCalls().empty());
    EXPECT_FALSE(tray.ReportsContextMenu());
    // What the window shows meanwhile waits in the record for the taskbar.
    EXPECT_FALSE(tray.SetIcon(0x7001));
    EXPECT_FALSE(tray.SetTooltip("Hide host"));
    shell.notifyResult = true;
    ASSERT_TRUE(tray.AddAgain());
    EXPECT_EQ(shell.NotifyCalls().back().record.hIcon, 0x7001u);
    EXPECT_STREQ(shell.NotifyCalls().back().record.szTip, "Hide host");
    ASSERT_TRUE(tray.SetIcon(0x7002));
    ASSERT_TRUE(tray.SetTooltip("Show host"));
    ASSERT_TRUE(tray.AddAgain());
    const ShellCall add = shell.NotifyCalls().back();
    EXPECT_EQ(add.operation, NIM_ADD);
    EXPECT_EQ(add.record.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(add.record.hIcon, 0x7002u);
    EXPECT_STREQ(add.record.szTip, "Show host");
    EXPECT_EQ(shell.calls.back().operation, NIM_SETVERSION) << "the new taskbar is told too";
    EXPECT_TRUE(tray.ReportsContextMenu());
    tray.RemoveIcon();
    EXPECT_FALSE(tray.ReportsContextMenu());
    EXPECT_FALSE(tray.AddAgain()) << "after RemoveIcon";
    EXPECT_EQ(shell.NotifyCalls().back().operation, NIM_DELETE);
}

// A change sends only what changed, in the whole record as it is now: the icon (passing on the
// shell's answer), or the tip.
TEST_F(TrayIconStateTest, SetIconAndSetTooltipSendOnlyWhatChanged) {
    ASSERT_TRUE(CreateWithParent());
    const uintptr_t next = FIRST_ICON + 1;
    EXPECT_TRUE(tray.SetIcon(next));
    EXPECT_TRUE(tray.SetTooltip("Show example.org"));
    shell.notifyResult = false;
    EXPECT_FALSE(tray.SetIcon(next + 1));
    const auto notifies = shell.NotifyCalls();
    ASSERT_EQ(notifies.size(), 4u);
    EXPECT_EQ(notifies[1].operation, NIM_MODIFY);
    EXPECT_EQ(notifies[1].record.uFlags, NIF_ICON);
    EXPECT_EQ(notifies[1].record.hIcon, next);
    EXPECT_EQ(notifies[1].record.hWnd, PARENT);
    EXPECT_EQ(notifies[1].record.uID, ICON_ID);
    EXPECT_STREQ(notifies[1].record.szTip, "Hide");
    EXPECT_EQ(notifies[2].operation, NIM_MODIFY);
    EXPECT_EQ(notifies[2].record.uFlags, NIF_TIP);
    EXPECT_STREQ(notifies[2].record.szTip, "Show example.org");
    EXPECT_EQ(notifies[2].record.hIcon, next);
}

// A balloon is the record's title, text and flags with NIF_INFO alone; an icon that cannot be
// added now shows none, and none is kept for a taskbar that comes later.
TEST_F(TrayIconStateTest, BalloonsSendTitleTextAndFlagsOnlyWhileTheIconIsThere) {
    shell.notifyResult = false;
    ASSERT_FALSE(CreateWithParent());
    EXPECT_FALSE(tray.ShowBalloon("h is alive!", "now", NIIF_INFO));
    for (const ShellCall& call : shell.NotifyCalls())
        EXPECT_NE(call.record.uFlags, NIF_INFO) << "only the adds tried again";
    shell.notifyResult = true;
    ASSERT_TRUE(tray.AddAgain());
    EXPECT_STREQ(shell.NotifyCalls().back().record.szInfo, "") << "no late balloon";
    const std::string longTitle(300, 't');
    EXPECT_TRUE(tray.ShowBalloon(longTitle, std::string(300, 'x'), NIIF_WARNING | NIIF_NOSOUND));
    const ShellCall balloon = shell.NotifyCalls().back();
    EXPECT_EQ(balloon.operation, NIM_MODIFY);
    EXPECT_EQ(balloon.record.uFlags, NIF_INFO);
    EXPECT_EQ(std::string(balloon.record.szInfoTitle), longTitle.substr(0, 63));
    EXPECT_EQ(std::string(balloon.record.szInfo), std::string(255, 'x'));
    EXPECT_EQ(balloon.record.dwInfoFlags, NIIF_WARNING | NIIF_NOSOUND);
    ASSERT_TRUE(tray.SetTooltip("Hide h"));
    EXPECT_EQ(shell.NotifyCalls().back().record.uFlags, NIF_TIP) << "the balloon is not repeated";
}

TEST_F(TrayIconStateTest, TooltipsAreCutToWhatTheRecordHolds) {
    constexpr size_t room = sizeof(TrayIconRecord{}.szTip) - 1;
    const std::string longHost = "Hide " + std::string(200, 'h');
    ASSERT_TRUE(
        tray.Create(VERSION, RECORD_SIZE, PARENT, CALLBACK_MESSAGE, longHost, FIRST_ICON, ICON_ID));
    EXPECT_EQ(std::string(shell.NotifyCalls().at(0).record.szTip), longHost.substr(0, room));

    const std::string exact(room, 'x');
    ASSERT_TRUE(tray.SetTooltip(exact));
    EXPECT_EQ(std::string(tray.Record().szTip), exact);
    ASSERT_TRUE(tray.SetTooltip(exact + "y"));
    ASSERT_EQ(tray.Record().szTip[room], '\0');
    EXPECT_EQ(std::string(tray.Record().szTip), exact);

    // A shorter tip after a long one keeps nothing of the old text behind its end.
    ASSERT_TRUE(tray.SetTooltip("Hide a"));
    const TrayIconRecord record = shell.NotifyCalls().back().record;
    EXPECT_STREQ(record.szTip, "Hide a");
    for (size_t i = std::strlen("Hide a"); i < sizeof record.szTip; ++i) {
        EXPECT_EQ(record.szTip[i], '\0') << "at " << i;
    }
}

} // namespace
