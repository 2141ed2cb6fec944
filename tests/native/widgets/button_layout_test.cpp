// Tests of the animated button's decisions and draw layout: state rows and outlines, timer
// upkeep, frame stepping, and the points of one owner draw.
#include "widgets/button_layout.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// The 63 x 45 item at (0, 0) with a 13-pixel caption and the 128 x 69 strip of 32 x 23 cells.
ButtonDrawInput SmallItem(uint32_t itemState = 0, bool hover = false) {
    ButtonDrawInput in;
    in.item = {0, 0, 63, 45};
    in.captionCx = 20;
    in.captionCy = 13;
    in.frameWidth = 32;
    in.rowHeight = 23;
    in.imageWidth = 128;
    in.imageHeight = 69;
    in.itemState = itemState;
    in.hover = hover;
    return in;
}

TEST(ButtonLook, StateRowAndOutlineFollowTheItemStateAndHover) {
    struct Case {
        uint32_t state;
        bool hover;
        int32_t row;
        bool pressed;
        bool disabledLook;
        ButtonOutline outline;
    };
    const uint32_t sel = ITEM_STATE_SELECTED;
    const uint32_t dis = ITEM_STATE_DISABLED;
    const uint32_t foc = ITEM_STATE_FOCUS;
    const Case cases[] = {
        {0, false, 0, false, false, ButtonOutline::Flat},
        {foc, false, 0, false, false, ButtonOutline::FocusCorners},
        {0, true, 1, false, false, ButtonOutline::Raised},
        {foc, true, 1, false, false, ButtonOutline::Raised},
        {sel, false, 2, true, false, ButtonOutline::Sunken},
        {sel | foc, true, 2, true, false, ButtonOutline::Sunken},
        {dis, true, 1, false, false, ButtonOutline::Raised}, // normal caption, not embossed
        {dis, false, 0, false, true, ButtonOutline::None},
        {dis | foc, false, 0, false, true, ButtonOutline::None},
        {sel | dis, false, 2, true, false, ButtonOutline::Sunken},
    };
    for (const Case& c : cases) {
        const ButtonLook look = ChooseButtonLook(c.state, c.hover);
        EXPECT_EQ(look.stateRow, c.row) << c.state << " hover " << c.hover;
        EXPECT_EQ(look.pressed, c.pressed) << c.state << " hover " << c.hover;
        EXPECT_EQ(look.disabledLook, c.disabledLook) << c.state << " hover " << c.hover;
        EXPECT_EQ(look.outline, c.outline) << c.state << " hover " << c.hover;
    }
}

TEST(ButtonTimer, RunsFromTheMouseEntryUntilRestAfterTheLeave) {
    const uint32_t dis = ITEM_STATE_DISABLED;
    // The mouse enters: the timer starts, pressed or not; it keeps running while hovered.
    EXPECT_EQ(ChooseTimerUpkeep(0, false, 4, true, 0), TimerUpkeep::Start);
    EXPECT_EQ(ChooseTimerUpkeep(ITEM_STATE_SELECTED, false, 4, true, 0), TimerUpkeep::Start);
    EXPECT_EQ(ChooseTimerUpkeep(0, true, 4, true, 0), TimerUpkeep::Keep);
    // The mouse has left: the frames run on to the resting frame, where the timer stops.
    EXPECT_EQ(ChooseTimerUpkeep(0, true, 4, false, 3), TimerUpkeep::Keep);
    EXPECT_EQ(ChooseTimerUpkeep(0, true, 4, false, 0), TimerUpkeep::Stop);
    // A button at rest with the mouse away needs no timer.
    EXPECT_EQ(ChooseTimerUpkeep(0, false, 4, false, 0), TimerUpkeep::Keep);
    // Disabled stops it wherever the frame is, and never starts it.
    EXPECT_EQ(ChooseTimerUpkeep(dis, true, 4, true, 2), TimerUpkeep::Stop);
    EXPECT_EQ(ChooseTimerUpkeep(dis, false, 4, true, 0), TimerUpkeep::Keep);
    // A single frame never needs a timer.
    EXPECT_EQ(ChooseTimerUpkeep(0, false, 1, true, 0), TimerUpkeep::Keep);
}

