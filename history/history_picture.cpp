// The History window's picture; see history_picture.h.
#include "history/history_picture.h"

#include "framework/local_time.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

constexpr COLORREF FRAME_COLOR = RGB(128, 128, 128);
constexpr COLORREF GRID_COLOR = RGB(232, 232, 232);
constexpr COLORREF TEXT_COLOR = RGB(0, 0, 0);
constexpr COLORREF BACKGROUND_COLOR = RGB(255, 255, 255);

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    // ExtTextOut with an opaque rectangle fills without a brush to make and delete.
    const RECT rect{left, top, right, bottom};
    ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::string& text) {
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// Runs of neighbouring columns that look the same are filled as one rectangle.
template <class Same, class Draw>
void ForEachRun(const std::vector<PictureColumn>& columns, Same same, Draw draw) {
    std::size_t first = 0;
    for (std::size_t c = 1; c <= columns.size(); ++c) {
        if (c < columns.size() && same(columns[first], columns[c]))
            continue;
        draw(columns[first], static_cast<int>(first), static_cast<int>(c));
        first = c;
    }
}

} // namespace

int UserClock::OffsetMinutes(int64_t utcMs) const {
    return LocalOffsetMinutes(utcMs);
}

std::string UserClock::TimeOfDay(int64_t localMs, bool seconds) const {
    const std::optional<SYSTEMTIME> time = SystemTimeOfMs(localMs);
    const std::string text = time ? UserTimeText(*time, seconds) : std::string();
    return text.empty() ? ClockText(localMs).substr(0, seconds ? 8 : 5) : text;
}

CivilDate UserClock::DateOf(int64_t localMs) const {
    const std::optional<SYSTEMTIME> time = SystemTimeOfMs(localMs);
    return time ? CivilDate{time->wYear, time->wMonth, time->wDay} : CivilDate{};
}

