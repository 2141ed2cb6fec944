// When a name is looked up again, apart from any resolver: a name that resolves is asked for
// again at most every REFRESH_MS (so that round-robin names and moved hosts are followed), and
// at once when the host stops answering; a name the server does not know, or a server that
// does not answer, is asked for again after 1, 2, 4, ... s, at most REFRESH_MS apart, so that a
// program started before the network was up finds its host soon after it comes up. Any way of
// probing that looks names up can keep one of these per start.
#pragma once

#include <cstdint>

class LookupSchedule {
public:
    static constexpr uint32_t REFRESH_MS = 30000;
    static constexpr uint32_t FIRST_RETRY_MS = 1000;

    // A new start: the name is due at once.
    void Reset();
    // Whether the next lookup is due at `now` (a 32-bit millisecond tick, compared with
    // wrap-around arithmetic).
    bool IsDue(uint32_t now) const;
    // A lookup gave an address at `now`: the next one after REFRESH_MS, and the retries start
    // again from FIRST_RETRY_MS.
    void OnFound(uint32_t now);
    // A lookup gave no address at `now`: the next one after the current retry wait, which then
    // doubles up to REFRESH_MS.
    void OnNotFound(uint32_t now);
    // The host stopped answering: it may have moved, so the next lookup is due at once.
    void LookAgainNow() { m_bDueNow = true; }

    // How long after the latest answer the next lookup is due, unless due at once.
    uint32_t WaitMs() const { return m_nWaitMs; }

private:
    bool m_bDueNow = true;
    uint32_t m_dwLastAnswer = 0;
    uint32_t m_nWaitMs = 0;
    uint32_t m_nRetryMs = FIRST_RETRY_MS; // the wait after the next lookup that finds nothing
};
