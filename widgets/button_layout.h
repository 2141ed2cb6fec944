// Decisions and arithmetic of the animated picture button, without the drawing calls: which
// state row and outline a draw uses, the animation timer's upkeep and frame stepping, and every
// point and rectangle of one owner draw, for the Windows draw routine to follow step by step.
#pragma once

#include <array>
#include <cstdint>

// Bits of the owner-draw item state that the button looks at.
constexpr uint32_t ITEM_STATE_SELECTED = 0x0001;
constexpr uint32_t ITEM_STATE_DISABLED = 0x0004;
constexpr uint32_t ITEM_STATE_FOCUS = 0x0010;

// State rows of a strip, top to bottom as the picture is seen.
constexpr int32_t ROW_NORMAL = 0;
constexpr int32_t ROW_HOVER = 1;
constexpr int32_t ROW_PRESSED = 2;
constexpr int32_t STRIP_ROWS = 3;

struct LayoutPoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const LayoutPoint& other) const { return x == other.x && y == other.y; }
};

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// None: the disabled look draws no outline. Sunken: shadow pen then highlight pen along the
// box path. Raised: highlight pen then shadow pen. FocusCorners: four dotted black corner
// marks. Flat: the button-face pen all round, wiping an earlier outline.
enum class ButtonOutline { None, Sunken, Raised, FocusCorners, Flat };

struct ButtonLook {
    int32_t stateRow = ROW_NORMAL;
    bool pressed = false;      // drawn one pixel down and right, sunken
    bool disabledLook = false; // embossed caption, no erase strip, no outline
    ButtonOutline outline = ButtonOutline::Flat;
};

// Selected wins over hover, hover over disabled: a hovered disabled button looks hovered.
ButtonLook ChooseButtonLook(uint32_t itemState, bool hover);

// The animation timer runs only while the button animates: from the mouse's entry until, once
// the mouse has left, the frame is back at rest (0), and never while disabled or with one frame.
// A disabled draw or tick stops a running timer (and the frame goes back to 0); an enabled one
// starts it when the button animates and none runs, and stops it when the button has come to rest.
enum class TimerUpkeep { Keep, Stop, Start };
TimerUpkeep ChooseTimerUpkeep(uint32_t itemState, bool timerRunning, int32_t frameCount, bool hover,
                              int32_t frame);

// The animation settings of one button, checked when it is attached.
struct AnimationPlan {
    bool valid = false;     // frame count and frame rate both at least 1; else nothing below
    int32_t frameWidth = 0; // image width / frame count
    int32_t rowHeight = 0;  // image height / 3
    uint32_t periodMs = 0;  // 1000 / frame rate
};
AnimationPlan PlanAnimation(int32_t imageWidth, int32_t imageHeight, int32_t frameCount,
                            int32_t frameRate);

// The frame after `frame`: 0, 1, .., frameCount - 1, then 0 again.
int32_t NextFrame(int32_t frame, int32_t frameCount);

struct ButtonDrawInput {
    LayoutRect item;       // the item rectangle
    int32_t captionCx = 0; // measured caption size
    int32_t captionCy = 0;
    int32_t frameWidth = 0; // cell width W
    int32_t rowHeight = 0;  // cell height H
    int32_t frame = 0;      // current frame on entry, before any timer upkeep resets it
    int32_t imageWidth = 0; // 0 when the image failed to load
    int32_t imageHeight = 0;
    uint32_t itemState = 0;
    bool hover = false;
};

// Every halving truncates toward zero.
struct ButtonDrawPlan {
    ButtonLook look;
    int32_t bandHeight = 0; // A = (B - T) - cy - 2, the height left above the caption
    LayoutPoint origin;     // x0 = L + (R - L - W + 2) / 2, y0 = T + (A - H + 2) / 2

    // The cell copy: (W - 2) x (H - 2) pixels to origin + (1, 1) when pressed, from the cell's
    // inside at column S + 1 and, counted from the bottom row, image height - row x H - H + 1.
    // False when there is no whole cell inside the image to copy (empty image, tiny cell).
    bool showImage = false;
    LayoutPoint dest;
    int32_t copyWidth = 0;
    int32_t copyHeight = 0;
    int32_t sourceX = 0;
    int32_t sourceY = 0;

    // The strip the image leaves when it moves by a pixel: move to strip[0], line to strip[1]
    // and strip[2] with the button-face pen. Not drawn in the disabled look.
    bool eraseStrip = false;
    std::array<LayoutPoint, 3> strip{};

    // The caption rectangle: the item moved down so that its top is B - cy - 5.
    LayoutRect caption;

    // Outline path: move to box[0], line to box[1] and box[2] with the first pen, then to
    // box[3] and box[4] with the second.
    std::array<LayoutPoint, 5> box{};
    // Focus marks: for each, move to the first point and line to the other two.
    std::array<std::array<LayoutPoint, 3>, 4> corners{};
};

ButtonDrawPlan PlanButtonDraw(const ButtonDrawInput& input);
