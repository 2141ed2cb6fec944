// The History window's scale, time marks, picture columns and times.
#include "history/history_view.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int64_t MS_PER_MINUTE = 60000;
constexpr uint64_t MOST_SCALE_STEPS = 5;

// The times are put together from whole numbers, without the C library's formatted printing,
// which would bring its floating-point formatter (about 17 KB) into the program for them.

// A whole number of at least `width` digits, with leading zeros.
std::string Digits(int64_t value, std::size_t width = 1) {
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

// The columns of [fromMs, toMs) (history clock) that the range touches, as [first, last];
// false when it misses the picture.
bool ColumnsTouched(int64_t fromMs, int64_t toMs, int64_t startMs, int64_t spanMs, int width,
                    int& first, int& last) {
    fromMs = std::max(fromMs, startMs);
    toMs = std::min(toMs, startMs + spanMs);
    if (fromMs >= toMs)
        return false;
    first = static_cast<int>((fromMs - startMs) * width / spanMs);
    last = static_cast<int>(((toMs - startMs) * width + spanMs - 1) / spanMs) - 1;
    first = std::clamp(first, 0, width - 1);
    last = std::clamp(last, first, width - 1);
    return true;
}

// The smallest multiple of step at or after value.
int64_t CeilTo(int64_t value, int64_t step) {
    const int64_t rest = value % step;
    return rest == 0 ? value : value - rest + (rest > 0 ? step : 0);
}

// The first `most` marks of the span that ends at utcNowMs on whole local times of stepMs: each
// found in UTC from the offset before it and kept only when its own offset is the same; where
// the offset changes, the search goes on from the far side of the change.
std::vector<TimeMark> MarksEvery(int64_t stepMs, int64_t utcNowMs, int64_t span, int width,
                                 const HistoryClock& clock, std::size_t most) {
    std::vector<TimeMark> marks;
    const int64_t startUtc = utcNowMs - span;
    for (int64_t utc = startUtc; marks.size() < most;) {
        const int64_t offset = MS_PER_MINUTE * clock.OffsetMinutes(utc);
        const int64_t candidate = CeilTo(utc + offset, stepMs) - offset;
        if (candidate > utcNowMs)
            break;
        if (MS_PER_MINUTE * clock.OffsetMinutes(candidate) != offset) {
            utc = candidate;
            continue;
        }
        const int x = static_cast<int>((candidate - startUtc) * width / span);
        if (x < width)
            marks.push_back(TimeMark{x, clock.TimeOfDay(candidate + offset, false)});
        utc = candidate + 1;
    }
    return marks;
}

} // namespace

RoundTripScale ScaleFor(uint32_t maxRoundTripMs) {
    for (uint64_t power = 1;; power *= 10) {
        for (uint64_t factor : {1, 2, 5}) {
            const uint64_t step = factor * power;
            const uint64_t steps = maxRoundTripMs / step + 1;
            if (steps <= MOST_SCALE_STEPS)
                return RoundTripScale{static_cast<uint32_t>(steps * step),
                                      static_cast<uint32_t>(step)};
        }
    }
}

std::vector<TimeMark> TimeMarks(HistoryMs spanMs, int64_t utcNowMs, int width,
                                const HistoryClock& clock,
                                const std::function<int(const std::string&)>& labelWidth) {
    static constexpr int64_t STEP_MINUTES[] = {1,   2,   5,   10,  15,  30,  60,
                                               120, 180, 240, 360, 720, 1440};
    const int64_t span = static_cast<int64_t>(spanMs);
    if (width <= 0 || span <= 0)
        return {};
    const auto widest = [&](const std::vector<TimeMark>& marks) {
        int most = 0;
        for (const TimeMark& mark : marks)
            most = std::max(most, labelWidth(mark.label));
        return int64_t{most};
    };
    for (int64_t minutes : STEP_MINUTES) {
        const int64_t stepMs = minutes * MS_PER_MINUTE;
        // One label first: a step too short for it is too short for the widest.
        const auto fits = [&](const std::vector<TimeMark>& marks) {
            return minutes == STEP_MINUTES[std::size(STEP_MINUTES) - 1] ||
                   stepMs * width >= 2 * widest(marks) * span;
        };
        if (!fits(MarksEvery(stepMs, utcNowMs, span, width, clock, 1)))
            continue;
        std::vector<TimeMark> marks = MarksEvery(stepMs, utcNowMs, span, width, clock, SIZE_MAX);
        if (fits(marks))
            return marks;
    }
    return {};
}

