// The History window's picture: the round trip of every check of the span as bars, lost checks
// in red along the bottom, makes and breaks as vertical lines, grey where Tarnwell was not
// watching, a scale in milliseconds at the side and clock times along the bottom. Drawn with
// GDI at the device's own resolution, so it stays sharp at any display scaling.
#pragma once

#include "framework/wnd.h"
#include "history/history_view.h"

#include <windows.h>

// Colours of the picture (COLORREF).
constexpr COLORREF HISTORY_ANSWER_COLOR = RGB(0, 102, 204);
constexpr COLORREF HISTORY_LOST_COLOR = RGB(220, 0, 0);
constexpr COLORREF HISTORY_SLOW_COLOR = RGB(255, 176, 0); // the slow light's amber
constexpr COLORREF HISTORY_MAKE_COLOR = RGB(0, 160, 0);
constexpr COLORREF HISTORY_BREAK_COLOR = RGB(220, 0, 0);
constexpr COLORREF HISTORY_WATCHED_COLOR = RGB(255, 255, 255);
constexpr COLORREF HISTORY_NOT_WATCHED_COLOR = RGB(208, 208, 208);

// The user's clock: the time zone's rule for each time, the user's time format, the system's
// calendar.
class UserClock : public HistoryClock {
public:
    int OffsetMinutes(int64_t utcMs) const override;
    std::string TimeOfDay(int64_t localMs, bool seconds) const override;
    CivilDate DateOf(int64_t localMs) const override;
};

// Draws the span that ends at nowTick (the moment utcNowMs) into `area` of the device context,
// with `font` for the scale and the times.
void DrawHistoryPicture(HDC dc, const RECT& area, HFONT font, const CheckHistory& history,
                        HistoryMs spanMs, uint32_t nowTick, int64_t utcNowMs);

// The picture control of the History window: a static control that paints itself through
// DrawHistoryPicture, double-buffered so that a redraw never flickers.
class CHistoryPicture : public CWnd {
public:
    explicit CHistoryPicture(const CheckHistory& history) : m_history(history) {}
    void SetSpan(HistoryMs spanMs) { m_spanMs = spanMs; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();

    const CheckHistory& m_history;
    HistoryMs m_spanMs = 600000;
};
