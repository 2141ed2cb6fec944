// The lookup schedule: refresh and exponential retry.
#include "probe/lookup_schedule.h"

#include <algorithm>

void LookupSchedule::Reset() {
    *this = LookupSchedule();
}

bool LookupSchedule::IsDue(uint32_t now) const {
    return m_bDueNow || now - m_dwLastAnswer >= m_nWaitMs;
}

void LookupSchedule::OnFound(uint32_t now) {
    m_bDueNow = false;
    m_dwLastAnswer = now;
    m_nWaitMs = REFRESH_MS;
    m_nRetryMs = FIRST_RETRY_MS;
}

void LookupSchedule::OnNotFound(uint32_t now) {
    m_bDueNow = false;
    m_dwLastAnswer = now;
    m_nWaitMs = m_nRetryMs;
    m_nRetryMs = std::min(m_nRetryMs * 2, REFRESH_MS);
}
