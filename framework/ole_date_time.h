// COleDateTime: a local date and time as a day count held in a double (days since
// 30 December 1899, the time of day as the fraction), with a validity status.
#pragma once

#include <windows.h>

// The platform headers define GetCurrentTime as a macro for their tick count.
#undef GetCurrentTime

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    explicit COleDateTime(double days, DateTimeStatus status = valid)
        : m_dt(days), m_status(status) {}

    // The current local time, to the second; invalid when the local time cannot be had.
    static COleDateTime GetCurrentTime();

    // The span between two times in days; 0 when either is not valid.
    double operator-(const COleDateTime& earlier) const;

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;
};
