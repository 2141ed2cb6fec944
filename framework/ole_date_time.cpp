// COleDateTime; see ole_date_time.h.
#include "framework/ole_date_time.h"

#include <oleauto.h>

COleDateTime COleDateTime::GetCurrentTime() {
    SYSTEMTIME local;
    ::GetLocalTime(&local);
    double days = 0.0;
    // The system's own day count, which leaves the milliseconds out.
    if (!::SystemTimeToVariantTime(&local, &days))
        return COleDateTime(0.0, invalid);
    return COleDateTime(days);
}

double COleDateTime::operator-(const COleDateTime& earlier) const {
    if (m_status != valid || earlier.m_status != valid)
        return 0.0;
    return m_dt - earlier.m_dt;
}
