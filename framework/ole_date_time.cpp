// COleDateTime; see ole_date_time.h.
#include "framework/ole_date_time.h"

namespace {
// Days from 1 March of year 0 (proleptic Gregorian) to the given date.
long DaysFromCivil(long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long>(dayOfEra);
}
} // namespace

COleDateTime COleDateTime::FromLocalTime(const std::tm& local) {
    const long year = static_cast<long>(local.tm_year) + 1900;
    if (year < 100 || local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1)
        return COleDateTime(0.0, invalid);
    const long days = DaysFromCivil(year, static_cast<unsigned>(local.tm_mon) + 1,
                                    static_cast<unsigned>(local.tm_mday)) -
                      DaysFromCivil(1899, 12, 30);
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return COleDateTime(static_cast<double>(days) + seconds / 86400.0);
}

COleDateTime COleDateTime::GetCurrentTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr)
        return COleDateTime(0.0, invalid);
    return FromLocalTime(*local);
}

double COleDateTime::operator-(const COleDateTime& earlier) const {
    if (m_status != valid || earlier.m_status != valid)
        return 0.0;
    return m_dt - earlier.m_dt;
}
