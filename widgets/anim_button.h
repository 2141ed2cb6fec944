// CAnimButton: the animated picture button. Attached to a dialog's owner-drawn button, it shows
// one cell of a bitmap strip above its caption, steps through the strip's frames on its own
// timer, and draws hover, pressed, focus and disabled looks.
#pragma once

#include "framework/controls.h"

#include <cstdint>

class CDibImage;

constexpr UINT_PTR ANIM_BUTTON_TIMER = 512;

class CAnimButton : public CButton {
public:
    CAnimButton() = default;
    ~CAnimButton() override = default;

    // Makes the button's image from the bitmap resource and binds the control. The animation
    // timer runs only while the button animates: from the mouse's entry until the frames are
    // back at rest after the leave. False when the control cannot be bound or the frame count
    // or rate is below 1.
    BOOL AttachAnim(UINT controlId, CWnd* parent, UINT bitmapId, int frameRate, int frameCount,
                    UINT cursorId);

    void DrawItem(const DRAWITEMSTRUCT* item) override;

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    // Read by the tests of the button's drawing.
    int CurrentFrame() const { return m_frame; }
    bool IsHovered() const { return m_hover != 0; }
    bool HasTimer() const { return m_timerId != 0; }
    const CDibImage* Image() const { return m_pImage; }

protected:
    // WM_SETCURSOR: the button's own cursor, when it has one.
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    // WM_DESTROY: the animation timer stops with the window.
    void OnDestroy();
    // WM_TIMER: the next frame; repaints only while hovered.
    void OnTimer(UINT_PTR timerId);
    // WM_MOUSEMOVE: hover starts with the capture and ends when the pointer leaves.
    void OnMouseMove(UINT keyFlags, POINT point);
    // WM_MOUSELEAVE: the pointer left the button, also after the capture was lost.
    void OnMouseLeave();
    // WM_LBUTTONDOWN: the standard press.
    void OnLButtonDown(UINT keyFlags, POINT point);

private:
    // Starts or stops the animation timer as ChooseTimerUpkeep decides.
    void UpdateAnimTimer(uint32_t itemState);
    // The item state bits that the window itself gives: ITEM_STATE_DISABLED or none.
    uint32_t WindowItemState() const;
    // Hover ends: the raised outline goes at once and the capture is released.
    void EndHover();

    CDibImage* m_pImage = nullptr; // owned by the image store
    UINT_PTR m_timerId = 0;
    int32_t m_frame = 0;
    int32_t m_frameCount = 0;
    int32_t m_frameRate = 0;
    int32_t m_frameWidth = 0;
    int32_t m_rowHeight = 0;
    HCURSOR m_hCursor = nullptr;
    BOOL m_hover = FALSE;
    BOOL m_disabledLook = FALSE;
    BOOL m_pressed = FALSE;
    COLORREF m_keyColorSeen = 0xFFFFFFFF;
};