TEST(ButtonAnimation, FramesStepAndWrap) {
    std::vector<int32_t> seen;
    int32_t frame = 0;
    for (int i = 0; i < 5; ++i) {
        seen.push_back(frame);
        frame = NextFrame(frame, 4);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3, 0}));
    EXPECT_EQ(NextFrame(0, 1), 0);
    EXPECT_EQ(NextFrame(7, 4), 0); // out of range comes back to the start
}

TEST(ButtonAnimation, CellSizeAndTimerFromTheStrip) {
    const AnimationPlan ok = PlanAnimation(128, 69, 4, 10);
    EXPECT_TRUE(ok.valid);
    EXPECT_EQ(ok.frameWidth, 32);
    EXPECT_EQ(ok.rowHeight, 23);
    EXPECT_EQ(ok.periodMs, 100u);

    const AnimationPlan link = PlanAnimation(808, 96, 4, 3);
    EXPECT_EQ(link.frameWidth, 202);
    EXPECT_EQ(link.rowHeight, 32);
    EXPECT_EQ(link.periodMs, 333u);

    const AnimationPlan banner = PlanAnimation(304, 252, 1, 10);
    EXPECT_TRUE(banner.valid);
    EXPECT_EQ(banner.frameWidth, 304);
    EXPECT_EQ(banner.rowHeight, 84);
}

TEST(ButtonAnimation, NoFramesOrNoRateIsRefused) {
    for (const auto& bad :
         std::vector<std::pair<int32_t, int32_t>>{{0, 10}, {-1, 10}, {4, 0}, {1, 0}, {4, -5}}) {
        const AnimationPlan plan = PlanAnimation(128, 69, bad.first, bad.second);
        EXPECT_FALSE(plan.valid) << bad.first << " frames at " << bad.second;
        EXPECT_EQ(plan.frameWidth, 0);
    }
}

TEST(ButtonDraw, ImageSitsCentredAboveTheCaption) {
    const ButtonDrawPlan plan = PlanButtonDraw(SmallItem());
    EXPECT_EQ(plan.bandHeight, 30);
    EXPECT_TRUE(plan.showImage);
    EXPECT_EQ(plan.dest, (LayoutPoint{16, 4}));
    EXPECT_EQ(plan.copyWidth, 30);
    EXPECT_EQ(plan.copyHeight, 21);
    EXPECT_EQ(plan.caption.top, 27);
    EXPECT_EQ(plan.caption.left, 0);
    EXPECT_EQ(plan.caption.right, 63);
    EXPECT_EQ(plan.caption.bottom, 72);
}

TEST(ButtonDraw, PressedImageMovesOnePixelDownAndRight) {
    const ButtonDrawPlan plan = PlanButtonDraw(SmallItem(ITEM_STATE_SELECTED));
    EXPECT_EQ(plan.origin, (LayoutPoint{16, 4}));
    EXPECT_EQ(plan.dest, (LayoutPoint{17, 5}));
    EXPECT_EQ(plan.caption.top, 27);
}

TEST(ButtonDraw, SourceIsTheInsideOfTheCellCountedFromTheBottom) {
    // Frame 0, normal row: the top cell; as stored bottom-up its inside starts 47 rows up.
    ButtonDrawInput in = SmallItem();
    EXPECT_EQ(PlanButtonDraw(in).sourceX, 1);
    EXPECT_EQ(PlanButtonDraw(in).sourceY, 47);
    // Frame 2, hovered: the middle row of the third column.
    in.frame = 2;
    in.hover = true;
    EXPECT_EQ(PlanButtonDraw(in).sourceX, 65);
    EXPECT_EQ(PlanButtonDraw(in).sourceY, 24);
    // Pressed: the bottom row, whose inside starts on stored row 1.
    in.frame = 3;
    in.itemState = ITEM_STATE_SELECTED;
    EXPECT_EQ(PlanButtonDraw(in).sourceX, 97);
    EXPECT_EQ(PlanButtonDraw(in).sourceY, 1);
}

