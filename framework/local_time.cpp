// Local times and text conversion; see local_time.h.
#include "framework/local_time.h"

#include "framework/wide_text.h"

#include <algorithm>
#include <iterator>

namespace {

int64_t MsOfFileTime(const FILETIME& file) {
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart / 10000);
}

} // namespace

int64_t UtcNowMs() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return MsOfFileTime(now);
}

std::optional<SYSTEMTIME> SystemTimeOfMs(int64_t ms) {
    ULARGE_INTEGER value;
    value.QuadPart = static_cast<ULONGLONG>(std::max<int64_t>(ms, 0)) * 10000;
    const FILETIME file = {value.LowPart, value.HighPart};
    SYSTEMTIME time;
    if (!::FileTimeToSystemTime(&file, &time))
        return std::nullopt;
    return time;
}

std::optional<SYSTEMTIME> LocalTimeOf(int64_t utcMs) {
    const std::optional<SYSTEMTIME> utc = SystemTimeOfMs(utcMs);
    SYSTEMTIME local;
    // Per time, not FileTimeToLocalFileTime, which applies today's offset to every time.
    if (!utc || !::SystemTimeToTzSpecificLocalTime(nullptr, &*utc, &local))
        return std::nullopt;
    return local;
}

int LocalOffsetMinutes(int64_t utcMs) {
    const std::optional<SYSTEMTIME> local = LocalTimeOf(utcMs);
    FILETIME file;
    if (!local || !::SystemTimeToFileTime(&*local, &file))
        return 0;
    const int64_t differenceMs = MsOfFileTime(file) - utcMs;
    return static_cast<int>((differenceMs + (differenceMs < 0 ? -30000 : 30000)) / 60000);
}

std::string UserTimeText(const SYSTEMTIME& local, bool seconds) {
    wchar_t text[80] = {};
    if (::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, seconds ? 0 : TIME_NOSECONDS, &local, nullptr,
                          text, static_cast<int>(std::size(text))) == 0)
        return std::string();
    return NarrowText(text);
}

std::string UserDateText(const SYSTEMTIME& local) {
    wchar_t text[80] = {};
    if (::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, text,
                          static_cast<int>(std::size(text)), nullptr) == 0)
        return std::string();
    return NarrowText(text);
}
