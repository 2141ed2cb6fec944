// CAnimButton: the platform side of the animated picture button. The layout arithmetic and
// the choice of look are in button_layout; this file follows that plan with GDI calls.
#include "widgets/anim_button.h"

#include "framework/win_app.h"
#include "widgets/button_layout.h"
#include "widgets/image_store.h"

namespace {

// Draws the polyline points[first..last] with a solid pen of the system colour.
template <std::size_t N>
void DrawPath(HDC dc, int colorIndex, const std::array<LayoutPoint, N>& points, std::size_t first,
              std::size_t last, bool moveFirst) {
    HPEN pen = ::CreatePen(PS_SOLID, 0, ::GetSysColor(colorIndex));
    HGDIOBJ old = ::SelectObject(dc, pen);
    if (moveFirst)
        ::MoveToEx(dc, points[first].x, points[first].y, nullptr);
    for (std::size_t i = moveFirst ? first + 1 : first; i <= last; ++i)
        ::LineTo(dc, points[i].x, points[i].y);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void DrawCaption(HDC dc, const std::string& caption, RECT rect) {
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, DT_CENTER);
}

RECT Offset(RECT rect, int dx, int dy) {
    ::OffsetRect(&rect, dx, dy);
    return rect;
}

} // namespace

const MessageMap* CAnimButton::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::SetCursor<&CAnimButton::OnSetCursor>(),
        msg::Plain<WM_DESTROY, &CAnimButton::OnDestroy>(),
        msg::Timer<&CAnimButton::OnTimer>(),
        msg::Mouse<WM_MOUSEMOVE, &CAnimButton::OnMouseMove>(),
        msg::Plain<WM_MOUSELEAVE, &CAnimButton::OnMouseLeave>(),
        msg::Mouse<WM_LBUTTONDOWN, &CAnimButton::OnLButtonDown>(),
    };
    static constexpr MessageMap map = MakeMessageMap(&CButton::ThisMessageMap, entries);
    return &map;
}

BOOL CAnimButton::AttachAnim(UINT controlId, CWnd* parent, UINT bitmapId, int frameRate,
                             int frameCount, UINT cursorId) {
    m_pImage = theImageStore.CreateImage(bitmapId);
    const AnimationPlan plan =
        PlanAnimation(m_pImage->m_width, m_pImage->m_height, frameCount, frameRate);
    if (!plan.valid || !SubclassDlgItem(controlId, parent)) {
        // The image slot is freed again, so that a failed attach leaves nothing behind.
        theImageStore.ReleaseImage(m_pImage);
        m_pImage = nullptr;
        return FALSE;
    }
    m_frameCount = frameCount;
    m_frameRate = frameRate;
    m_frameWidth = plan.frameWidth;
    m_rowHeight = plan.rowHeight;
    m_hCursor =
        cursorId != 0 ? ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(cursorId)) : nullptr;
    return TRUE;
}

