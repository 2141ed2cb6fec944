// State choice, timer upkeep, frame stepping and draw layout of the animated picture button.
#include "widgets/button_layout.h"

namespace {

constexpr uint32_t MS_PER_SECOND = 1000;

bool Has(uint32_t itemState, uint32_t bit) {
    return (itemState & bit) != 0;
}

ButtonOutline ChooseOutline(const ButtonLook& look, uint32_t itemState, bool hover) {
    if (look.disabledLook) {
        return ButtonOutline::None;
    }
    if (look.pressed) {
        return ButtonOutline::Sunken;
    }
    if (hover) {
        return ButtonOutline::Raised;
    }
    if (Has(itemState, ITEM_STATE_FOCUS)) {
        return ButtonOutline::FocusCorners;
    }
    return ButtonOutline::Flat;
}

bool CellInsideImage(const ButtonDrawInput& in) {
    // Less than 3 pixels leaves nothing inside the one-pixel border.
    if (in.frameWidth < 3 || in.rowHeight < 3 || in.frame < 0) {
        return false;
    }
    const int64_t cellRight = (int64_t{in.frame} + 1) * in.frameWidth;
    const int64_t stripHeight = int64_t{STRIP_ROWS} * in.rowHeight;
    return cellRight <= in.imageWidth && stripHeight <= in.imageHeight;
}

} // namespace

ButtonLook ChooseButtonLook(uint32_t itemState, bool hover) {
    ButtonLook look;
    if (Has(itemState, ITEM_STATE_SELECTED)) {
        look.stateRow = ROW_PRESSED;
        look.pressed = true;
    } else if (hover) {
        look.stateRow = ROW_HOVER;
    } else if (Has(itemState, ITEM_STATE_DISABLED)) {
        look.disabledLook = true;
    }
    look.outline = ChooseOutline(look, itemState, hover);
    return look;
}

TimerUpkeep ChooseTimerUpkeep(uint32_t itemState, bool timerRunning, int32_t frameCount, bool hover,
                              int32_t frame) {
    const bool disabled = Has(itemState, ITEM_STATE_DISABLED);
    const bool animates = !disabled && frameCount > 1 && (hover || frame != 0);
    if (timerRunning && !animates) {
        return TimerUpkeep::Stop;
    }
    if (!timerRunning && animates) {
        return TimerUpkeep::Start;
    }
    return TimerUpkeep::Keep;
}

AnimationPlan PlanAnimation(int32_t imageWidth, int32_t imageHeight, int32_t frameCount,
                            int32_t frameRate) {
    AnimationPlan plan;
    if (frameCount < 1 || frameRate < 1) {
        return plan;
    }
    plan.valid = true;
    plan.frameWidth = imageWidth / frameCount;
    plan.rowHeight = imageHeight / STRIP_ROWS;
    plan.periodMs = MS_PER_SECOND / static_cast<uint32_t>(frameRate);
    return plan;
}

int32_t NextFrame(int32_t frame, int32_t frameCount) {
    return frame < frameCount - 1 ? frame + 1 : 0;
}

ButtonDrawPlan PlanButtonDraw(const ButtonDrawInput& in) {
    ButtonDrawPlan plan;
    plan.look = ChooseButtonLook(in.itemState, in.hover);

    const int32_t l = in.item.left;
    const int32_t t = in.item.top;
    const int32_t r = in.item.right;
    const int32_t b = in.item.bottom;
    const int32_t w = in.frameWidth;
    const int32_t h = in.rowHeight;

    // C++ division truncates toward zero, as the layout wants for negative spans.
    plan.bandHeight = (b - t) - in.captionCy - 2;
    plan.origin = {l + (r - l - w + 2) / 2, t + (plan.bandHeight - h + 2) / 2};
    const LayoutPoint o = plan.origin;
    const int32_t shift = plan.look.pressed ? 1 : 0;

    plan.showImage = CellInsideImage(in);
    plan.dest = {o.x + shift, o.y + shift};
    plan.copyWidth = w - 2;
    plan.copyHeight = h - 2;
    plan.sourceX = in.frame * w + 1;
    plan.sourceY = in.imageHeight - plan.look.stateRow * h - h + 1;

    plan.eraseStrip = !plan.look.disabledLook;
    if (plan.look.pressed) {
        plan.strip = {{{o.x, o.y + h}, {o.x, o.y}, {o.x + w - 2, o.y}}};
    } else {
        plan.strip = {{{o.x + w - 2, o.y}, {o.x + w - 2, o.y + h - 2}, {o.x, o.y + h - 2}}};
    }

    const int32_t down = (b - t) - in.captionCy - 5;
    plan.caption = {l, t + down, r, b + down};

    plan.box = {{{l, b - 1}, {l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}}};
    plan.corners = {{{{{l, t + 2}, {l, t}, {l + 2, t}}},
                     {{{r - 1, t + 2}, {r - 1, t}, {r - 3, t}}},
                     {{{l, b - 3}, {l, b - 1}, {l + 2, b - 1}}},
                     {{{r - 1, b - 3}, {r - 1, b - 1}, {r - 3, b - 1}}}}};
    return plan;
}
