// Times for people, the Windows way: a UTC time made local with the time zone's rule for that
// very moment (so that a span across a daylight-saving change is right at both ends), and
// written in the user's own time format.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// A UTC time in milliseconds since 1 January 1601 (a FILETIME's origin).
int64_t UtcNowMs();
// A time in milliseconds as a SYSTEMTIME (no zone is applied).
std::optional<SYSTEMTIME> SystemTimeOfMs(int64_t ms);
// The local time of utcMs by the time zone's rules for that moment; nothing when Windows
// cannot tell it.
std::optional<SYSTEMTIME> LocalTimeOf(int64_t utcMs);
// The local time's offset from UTC at utcMs, in minutes; 0 when Windows cannot tell it.
int LocalOffsetMinutes(int64_t utcMs);
// The time of day in the user's own format ("14:32:05", "2:32:05 PM"); without the seconds
// when so asked.
std::string UserTimeText(const SYSTEMTIME& local, bool seconds);
// The date in the user's own short format ("08/12/2026", "12/8/2026", "2026-12-08").
std::string UserDateText(const SYSTEMTIME& local);