void DrawHistoryPicture(HDC dc, const RECT& area, HFONT font, const CheckHistory& history,
                        HistoryMs spanMs, uint32_t nowTick, int64_t utcNowMs) {
    const int dpi = std::max(::GetDeviceCaps(dc, LOGPIXELSY), 96);
    const int unit = std::max(1, (dpi + 48) / 96); // a line: 1, 2 or 2 pixels at 100/150/200 %
    HGDIOBJ oldFont =
        ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(dc, TEXT_COLOR);
    ::SetBkMode(dc, TRANSPARENT);
    Fill(dc, area.left, area.top, area.right, area.bottom, BACKGROUND_COLOR);

    const HistoryMs nowMs = history.IsStarted() ? history.At(nowTick) : 0;
    const int textHeight = TextSize(dc, "0").cy;
    const int gap = 3 * unit;
    // The scale's labels need the widest one's room; the columns need the plot's width first,
    // so the room is that of the widest label the scale can have.
    const int left = area.left + TextSize(dc, "80000 ms").cx + 2 * gap;
    const RECT plot{left, area.top + textHeight / 2 + unit, area.right - 2 * gap,
                    area.bottom - textHeight - 2 * gap};
    const int width = plot.right - plot.left;
    const int height = plot.bottom - plot.top;
    if (width <= 0 || height <= 0) {
        ::SelectObject(dc, oldFont);
        return;
    }
    const std::vector<PictureColumn> columns = PictureColumns(history, nowMs, spanMs, width);
    const RoundTripScale scale = ScaleFor(MaxRoundTrip(columns));
    auto yOf = [&](uint32_t ms) {
        return plot.bottom - static_cast<int>(static_cast<int64_t>(ms) * height / scale.topMs);
    };

    ForEachRun(
        columns, [](const auto& a, const auto& b) { return a.watched == b.watched; },
        [&](const PictureColumn& c, int from, int to) {
            Fill(dc, plot.left + from, plot.top, plot.left + to, plot.bottom,
                 c.watched ? HISTORY_WATCHED_COLOR : HISTORY_NOT_WATCHED_COLOR);
        });
    // The scale: a line and a label at every step.
    for (uint32_t ms = 0; ms <= scale.topMs; ms += scale.stepMs) {
        const int y = yOf(ms);
        if (ms > 0)
            Fill(dc, plot.left, y, plot.right, y + unit, GRID_COLOR);
        const std::string label = std::to_string(ms) + " ms";
        Text(dc, plot.left - gap - TextSize(dc, label).cx, y - textHeight / 2, label);
    }
    // Makes and breaks behind the bars, which must stay visible where they coincide.
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int x = plot.left + static_cast<int>(c);
        if (columns[c].breaks)
            Fill(dc, x, plot.top, x + unit, plot.bottom, HISTORY_BREAK_COLOR);
        if (columns[c].make)
            Fill(dc, x, plot.top, x + unit, plot.bottom, HISTORY_MAKE_COLOR);
    }
    // Answered checks: a bar up to the highest round trip of the column, a line at least.
    const int lostHeight = 4 * unit;
    ForEachRun(
        columns,
        [](const auto& a, const auto& b) { return a.answered == b.answered && a.maxMs == b.maxMs; },
        [&](const PictureColumn& c, int from, int to) {
            if (c.answered)
                Fill(dc, plot.left + from, std::min(yOf(c.maxMs), plot.bottom - unit),
                     plot.left + to, plot.bottom, HISTORY_ANSWER_COLOR);
        });
    ForEachRun(
        columns, [](const auto& a, const auto& b) { return a.lost == b.lost; },
        [&](const PictureColumn& c, int from, int to) {
            if (c.lost)
                Fill(dc, plot.left + from, plot.bottom - lostHeight, plot.left + to, plot.bottom,
                     HISTORY_LOST_COLOR);
        });
    // The slow time: an amber band along the top.
    ForEachRun(
        columns, [](const auto& a, const auto& b) { return a.slow == b.slow; },
        [&](const PictureColumn& c, int from, int to) {
            if (c.slow)
                Fill(dc, plot.left + from, plot.top, plot.left + to, plot.top + lostHeight,
                     HISTORY_SLOW_COLOR);
        });
    // The frame, then the clock times below it.
    Fill(dc, plot.left - unit, plot.top - unit, plot.right + unit, plot.top, FRAME_COLOR);
    Fill(dc, plot.left - unit, plot.bottom, plot.right + unit, plot.bottom + unit, FRAME_COLOR);
    Fill(dc, plot.left - unit, plot.top, plot.left, plot.bottom, FRAME_COLOR);
    Fill(dc, plot.right, plot.top, plot.right + unit, plot.bottom, FRAME_COLOR);
    for (const TimeMark& mark :
         TimeMarks(spanMs, utcNowMs, width, UserClock(),
                   [dc](const std::string& label) { return TextSize(dc, label).cx; })) {
        const int x = plot.left + mark.x;
        Fill(dc, x, plot.bottom + unit, x + unit, plot.bottom + gap, FRAME_COLOR);
        const int labelWidth = TextSize(dc, mark.label).cx;
        const int labelX = std::clamp(x - labelWidth / 2, static_cast<int>(area.left),
                                      static_cast<int>(area.right) - labelWidth);
        Text(dc, labelX, plot.bottom + gap, mark.label);
    }
    ::SelectObject(dc, oldFont);
}

LRESULT CHistoryPicture::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1; // the paint covers every pixel
    return CWnd::WindowProc(message, wParam, lParam);
}

void CHistoryPicture::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(&client);
    // Drawn into a bitmap first and shown in one copy.
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
        DrawHistoryPicture(memory, client, font, m_history, m_spanMs, ::GetTickCount(), UtcNowMs());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    if (bitmap != nullptr)
        ::DeleteObject(bitmap);
    if (memory != nullptr)
        ::DeleteDC(memory);
    ::EndPaint(m_hWnd, &paint);
}