std::vector<PictureColumn> PictureColumns(const CheckHistory& history, HistoryMs nowMs,
                                          HistoryMs spanMs, int width) {
    std::vector<PictureColumn> columns(static_cast<std::size_t>(std::max(width, 0)));
    const int64_t span = static_cast<int64_t>(spanMs);
    if (width <= 0 || span <= 0 || !history.IsStarted())
        return columns;
    const int64_t now = static_cast<int64_t>(nowMs);
    const int64_t start = now - span;
    const int64_t watchEnd = history.IsWatching() ? now : static_cast<int64_t>(history.StoppedAt());
    int first = 0;
    int last = 0;
    if (ColumnsTouched(0, watchEnd, start, span, width, first, last))
        for (int c = first; c <= last; ++c)
            columns[c].watched = true;
    // A column wholly inside a gap is grey.
    const std::vector<HistoryGap>& gaps = history.Gaps();
    for (const HistoryGap& gap : gaps) {
        const int64_t from = std::max(static_cast<int64_t>(gap.fromMs), start) - start;
        const int64_t to = std::min(static_cast<int64_t>(gap.toMs), now) - start;
        for (int64_t c = (from * width + span - 1) / span; c < to * width / span; ++c)
            columns[static_cast<std::size_t>(c)].watched = false;
    }

    const std::size_t count = history.CheckCount();
    std::size_t i = history.FirstCheckFrom(start > 0 ? static_cast<HistoryMs>(start) : 0);
    if (i > 0)
        --i; // the check before the span stands for time inside it
    std::size_t nextGap = 0;
    for (; i < count; ++i) {
        const CheckSample& sample = history.Check(i);
        if (sample.state == CheckState::Pending)
            continue;
        const int64_t from = static_cast<int64_t>(sample.TimeMs());
        int64_t to = i + 1 < count ? static_cast<int64_t>(history.Check(i + 1).TimeMs()) : watchEnd;
        while (nextGap < gaps.size() && static_cast<int64_t>(gaps[nextGap].fromMs) < from)
            ++nextGap;
        if (nextGap < gaps.size())
            to = std::min(to, static_cast<int64_t>(gaps[nextGap].fromMs));
        if (!ColumnsTouched(from, std::max(to, from + 1), start, span, width, first, last))
            continue;
        for (int c = first; c <= last; ++c) {
            PictureColumn& column = columns[c];
            if (sample.state == CheckState::Lost) {
                column.lost = true;
            } else {
                column.answered = true;
                column.maxMs = std::max(column.maxMs, sample.roundTripMs);
            }
        }
    }
    // The slow time runs from a slow event to the next event, the stop or now.
    int64_t slowFrom = -1;
    for (std::size_t e = 0; e <= history.EventCount(); ++e) {
        const bool end = e == history.EventCount();
        const HistoryEventKind kind = end ? HistoryEventKind::SlowEnd : history.Event(e).kind;
        const int64_t t = end ? watchEnd : static_cast<int64_t>(history.Event(e).TimeMs());
        if (slowFrom >= 0 &&
            ColumnsTouched(slowFrom, std::max(t, slowFrom + 1), start, span, width, first, last))
            for (int c = first; c <= last; ++c)
                columns[c].slow = true;
        slowFrom = kind == HistoryEventKind::Slow ? t : -1;
        if (end || t < start || t >= now || kind == HistoryEventKind::Slow ||
            kind == HistoryEventKind::SlowEnd)
            continue;
        PictureColumn& column = columns[static_cast<std::size_t>((t - start) * width / span)];
        (kind == HistoryEventKind::Make ? column.make : column.breaks) = true;
    }
    return columns;
}

uint32_t MaxRoundTrip(const std::vector<PictureColumn>& columns) {
    uint32_t most = 0;
    for (const PictureColumn& column : columns)
        most = std::max<uint32_t>(most, column.maxMs);
    return most;
}

std::string ClockText(int64_t localMs) {
    const int64_t second = localMs / 1000 % 86400;
    return Digits(second / 3600, 2) + ":" + Digits(second / 60 % 60, 2) + ":" +
           Digits(second % 60, 2);
}

std::string IsoDateTimeText(const CivilDate& date, int64_t localMs, int offsetMinutes) {
    const int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    return Digits(date.year, 4) + "-" + Digits(date.month, 2) + "-" + Digits(date.day, 2) + "T" +
           ClockText(localMs) + "." + Digits(localMs / 100 % 10) + (offsetMinutes < 0 ? "-" : "+") +
           Digits(offset / 60, 2) + ":" + Digits(offset % 60, 2);
}

std::string HistoryClock::TimeOfDayAt(HistoryMs ms, HistoryMs nowMs, int64_t utcNowMs) const {
    const int64_t utc = utcNowMs - static_cast<int64_t>(nowMs - ms);
    return TimeOfDay(utc + int64_t{60000} * OffsetMinutes(utc), true);
}
