// The tray icon's animation: stepping through the icon list, the timer tick's stop rule and
// putting the saved icon back.
#include "fake_tray_shell.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

constexpr uintptr_t RESTING_ICON = 0x7000;
constexpr uint32_t TIMER = 7;
constexpr uint32_t INTERVAL_MS = 250;
constexpr double START = 1000.0;
const std::vector<uintptr_t> ICONS = {0x7101, 0x7102, 0x7103};

class TrayAnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tray.Create(6, 88, 0x1234, 1125, "Hide", RESTING_ICON, 192));
        shell.calls.clear();
    }
    void Start(int32_t seconds) {
        ASSERT_TRUE(tray.StartAnimation(ICONS, START, seconds, TIMER, INTERVAL_MS));
        shell.calls.clear();
    }

    FakeTrayShell shell;
    TrayIconState tray{shell};
};

TEST_F(TrayAnimationTest, StartShowsTheFirstIconSavesTheCurrentOneAndSetsTheTimer) {
    ASSERT_TRUE(tray.StartAnimation(ICONS, START, 5, TIMER, INTERVAL_MS));
    EXPECT_EQ(shell.IconsShown(), std::vector<uintptr_t>{ICONS[0]});
    EXPECT_EQ(tray.IconBeforeAnim(), RESTING_ICON);
    EXPECT_EQ(tray.AnimTimer(), TIMER);
    EXPECT_EQ(tray.AnimFrame(), 0);
    ASSERT_EQ(shell.calls.back().kind, ShellCall::StartTimer);
    EXPECT_EQ(shell.calls.back().operation, TIMER);
}

// A start with no icons or with timer zero is refused and calls nothing; one whose timer cannot
// be set puts the icon back without killing anything.
TEST_F(TrayAnimationTest, AFailedStartLeavesNoAnimation) {
    EXPECT_FALSE(tray.StartAnimation({}, START, 5, TIMER, INTERVAL_MS));
    EXPECT_FALSE(tray.StartAnimation(ICONS, START, 5, 0, INTERVAL_MS));
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(tray.AnimTimer(), 0u);
    shell.setTimerResult = false;
    EXPECT_FALSE(tray.StartAnimation(ICONS, START, 5, TIMER, INTERVAL_MS));
    EXPECT_EQ(shell.IconsShown(), (std::vector<uintptr_t>{ICONS[0], RESTING_ICON}));
    for (const ShellCall& call : shell.calls) {
        EXPECT_NE(call.kind, ShellCall::StopTimer);
    }
    EXPECT_EQ(tray.AnimTimer(), 0u);
    EXPECT_EQ(tray.IconBeforeAnim(), 0u);
}

TEST_F(TrayAnimationTest, RestartingKeepsTheIconFromBeforeTheFirstAnimation) {
    Start(0);
    const std::vector<uintptr_t> others = {0x7201, 0x7202};
    ASSERT_TRUE(tray.StartAnimation(others, START, 0, TIMER, INTERVAL_MS));
    EXPECT_EQ(tray.IconBeforeAnim(), RESTING_ICON);
    // The old timer goes before the new one is set, so reusing its id is safe.
    ASSERT_GE(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls.front().kind, ShellCall::StopTimer);
    EXPECT_EQ(shell.calls.back().kind, ShellCall::StartTimer);
    EXPECT_TRUE(tray.StopAnimation());
    EXPECT_EQ(shell.IconsShown().back(), RESTING_ICON);
}

TEST_F(TrayAnimationTest, AdvanceStepsThroughTheListAndWrapsToTheFirst) {
    Start(0);
    EXPECT_TRUE(tray.AdvanceAnimation());
    EXPECT_TRUE(tray.AdvanceAnimation());
    EXPECT_EQ(tray.AnimFrame(), 2);
    EXPECT_TRUE(tray.AdvanceAnimation());
    EXPECT_EQ(tray.AnimFrame(), 0);
    EXPECT_EQ(shell.IconsShown(), (std::vector<uintptr_t>{ICONS[1], ICONS[2], ICONS[0]}));
}

// A tick at exactly the length still advances; one past it stops and puts the icon back.
TEST_F(TrayAnimationTest, ATickPastTheLengthStopsAndPutsTheIconBack) {
    Start(5);
    tray.OnTimer(START + 5.0);
    EXPECT_EQ(shell.IconsShown(), std::vector<uintptr_t>{ICONS[1]});
    EXPECT_EQ(tray.AnimTimer(), TIMER);
    shell.calls.clear();
    tray.OnTimer(START + 5.5);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].kind, ShellCall::StopTimer);
    EXPECT_EQ(shell.calls[0].operation, TIMER);
    EXPECT_EQ(shell.IconsShown(), std::vector<uintptr_t>{RESTING_ICON});
    EXPECT_EQ(tray.AnimTimer(), 0u);
    EXPECT_EQ(tray.IconBeforeAnim(), 0u);
}

TEST_F(TrayAnimationTest, ZeroOrNegativeLengthNeverStopsByItself) {
    for (int32_t seconds : {0, -1}) {
        Start(seconds);
        tray.OnTimer(START + 1e9);
        EXPECT_EQ(tray.AnimTimer(), TIMER) << seconds;
        EXPECT_EQ(shell.IconsShown(), std::vector<uintptr_t>{ICONS[1]}) << seconds;
        ASSERT_TRUE(tray.StopAnimation());
    }
}

TEST_F(TrayAnimationTest, AClockThatCannotBeReadCountsAsNoTimeElapsed) {
    Start(5);
    tray.OnTimer(std::nullopt);
    EXPECT_EQ(tray.AnimTimer(), TIMER);
    ASSERT_TRUE(tray.StartAnimation(ICONS, std::nullopt, 5, TIMER, INTERVAL_MS));
    tray.OnTimer(START + 1e9);
    EXPECT_EQ(tray.AnimTimer(), TIMER);
    EXPECT_EQ(tray.AnimFrame(), 1);
}

TEST_F(TrayAnimationTest, StopReportsTheTimerKill) {
    Start(0);
    shell.killTimerResult = false;
    EXPECT_FALSE(tray.StopAnimation());
    EXPECT_EQ(shell.IconsShown(), std::vector<uintptr_t>{RESTING_ICON});
    EXPECT_EQ(tray.AnimTimer(), 0u);
}

// With no animation (none yet, or one stopped), an advance and a stop change nothing.
TEST_F(TrayAnimationTest, WithNoAnimationAdvanceAndStopDoNothing) {
    EXPECT_FALSE(tray.AdvanceAnimation());
    EXPECT_EQ(tray.AnimFrame(), 0);
    EXPECT_EQ(tray.Record().hIcon, RESTING_ICON);
    EXPECT_FALSE(tray.StopAnimation());
    EXPECT_TRUE(shell.calls.empty());
    Start(0);
    ASSERT_TRUE(tray.StopAnimation());
    shell.calls.clear();
    EXPECT_FALSE(tray.StopAnimation());
    EXPECT_TRUE(shell.calls.empty());
}

TEST(TrayAnimationLifetime, DestructionDeletesTheIconAndLeavesTheTimerToTheWindow) {
    FakeTrayShell shell;
    {
        TrayIconState tray(shell);
        ASSERT_TRUE(tray.Create(6, 88, 0x1234, 1125, "Hide", RESTING_ICON, 192));
        ASSERT_TRUE(tray.StartAnimation(ICONS, START, 0, TIMER, INTERVAL_MS));
        tray.Release();
        EXPECT_TRUE(tray.AnimIcons().empty());
        shell.calls.clear();
    }
    EXPECT_TRUE(shell.calls.empty());
}

} // namespace
