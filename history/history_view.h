// The History window's picture, worked out from a CheckHistory without any drawing: the
// round-trip scale that fits the checks in view, the clock times along the bottom, one column
// of the picture per pixel, and how times are told. The figures, the events and the CSV are in
// history_text. Clock times are in milliseconds since 1 January 1601 (the platform's file time
// divided by 10,000), made local through a HistoryClock.
#pragma once

#include "history/check_history.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The scale of the picture: from 0 to topMs, with a line every stepMs (1, 2 or 5 times a power
// of ten), a little above the highest round trip so that the highest bar never touches the top.
struct RoundTripScale {
    uint32_t topMs = 1;
    uint32_t stepMs = 1;
};
RoundTripScale ScaleFor(uint32_t maxRoundTripMs);

// One pixel column of the picture.
struct PictureColumn {
    bool watched = false;  // inside the watch and not in a gap: white, else grey
    bool answered = false; // a bar up to maxMs
    bool lost = false;     // a red mark along the bottom
    bool make = false;     // a vertical line of the make's colour
    bool breaks = false;   // a vertical line of the break's colour
    bool slow = false;     // in the time the host was slow: an amber band along the top
    uint16_t maxMs = 0;
};
// The columns of a picture `width` wide showing the span that ends at nowMs (the history's
// clock); each check stands for the time until the next one, or until a gap, the stop or now.
std::vector<PictureColumn> PictureColumns(const CheckHistory& history, HistoryMs nowMs,
                                          HistoryMs spanMs, int width);
// The highest round trip of the columns, for ScaleFor.
uint32_t MaxRoundTrip(const std::vector<PictureColumn>& columns);

// A day of the calendar.
struct CivilDate {
    int year = 0, month = 0, day = 0;
};

// "HH:MM:SS" of a local time.
std::string ClockText(int64_t localMs);
// ISO 8601 with the offset from UTC: "2026-03-29T03:00:12.3+02:00", the date that of localMs.
std::string IsoDateTimeText(const CivilDate& date, int64_t localMs, int offsetMinutes);

// How the window tells times (times are milliseconds since 1 January 1601): each UTC time is
// made local by the time zone's rule for that very moment, so that a span across a
// daylight-saving change is right at both ends, and a time of day is written in the user's own
// format ("14:32:05", "2:32:05 PM").
class HistoryClock {
public:
    virtual ~HistoryClock() = default;
    // The local time's offset from UTC at utcMs, in minutes (local = UTC + offset).
    virtual int OffsetMinutes(int64_t utcMs) const = 0;
    // With or without the seconds ("14:32", "2:32 PM").
    virtual std::string TimeOfDay(int64_t localMs, bool seconds) const = 0;
    // The calendar day of a local time.
    virtual CivilDate DateOf(int64_t localMs) const = 0;

    // The time of day of a history time, given the moment nowMs is utcNowMs.
    std::string TimeOfDayAt(HistoryMs ms, HistoryMs nowMs, int64_t utcNowMs) const;
};

// A time along the bottom: at pixel x of a picture `width` wide, on a whole step of local time.
struct TimeMark {
    int x = 0;
    std::string label; // the time of day without seconds: "14:30", "2:30 PM"
};
// The marks of the span that ends at utcNowMs, each on a whole local time by the zone's rule
// for its own moment, on the shortest step that leaves between two marks twice the width
// (labelWidth) of the widest of their labels.
std::vector<TimeMark> TimeMarks(HistoryMs spanMs, int64_t utcNowMs, int width,
                                const HistoryClock& clock,
                                const std::function<int(const std::string&)>& labelWidth);