void CAnimButton::DrawItem(const DRAWITEMSTRUCT* item) {
    // Not attached, or its window already destroyed.
    if (m_frameCount < 1 || m_frameRate < 1 || m_pImage == nullptr)
        return;
    const int32_t frameOnEntry = m_frame;

    // The background is recoloured once the store knows the key colour, and again only if
    // that colour ever changes.
    if (m_keyColorSeen != theImageStore.m_keyColor && m_pImage != nullptr) {
        m_pImage->RecolorKey(1, 1, theImageStore.m_keyColor, false);
        m_keyColorSeen = theImageStore.m_keyColor;
    }

    UpdateAnimTimer(item->itemState);

    HDC dc = item->hDC;
    const std::string caption = GetWindowText();
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    const int savedDc = ::SaveDC(dc);

    ButtonDrawInput input;
    input.item = {item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    input.captionCx = extent.cx;
    input.captionCy = extent.cy;
    input.frameWidth = m_frameWidth;
    input.rowHeight = m_rowHeight;
    input.frame = frameOnEntry;
    input.imageWidth = m_pImage != nullptr ? m_pImage->m_width : 0;
    input.imageHeight = m_pImage != nullptr ? m_pImage->m_height : 0;
    input.itemState = item->itemState;
    input.hover = m_hover != FALSE;
    const ButtonDrawPlan plan = PlanButtonDraw(input);
    m_disabledLook = plan.look.disabledLook;
    m_pressed = plan.look.pressed;

    if (plan.eraseStrip)
        DrawPath(dc, COLOR_BTNFACE, plan.strip, 0, 2, true);

    if (plan.showImage) {
        ::RealizePalette(dc);
        ::SetDIBitsToDevice(dc, plan.dest.x, plan.dest.y, static_cast<DWORD>(plan.copyWidth),
                            static_cast<DWORD>(plan.copyHeight), plan.sourceX, plan.sourceY, 0,
                            static_cast<UINT>(m_pImage->m_height), m_pImage->m_bits,
                            &m_pImage->m_bmi, DIB_RGB_COLORS);
        ::RealizePalette(dc);
    }

    const RECT text = {plan.caption.left, plan.caption.top, plan.caption.right,
                       plan.caption.bottom};
    if (m_disabledLook) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawCaption(dc, caption, Offset(text, 1, 1));
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
        DrawCaption(dc, caption, text);
        ::RestoreDC(dc, savedDc);
        return;
    }
    // The caption is wiped from the place it had in the other state, then drawn.
    if (m_pressed) {
        const COLORREF old = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
        DrawCaption(dc, caption, text);
        ::SetTextColor(dc, old);
        DrawCaption(dc, caption, Offset(text, 1, 1));
    } else {
        const COLORREF old = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
        DrawCaption(dc, caption, Offset(text, 1, 1));
        ::SetTextColor(dc, old);
        DrawCaption(dc, caption, text);
    }

    switch (plan.look.outline) {
    case ButtonOutline::Sunken:
        DrawPath(dc, COLOR_BTNSHADOW, plan.box, 0, 2, true);
        DrawPath(dc, COLOR_BTNHIGHLIGHT, plan.box, 3, 4, false);
        break;
    case ButtonOutline::Raised:
        DrawPath(dc, COLOR_BTNHIGHLIGHT, plan.box, 0, 2, true);
        DrawPath(dc, COLOR_BTNSHADOW, plan.box, 3, 4, false);
        break;
    case ButtonOutline::FocusCorners: {
        HPEN pen = ::CreatePen(PS_DOT, 1, RGB(0, 0, 0));
        HGDIOBJ old = ::SelectObject(dc, pen);
        for (const auto& corner : plan.corners) {
            ::MoveToEx(dc, corner[0].x, corner[0].y, nullptr);
            ::LineTo(dc, corner[1].x, corner[1].y);
            ::LineTo(dc, corner[2].x, corner[2].y);
        }
        ::SelectObject(dc, old);
        ::DeleteObject(pen);
        break;
    }
    case ButtonOutline::Flat:
        DrawPath(dc, COLOR_BTNFACE, plan.box, 0, 4, true);
        break;
    case ButtonOutline::None:
        break;
    }
    ::RestoreDC(dc, savedDc);
}

void CAnimButton::UpdateAnimTimer(uint32_t itemState) {
    switch (ChooseTimerUpkeep(itemState, m_timerId != 0, m_frameCount, m_hover != FALSE, m_frame)) {
    case TimerUpkeep::Stop:
        KillTimer(m_timerId);
        m_timerId = 0;
        m_frame = 0;
        break;
    case TimerUpkeep::Start:
        // Not once the window has gone with its image.
        if (m_pImage != nullptr)
            m_timerId =
                SetTimer(ANIM_BUTTON_TIMER, PlanAnimation(m_pImage->m_width, m_pImage->m_height,
                                                          m_frameCount, m_frameRate)
                                                .periodMs);
        break;
    case TimerUpkeep::Keep:
        break;
    }
}

uint32_t CAnimButton::WindowItemState() const {
    return ::IsWindowEnabled(m_hWnd) ? 0 : ITEM_STATE_DISABLED;
}

BOOL CAnimButton::OnSetCursor(HWND, UINT, UINT) {
    if (m_hCursor == nullptr)
        return FALSE;
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CAnimButton::OnDestroy() {
    if (m_timerId != 0)
        KillTimer(m_timerId);
    m_timerId = 0;
    // The image goes with its button: a dialog opened again makes a fresh one.
    theImageStore.ReleaseImage(m_pImage);
    m_pImage = nullptr;
    Default();
}

void CAnimButton::OnTimer(UINT_PTR) {
    m_frame = NextFrame(m_frame, m_frameCount);
    if (::GetCapture() != m_hWnd)
        m_hover = FALSE;
    if (m_hover)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    // Once the mouse has gone and the frames are back at rest, nothing is left to show.
    UpdateAnimTimer(WindowItemState());
    Default();
}

void CAnimButton::OnMouseMove(UINT, POINT point) {
    Default();
    if (::GetCapture() != m_hWnd) {
        m_hover = TRUE;
        ::SetCapture(m_hWnd);
        // The leave is reported even after the capture has gone (a click releases it).
        TRACKMOUSEEVENT leave = {sizeof(leave), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&leave);
        UpdateAnimTimer(WindowItemState());
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow();
    } else if (m_hover) {
        RECT client;
        GetClientRect(&client);
        if (!::PtInRect(&client, point))
            EndHover();
    }
}

void CAnimButton::OnMouseLeave() {
    Default();
    if (!m_hover)
        return;
    // A leave posted before the mouse came back in is out of date.
    POINT pointer;
    RECT client;
    GetClientRect(&client);
    if (::GetCursorPos(&pointer) && ::ScreenToClient(m_hWnd, &pointer) &&
        ::PtInRect(&client, pointer))
        return;
    EndHover();
}

void CAnimButton::EndHover() {
    m_hover = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CAnimButton::OnLButtonDown(UINT, POINT) {
    Default();
}
