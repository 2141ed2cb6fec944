// The default callback handling's decision for each (icon id, mouse message) pair.
#include "fake_tray_shell.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t ICON_ID = 192;
constexpr intptr_t WM_LBUTTONDOWN_CODE = 513;
constexpr intptr_t WM_MOUSEMOVE_CODE = 512;

class TrayNotifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tray.Create(6, 88, 0, 1125, "Hide", 0x7000, ICON_ID));
        shell.calls.clear();
    }
    void TearDown() override {
        // Deciding never calls the platform itself.
        tray.Release();
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].kind, ShellCall::Notify);
        EXPECT_EQ(shell.calls[0].operation, NIM_DELETE);
    }

    FakeTrayShell shell;
    TrayIconState tray{shell};
};

TEST_F(TrayNotifyTest, AnotherIconIdIsNotOurs) {
    EXPECT_EQ(tray.OnTrayNotify(ICON_ID + 1, WM_RBUTTONUP).action, TrayNotifyAction::WrongIcon);
    EXPECT_EQ(tray.OnTrayNotify(0, WM_LBUTTONDBLCLK).action, TrayNotifyAction::WrongIcon);
    if constexpr (sizeof(uintptr_t) > sizeof(uint32_t)) {
        // The whole parameter is compared, not just its low 32 bits.
        const uintptr_t highBits = uintptr_t{1} << 32;
        EXPECT_EQ(tray.OnTrayNotify(highBits | ICON_ID, WM_RBUTTONUP).action,
                  TrayNotifyAction::WrongIcon);
    }
}

TEST_F(TrayNotifyTest, OtherMouseMessagesAreIgnored) {
    for (intptr_t message :
         {WM_LBUTTONDOWN_CODE, WM_MOUSEMOVE_CODE, intptr_t{0}, 0x10000 | WM_LBUTTONDOWN_CODE}) {
        EXPECT_EQ(tray.OnTrayNotify(ICON_ID, message).action, TrayNotifyAction::Ignore) << message;
    }
}

TEST_F(TrayNotifyTest, RightButtonReleaseOpensTheIconsMenuWithTheDefaultItem) {
    tray.SetDefaultItem(3, true);
    const TrayNotifyDecision decision = tray.OnTrayNotify(ICON_ID, WM_RBUTTONUP);
    EXPECT_EQ(decision.action, TrayNotifyAction::ContextMenu);
    EXPECT_EQ(decision.menuId, ICON_ID);
    EXPECT_EQ(decision.item, 3u);
    EXPECT_TRUE(decision.itemByPosition);
}

TEST_F(TrayNotifyTest, OnlyTheLowWordOfTheMouseParameterCounts) {
    EXPECT_EQ(tray.OnTrayNotify(ICON_ID, 0x7FFF0000 | intptr_t{WM_RBUTTONUP}).action,
              TrayNotifyAction::ContextMenu);
    // A negative parameter still has its message in the low word.
    EXPECT_EQ(tray.OnTrayNotify(ICON_ID, intptr_t{WM_LBUTTONDBLCLK} - 0x10000).action,
              TrayNotifyAction::CommandAtPosition);
}

TEST_F(TrayNotifyTest, DoubleClickTakesTheCommandAtTheDefaultPositionByDefault) {
    const TrayNotifyDecision decision = tray.OnTrayNotify(ICON_ID, WM_LBUTTONDBLCLK);
    EXPECT_EQ(decision.action, TrayNotifyAction::CommandAtPosition);
    EXPECT_EQ(decision.menuId, ICON_ID);
    EXPECT_EQ(decision.item, 0u);
}

TEST_F(TrayNotifyTest, DoubleClickByCommandSendsTheItemUnchangedWithoutAMenu) {
    const uint32_t command = 0xFFFF8001u;
    tray.SetDefaultItem(command, false);
    const TrayNotifyDecision decision = tray.OnTrayNotify(ICON_ID, WM_LBUTTONDBLCLK);
    EXPECT_EQ(decision.action, TrayNotifyAction::Command);
    EXPECT_EQ(decision.item, command);
    EXPECT_FALSE(decision.itemByPosition);
}

} // namespace
