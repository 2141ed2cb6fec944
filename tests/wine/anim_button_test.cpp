// The animated picture button drawn for real: attached to an owner-drawn BUTTON control of a
// real parent window, drawn into a 32-bit memory DC (and on the screen), hovered with mouse
// messages, stepped by its timer, disabled and enabled. The drawn pixels are compared with the
// button bitmap as the platform itself decodes it.
#include "framework/controls.h"
#include "res/resource.h"
#include "tests/wine/widget_canvas.h"
#include "tests/wine/widget_messages.h"
#include "widgets/anim_button.h"
#include "widgets/button_layout.h"
#include "widgets/image_store.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int BUTTON_ID = 1004;
constexpr int BUTTON_WIDTH = 63;
constexpr int BUTTON_HEIGHT = 45;
// The button bitmap 130: 4 frames of 32 x 23 cells.
constexpr int FRAME_WIDTH = 32;
constexpr int ROW_HEIGHT = 23;
// A key colour no artwork uses, so that recoloured pixels are easy to tell.
const COLORREF TEST_KEY = RGB(10, 200, 30);
constexpr uint32_t ARTWORK_BACKGROUND = 0x00BFBFBF;
// What the canvas holds before a draw: any pixel still this colour was not drawn.
constexpr uint32_t UNTOUCHED = 0x00123456;
// The item rectangle inside the canvas; not at (0, 0), so that offsets show.
const RECT ITEM = {10, 6, 10 + BUTTON_WIDTH, 6 + BUTTON_HEIGHT};
constexpr int CANVAS_WIDTH = 90;
constexpr int CANVAS_HEIGHT = 64;

uint32_t SysWord(int index) {
    return WidgetPixelWord(::GetSysColor(index));
}

// The draw plan for an item of the canvas, from what the canvas's font measures.
ButtonDrawPlan PlanFor(HDC dc, const std::string& caption, RECT item, int frame, UINT state,
                       bool hover, int imageWidth, int imageHeight) {
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    ButtonDrawInput input;
    input.item = {item.left, item.top, item.right, item.bottom};
    input.captionCx = extent.cx;
    input.captionCy = extent.cy;
    input.frameWidth = imageWidth / 4;
    input.rowHeight = imageHeight / 3;
    input.frame = frame;
    input.imageWidth = imageWidth;
    input.imageHeight = imageHeight;
    input.itemState = state;
    input.hover = hover;
    return PlanButtonDraw(input);
}

struct CellCheck {
    int mismatches = 0;
    int keyPixels = 0;
};

// Compares the canvas at `at` with the inside of cell (frame, row) of the strip, whose
// background is expected in the key colour `key`.
CellCheck CompareCell(const WidgetCanvas& canvas, LayoutPoint at, const WidgetBitmap& strip,
                      int frame, int row, uint32_t key) {
    CellCheck check;
    for (int j = 0; j < ROW_HEIGHT - 2; ++j)
        for (int i = 0; i < FRAME_WIDTH - 2; ++i) {
            const uint32_t source =
                strip.AtPicture(frame * FRAME_WIDTH + 1 + i, row * ROW_HEIGHT + 1 + j);
            const bool isKey = source == ARTWORK_BACKGROUND;
            check.keyPixels += isKey ? 1 : 0;
            if (canvas.At(at.x + i, at.y + j) != (isKey ? key : source))
                ++check.mismatches;
        }
    return check;
}

// Pixels of a colour inside a rectangle of the canvas.
int CountColour(const WidgetCanvas& canvas, RECT area, uint32_t word) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += canvas.At(x, y) == word ? 1 : 0;
    return count;
}

class AnimButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedKey = theImageStore.m_keyColor;
        theImageStore.m_keyColor = TEST_KEY;
        m_strip = WidgetLoadResourceBitmap(IDB_BUTTON_OK);
        ASSERT_EQ(m_strip.width, 4 * FRAME_WIDTH);
        ASSERT_TRUE(m_parent.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Picture button test",
                                      WS_POPUP | WS_VISIBLE, 600, 300, 220, 120, nullptr, nullptr));
        m_buttonWnd = AddButton(BUTTON_ID, "Options", 10, 10);
        ASSERT_NE(m_buttonWnd, nullptr);
    }

    void TearDown() override {
        if (::GetCapture() != nullptr)
            ::ReleaseCapture();
        WidgetMovePointer(0, 0);
        m_parent.DestroyWindow();
        theImageStore.m_keyColor = m_savedKey;
    }

    HWND AddButton(int id, const char* caption, int x, int y) {
        return ::CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y,
                                 BUTTON_WIDTH, BUTTON_HEIGHT, m_parent.m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    }

    // Attaches m_button; m_image is the image it got: the store's first free slot.
    void Attach(UINT bitmapId = IDB_BUTTON_OK) {
        int32_t slot = 0;
        while (slot < theImageStore.m_count && theImageStore.m_images[slot] != nullptr)
            ++slot;
        ASSERT_TRUE(m_button.AttachAnim(BUTTON_ID, &m_parent, bitmapId, 10, 4, 0));
        m_image = theImageStore.m_images[slot];
    }

    DRAWITEMSTRUCT Item(HDC dc, UINT state, RECT rect = ITEM) const {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = BUTTON_ID;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_buttonWnd;
        item.hDC = dc;
        item.rcItem = rect;
        return item;
    }

    // The plan of a draw into the canvas's ITEM, from the OK button's strip.
    ButtonDrawPlan Plan(WidgetCanvas& canvas, int frame, UINT state, bool hover = false) const {
        return PlanFor(canvas.Dc(), "Options", ITEM, frame, state, hover, m_strip.width,
                       m_strip.height);
    }

    void Draw(WidgetCanvas& canvas, UINT state) {
        const DRAWITEMSTRUCT item = Item(canvas.Dc(), state);
        m_button.DrawItem(&item);
    }

    // The pointer itself goes there first, as it would for a real move.
    void MoveMouse(int x, int y) {
        POINT screen = {x, y};
        ::ClientToScreen(m_buttonWnd, &screen);
        WidgetMovePointer(screen.x, screen.y);
        ::SendMessageA(m_buttonWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    void Tick(WPARAM timerId = ANIM_BUTTON_TIMER) {
        ::SendMessageA(m_buttonWnd, WM_TIMER, timerId, 0);
    }

    // Stops the running timer with a disabled draw, which also puts the frame back to 0, so
    // that only the test's own WM_TIMER messages step the frames.
    void StopTimerAtFrameZero() {
        WidgetCanvas scratch(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
        Draw(scratch, ODS_DISABLED);
        ASSERT_FALSE(m_button.HasTimer());
        ASSERT_EQ(m_button.CurrentFrame(), 0);
    }

    COLORREF m_savedKey = KEY_COLOR_UNSET;
    WidgetBitmap m_strip;
    CWnd m_parent;
    HWND m_buttonWnd = nullptr;
    CAnimButton m_button;
    CDibImage* m_image = nullptr;
};

TEST_F(AnimButtonTest, AttachBindsTheControlAndNothingAnimatesUntilTheMouseComes) {
    const int32_t imagesBefore = theImageStore.ImagesHeld();
    // A failed attach (no such control, no frames) leaves no image behind.
    CAnimButton failed;
    EXPECT_FALSE(failed.AttachAnim(BUTTON_ID + 1, &m_parent, IDB_BUTTON_OK, 10, 4, 0));
    EXPECT_FALSE(failed.AttachAnim(BUTTON_ID, &m_parent, IDB_BUTTON_OK, 10, 0, 0));
    EXPECT_EQ(theImageStore.ImagesHeld(), imagesBefore);
    Attach();
    EXPECT_EQ(theImageStore.ImagesHeld(), imagesBefore + 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(m_buttonWnd), &m_button);
    EXPECT_FALSE(m_button.HasTimer());
    MoveMouse(5, 5);
    EXPECT_TRUE(m_button.HasTimer());
    EXPECT_TRUE(WidgetPumpUntil([&] { return m_button.CurrentFrame() != 0; }, 2000))
        << "the button's own timer advances the frame";
}

TEST_F(AnimButtonTest, AOneFrameStripNeverRunsATimer) {
    HWND banner = AddButton(IDC_PRODUCT_PAGE, "", 100, 10);
    CAnimButton button;
    ASSERT_TRUE(button.AttachAnim(IDC_PRODUCT_PAGE, &m_parent, IDB_BUTTON_BANNER, 10, 1, 0));
    EXPECT_FALSE(button.HasTimer());
    WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
    DRAWITEMSTRUCT item = Item(canvas.Dc(), 0);
    item.hwndItem = banner;
    button.DrawItem(&item);
    EXPECT_FALSE(button.HasTimer());
    // The platform knows no timer of the banner's window either.
    EXPECT_FALSE(::KillTimer(banner, ANIM_BUTTON_TIMER));
    ::DestroyWindow(banner);
}

TEST_F(AnimButtonTest, EachStateDrawsItsCellOutlineAndCaptionAtThePlannedPlace) {
    // The outline: what the item's top-left, top-middle and bottom-right pixels show.
    enum class Edge { Flat, Sunken, Raised, Corners, None };
    struct Case {
        const char* name;
        UINT state;
        bool hover;
        int row;
        Edge edge;
    };
    const Case cases[] = {
        {"normal", 0, false, 0, Edge::Flat},
        {"pressed", ODS_SELECTED, false, 2, Edge::Sunken},
        {"hovered", 0, true, 1, Edge::Raised},
        {"focused", ODS_FOCUS, false, 0, Edge::Corners},
        {"pressed and hovered", ODS_SELECTED, true, 2, Edge::Sunken},
        {"focused and hovered", ODS_FOCUS, true, 1, Edge::Raised},
        {"disabled", ODS_DISABLED, false, 0, Edge::None},
        {"disabled and hovered", ODS_DISABLED, true, 1, Edge::Raised},
    };
    Attach();
    const uint32_t key = WidgetPixelWord(TEST_KEY);
    const uint32_t face = SysWord(COLOR_BTNFACE);
    const uint32_t highlight = SysWord(COLOR_BTNHIGHLIGHT);
    const uint32_t shadow = SysWord(COLOR_BTNSHADOW);
    LayoutPoint normalDest;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.hover) {
            MoveMouse(5, 5);
            ASSERT_TRUE(m_button.IsHovered());
        }
        WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
        ASSERT_TRUE(canvas.IsValid());
        const int frame = m_button.CurrentFrame();
        const ButtonDrawPlan plan = Plan(canvas, frame, c.state, c.hover);
        Draw(canvas, c.state);

        ASSERT_TRUE(plan.showImage);
        const CellCheck cell = CompareCell(canvas, plan.dest, m_strip, frame, c.row, key);
        EXPECT_EQ(cell.mismatches, 0)
            << "frame " << frame << " row " << c.row << " at " << plan.dest.x << "," << plan.dest.y;
        EXPECT_GT(cell.keyPixels, 0);
        const bool pressed = (c.state & ODS_SELECTED) != 0;
        if (std::string(c.name) == "normal")
            normalDest = plan.dest;
        if (pressed) {
            EXPECT_EQ(plan.dest.x, normalDest.x + 1);
            EXPECT_EQ(plan.dest.y, normalDest.y + 1);
        }

        // The erase strip: the button face along the side the image leaves when it moves.
        const LayoutPoint o = plan.origin;
        const bool disabledLook = c.edge == Edge::None;
        if (pressed) {
            EXPECT_EQ(canvas.At(o.x, o.y + 1), face);
            EXPECT_EQ(canvas.At(o.x + 1, o.y), face);
        } else if (!disabledLook) {
            EXPECT_EQ(canvas.At(o.x + FRAME_WIDTH - 2, o.y), face);
            EXPECT_EQ(canvas.At(o.x + 1, o.y + ROW_HEIGHT - 2), face);
        } else {
            EXPECT_EQ(canvas.At(o.x + FRAME_WIDTH - 2, o.y), UNTOUCHED);
        }
        // Nothing on the other sides of the image: it is not one pixel off.
        if (!pressed) {
            EXPECT_EQ(canvas.At(o.x - 1, o.y + 5), UNTOUCHED);
            EXPECT_EQ(canvas.At(o.x + 5, o.y - 1), UNTOUCHED);
        }

        // The outline on the item's edges.
        const int l = ITEM.left;
        const int t = ITEM.top;
        const int r = ITEM.right;
        const int b = ITEM.bottom;
        const int midX = (l + r) / 2;
        const bool focus = c.edge == Edge::Corners; // dotted black corners, the edges bare
        const uint32_t outlines[][3] = {{face, face, face},
                                        {shadow, shadow, highlight},
                                        {highlight, highlight, shadow},
                                        {0, UNTOUCHED, 0},
                                        {UNTOUCHED, UNTOUCHED, UNTOUCHED}};
        const uint32_t* outline = outlines[static_cast<int>(c.edge)];
        EXPECT_EQ(canvas.At(l, focus ? t + 2 : t), outline[0]);
        EXPECT_EQ(canvas.At(midX, t), outline[1]);
        if (!focus) {
            EXPECT_EQ(canvas.At(r - 1, b - 1), outline[2]);
        }

        // The caption below the image: black text, or embossed when disabled.
        const RECT caption = {l + 1, plan.caption.top, r - 1, b - 1};
        EXPECT_GE(plan.caption.top, plan.origin.y + ROW_HEIGHT - 2);
        if (disabledLook) {
            EXPECT_GT(CountColour(canvas, caption, highlight), 0);
            EXPECT_GT(CountColour(canvas, caption, shadow), 0);
        } else {
            EXPECT_GT(CountColour(canvas, caption, 0), 0);
        }

        if (c.hover) {
            MoveMouse(BUTTON_WIDTH + 5, 5);
            ASSERT_FALSE(m_button.IsHovered());
        }
        if (c.state & ODS_DISABLED) {
            // The next enabled draw starts the timer again.
            WidgetCanvas scratch(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
            Draw(scratch, 0);
        }
    }
}

TEST_F(AnimButtonTest, TheKeyBackgroundIsRecolouredOnceAtTheFirstDrawAfterTheKeyIsKnown) {
    theImageStore.m_keyColor = KEY_COLOR_UNSET;
    Attach();
    StopTimerAtFrameZero();
    // Before the probe has run, the artwork's own background is drawn; once the key colour is
    // known, it replaces the background.
    for (const uint32_t background : {ARTWORK_BACKGROUND, WidgetPixelWord(TEST_KEY)}) {
        WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
        const ButtonDrawPlan plan = Plan(canvas, 0, ODS_DISABLED);
        Draw(canvas, ODS_DISABLED);
        const CellCheck cell = CompareCell(canvas, plan.dest, m_strip, 0, 0, background);
        EXPECT_EQ(cell.mismatches, 0) << background;
        EXPECT_GT(cell.keyPixels, 0);
        theImageStore.m_keyColor = TEST_KEY;
    }
    // The recolouring takes the colour of the image's pixel (1, 1): marked there, it would
    // turn back to the key at a second recolouring. The next draw leaves it marked.
    ASSERT_NE(m_image, nullptr);
    uint32_t& marked = m_image->m_bits[m_image->m_width + 1];
    ASSERT_EQ(marked, WidgetPixelWord(TEST_KEY));
    marked = 0x00FF00FF;
    WidgetCanvas scratch(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
    Draw(scratch, ODS_DISABLED);
    EXPECT_EQ(marked, 0x00FF00FFu) << "recoloured again with the key unchanged";
    marked = WidgetPixelWord(TEST_KEY);
}

TEST_F(AnimButtonTest, HoverTakesTheCaptureAndEndsWhenThePointerLeaves) {
    Attach();
    EXPECT_FALSE(m_button.IsHovered());
    MoveMouse(5, 5);
    EXPECT_TRUE(m_button.IsHovered());
    EXPECT_EQ(::GetCapture(), m_buttonWnd);
    MoveMouse(BUTTON_WIDTH - 1, BUTTON_HEIGHT - 1);
    EXPECT_TRUE(m_button.IsHovered()) << "still inside";
    EXPECT_EQ(::GetCapture(), m_buttonWnd);
    MoveMouse(BUTTON_WIDTH, 5); // the right edge is outside
    EXPECT_FALSE(m_button.IsHovered());
    EXPECT_NE(::GetCapture(), m_buttonWnd);

    // A tick that finds the capture taken elsewhere ends the hover too.
    MoveMouse(5, 5);
    ASSERT_TRUE(m_button.IsHovered());
    ::SetCapture(m_parent.m_hWnd);
    Tick();
    EXPECT_FALSE(m_button.IsHovered());
    ::ReleaseCapture();
}

TEST_F(AnimButtonTest, WmTimerStepsTheFramesWhateverItsId) {
    Attach();
    StopTimerAtFrameZero();
    const WPARAM ids[] = {ANIM_BUTTON_TIMER, ANIM_BUTTON_TIMER, 7, ANIM_BUTTON_TIMER, 1};
    const int expected[] = {1, 2, 3, 0, 1};
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        Tick(ids[i]);
        EXPECT_EQ(m_button.CurrentFrame(), expected[i]) << "tick " << i;
    }
}

TEST_F(AnimButtonTest, ADisabledDrawStopsTheTimerAndShowsTheFrameItFound) {
    Attach();
    StopTimerAtFrameZero();
    // The mouse comes and the timer runs; it leaves two frames on, and the frames run on.
    MoveMouse(5, 5);
    ASSERT_TRUE(m_button.HasTimer());
    Tick();
    Tick();
    MoveMouse(BUTTON_WIDTH, 5);
    ASSERT_TRUE(m_button.HasTimer());
    ASSERT_EQ(m_button.CurrentFrame(), 2);
    const uint32_t key = WidgetPixelWord(TEST_KEY);
    // The first disabled draw shows frame 2, then the frame is back at 0 and the timer stopped.
    for (int expectedFrame : {2, 0}) {
        SCOPED_TRACE("frame " + std::to_string(expectedFrame));
        WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
        const ButtonDrawPlan plan = Plan(canvas, expectedFrame, ODS_DISABLED);
        Draw(canvas, ODS_DISABLED);
        EXPECT_EQ(CompareCell(canvas, plan.dest, m_strip, expectedFrame, 0, key).mismatches, 0);
        EXPECT_FALSE(m_button.HasTimer());
        EXPECT_EQ(m_button.CurrentFrame(), 0);
    }
    // The mouse comes again: the timer runs and steps the frames by itself.
    MoveMouse(5, 5);
    EXPECT_TRUE(m_button.HasTimer());
    EXPECT_TRUE(WidgetPumpUntil([&] { return m_button.CurrentFrame() != 0; }, 2000));
}

TEST_F(AnimButtonTest, AButtonWhoseBitmapIsMissingDrawsItsCaptionAndOutline) {
    Attach(9999);
    EXPECT_EQ(CWnd::FromHandlePermanent(m_buttonWnd), &m_button);
    const uint32_t face = SysWord(COLOR_BTNFACE);
    const uint32_t highlight = SysWord(COLOR_BTNHIGHLIGHT);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_DISABLED)}) {
        SCOPED_TRACE("state " + std::to_string(state));
        WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
        const ButtonDrawPlan plan = PlanFor(canvas.Dc(), "Options", ITEM, 0, state, false, 0, 0);
        Draw(canvas, state);
        const RECT band = {ITEM.left + 3, ITEM.top + 3, ITEM.right - 3, plan.caption.top - 1};
        const RECT caption = {ITEM.left + 1, plan.caption.top, ITEM.right - 1, ITEM.bottom - 1};
        // Nothing but the face-coloured erase strip lands where the image would be.
        EXPECT_EQ(CountColour(canvas, band, UNTOUCHED) + CountColour(canvas, band, face),
                  (band.right - band.left) * (band.bottom - band.top))
            << "no image is drawn";
        if (state == ODS_DISABLED) {
            EXPECT_GT(CountColour(canvas, caption, highlight), 0);
        } else {
            EXPECT_GT(CountColour(canvas, caption, 0), 0);
        }
        if (state == 0) {
            EXPECT_EQ(canvas.At(ITEM.left, ITEM.top), face);
        }
    }
    // Hovered, it shows the raised outline.
    MoveMouse(5, 5);
    WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
    Draw(canvas, 0);
    EXPECT_EQ(canvas.At(ITEM.left, ITEM.top), highlight);
    MoveMouse(BUTTON_WIDTH + 5, 5);
}

