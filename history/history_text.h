// What the History window shows as text, worked out from a CheckHistory: the figures since the
// start, the events (with the path trace's findings) and the checks as CSV. Times are told
// through a HistoryClock.
#pragma once

#include "history/check_history.h"
#include "history/history_view.h"

#include <cstdint>
#include <string>
#include <vector>

// The figures since the start as lines of text; startTime is the start's date and time.
std::string FiguresText(const CheckFigures& figures, const std::string& startTime);
// The events, newest first: "14:32:05  host is alive!", "... has died!", "... is slow!" or
// "... is no longer slow.". utcNowMs and nowMs are the same moment on the two clocks.
std::vector<std::string> EventLines(const CheckHistory& history, HistoryMs nowMs, int64_t utcNowMs,
                                    const HistoryClock& clock);
// The settled checks of the span as CSV: a header, then "time,round trip" with the time in
// ISO 8601 with its offset and the round trip empty for a lost check.
std::string ChecksCsv(const CheckHistory& history, HistoryMs nowMs, HistoryMs spanMs,
                      int64_t utcNowMs, const HistoryClock& clock);