TEST(ButtonDraw, NarrowItemsHalveTowardZero) {
    ButtonDrawInput in = SmallItem();
    in.item = {10, 0, 29, 45}; // 19 wide: 19 - 32 + 2 = -11, halved to -5
    EXPECT_EQ(PlanButtonDraw(in).origin.x, 5);
    in.item = {0, 0, 63, 24}; // band 24 - 13 - 2 = 9: 9 - 23 + 2 = -12, halved to -6
    EXPECT_EQ(PlanButtonDraw(in).origin.y, -6);
    in.item = {0, 0, 63, 23}; // band 8: -13, halved to -6
    EXPECT_EQ(PlanButtonDraw(in).origin.y, -6);
}

TEST(ButtonDraw, EraseStripFollowsThePressedState) {
    const ButtonDrawPlan up = PlanButtonDraw(SmallItem());
    EXPECT_TRUE(up.eraseStrip);
    EXPECT_EQ(up.strip[0], (LayoutPoint{46, 4}));
    EXPECT_EQ(up.strip[1], (LayoutPoint{46, 25}));
    EXPECT_EQ(up.strip[2], (LayoutPoint{16, 25}));

    const ButtonDrawPlan down = PlanButtonDraw(SmallItem(ITEM_STATE_SELECTED));
    EXPECT_TRUE(down.eraseStrip);
    EXPECT_EQ(down.strip[0], (LayoutPoint{16, 27}));
    EXPECT_EQ(down.strip[1], (LayoutPoint{16, 4}));
    EXPECT_EQ(down.strip[2], (LayoutPoint{46, 4}));

    EXPECT_FALSE(PlanButtonDraw(SmallItem(ITEM_STATE_DISABLED)).eraseStrip);
}

TEST(ButtonDraw, OutlineRunsAlongTheItemsInnerEdge) {
    ButtonDrawInput in = SmallItem();
    in.item = {2, 3, 40, 30};
    const ButtonDrawPlan plan = PlanButtonDraw(in);
    const std::array<LayoutPoint, 5> box = {{{2, 29}, {2, 3}, {39, 3}, {39, 29}, {2, 29}}};
    EXPECT_EQ(plan.box, box);
    const std::array<std::array<LayoutPoint, 3>, 4> corners = {{
        {{{2, 5}, {2, 3}, {4, 3}}},
        {{{39, 5}, {39, 3}, {37, 3}}},
        {{{2, 27}, {2, 29}, {4, 29}}},
        {{{39, 27}, {39, 29}, {37, 29}}},
    }};
    EXPECT_EQ(plan.corners, corners);
}

// An empty image, a frame past the strip or no cell size: nothing is copied; the last frame is.
TEST(ButtonDraw, NothingIsCopiedFromAnImageWithoutTheCell) {
    for (const auto& [imageWidth, imageHeight, frame, frameWidth, rowHeight, shown] :
         {std::tuple{0, 0, 0, 32, 23, false},
          {128, 69, 4, 32, 23, false},
          {128, 69, 0, 0, 0, false},
          {128, 69, 3, 32, 23, true}}) {
        ButtonDrawInput in = SmallItem();
        in.imageWidth = imageWidth;
        in.imageHeight = imageHeight;
        in.frame = frame;
        in.frameWidth = frameWidth;
        in.rowHeight = rowHeight;
        EXPECT_EQ(shown, PlanButtonDraw(in).showImage) << imageWidth << " " << frame;
    }
}

} // namespace
