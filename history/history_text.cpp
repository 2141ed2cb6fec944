// The History window's figures, event lines and CSV.
#include "history/history_text.h"

#include <algorithm>
#include <cmath>

namespace {

// The figures are put together from whole numbers, as history_view's times are, without the C
// library's formatted printing.

// A value of zero or more with one decimal, the half rounded up.
std::string OneDecimal(double value) {
    const long long tenths = std::llround(std::max(value, 0.0) * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string Plural(uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "HH:MM:SS  the path ends after hop 2 (...)", then its hops indented, nearest first.
void AddFindingLines(std::vector<std::string>& lines, const std::string& clock,
                     const HistoryFinding& finding) {
    lines.push_back(clock + finding.text);
    for (const std::string& hop : finding.hops)
        lines.push_back(std::string(clock.size(), ' ') + hop);
}

} // namespace

std::string FiguresText(const CheckFigures& f, const std::string& startTime) {
    std::string text = "Since " + startTime + "\r\n";
    text += "Checks sent: " + std::to_string(f.sent) + ", lost: " + std::to_string(f.lost) + " (" +
            OneDecimal(f.lossPercent) + " %)\r\n";
    if (f.answered > 0)
        text += "Round trip: last " + std::to_string(f.lastMs) + " ms, minimum " +
                std::to_string(f.minMs) + " ms, average " + OneDecimal(f.averageMs) +
                " ms, maximum " + std::to_string(f.maxMs) + " ms\r\n";
    else
        text += "Round trip: no answer yet\r\n";
    text += "Alive: " + OneDecimal(f.alivePercent) + " % of the time\r\n";
    text +=
        "Events: " + Plural(f.makes, "make", "makes") + ", " + Plural(f.breaks, "break", "breaks");
    return text;
}

std::vector<std::string> EventLines(const CheckHistory& history, HistoryMs nowMs, int64_t utcNowMs,
                                    const HistoryClock& clock) {
    std::vector<std::string> lines;
    const auto at = [&](HistoryMs timeMs) {
        return clock.TimeOfDayAt(timeMs, nowMs, utcNowMs) + "  ";
    };
    const std::vector<HistoryFinding>& findings = history.Findings();
    std::size_t f = findings.size();
    for (std::size_t e = history.EventCount(); e-- > 0;) {
        const HistoryEvent& event = history.Event(e);
        // A finding comes after the event that asked for it: newer, or of the same tenth.
        for (; f > 0 && findings[f - 1].timeMs >= event.TimeMs(); --f)
            AddFindingLines(lines, at(findings[f - 1].timeMs), findings[f - 1]);
        static const char* const TEXTS[] = {" is alive!", " has died!", " is slow!",
                                            " is no longer slow."};
        lines.push_back(at(event.TimeMs()) + history.Host() +
                        TEXTS[static_cast<std::size_t>(event.kind)]);
    }
    for (; f > 0; --f)
        AddFindingLines(lines, at(findings[f - 1].timeMs), findings[f - 1]);
    return lines;
}

std::string ChecksCsv(const CheckHistory& history, HistoryMs nowMs, HistoryMs spanMs,
                      int64_t utcNowMs, const HistoryClock& clock) {
    std::string csv = "time,round trip ms\r\n";
    const HistoryMs from = nowMs > spanMs ? nowMs - spanMs : 0;
    for (std::size_t i = history.FirstCheckFrom(from); i < history.CheckCount(); ++i) {
        const CheckSample& sample = history.Check(i);
        if (sample.state == CheckState::Pending)
            continue;
        const int64_t utc = utcNowMs - static_cast<int64_t>(nowMs - sample.TimeMs());
        const int offset = clock.OffsetMinutes(utc);
        const int64_t local = utc + int64_t{60000} * offset;
        csv += IsoDateTimeText(clock.DateOf(local), local, offset) + ",";
        if (sample.state == CheckState::Answered)
            csv += std::to_string(sample.roundTripMs);
        csv += "\r\n";
    }
    return csv;
}