TEST_F(AnimButtonTest, WmDrawItemToTheParentReachesTheButton) {
    Attach();
    WidgetCanvas canvas(CANVAS_WIDTH, CANVAS_HEIGHT, UNTOUCHED);
    const int frame = m_button.CurrentFrame();
    const ButtonDrawPlan plan = Plan(canvas, frame, ODS_SELECTED);
    DRAWITEMSTRUCT item = Item(canvas.Dc(), ODS_SELECTED);
    const LRESULT result =
        ::SendMessageA(m_parent.m_hWnd, WM_DRAWITEM, BUTTON_ID, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(
        CompareCell(canvas, plan.dest, m_strip, frame, 2, WidgetPixelWord(TEST_KEY)).mismatches, 0);
}

TEST_F(AnimButtonTest, APaintOfTheControlShowsTheCellOnTheScreen) {
    Attach();
    ::InvalidateRect(m_buttonWnd, nullptr, TRUE);
    ::UpdateWindow(m_buttonWnd);
    const int frame = m_button.CurrentFrame(); // no message ran since the paint
    WidgetCanvas shown(BUTTON_WIDTH, BUTTON_HEIGHT, UNTOUCHED);
    ASSERT_TRUE(shown.CopyFromWindow(m_buttonWnd));

    HDC dc = ::GetDC(m_buttonWnd);
    const RECT client = {0, 0, BUTTON_WIDTH, BUTTON_HEIGHT};
    const ButtonDrawPlan plan =
        PlanFor(dc, "Options", client, frame, 0, false, m_strip.width, m_strip.height);
    ::ReleaseDC(m_buttonWnd, dc);
    const CellCheck cell =
        CompareCell(shown, plan.dest, m_strip, frame, 0, WidgetPixelWord(TEST_KEY));
    EXPECT_EQ(cell.mismatches, 0);
    EXPECT_GT(cell.keyPixels, 0);
}

} // namespace
