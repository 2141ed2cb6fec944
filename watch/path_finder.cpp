// CPathFinder: see path_finder.h.
#include "watch/path_finder.h"

#include "probe/path_trace_win.h"
#include "probe/platform_probe.h"

std::optional<PathFinding> CPathFinder::Find(HWND window, bool atBreak, bool answering) {
    ++m_nAsked; // whatever runs now is abandoned
    m_bPending = false;
    m_bAtBreak = atBreak;
    const std::optional<TraceTarget> target = ProbeTraceTarget();
    if (!target)
        return PathFinding{{"no address to trace yet", {}}, atBreak};
    const bool ipv6 = target->address.isIpv6;
    m_subject = {ipv6, target->port, target->web, answering, ipv6 ? 0 : target->address.ToIpv4()};
    if (!IsTraced(m_subject))
        return PathFinding{FindWhereItStops(m_subject, {}), atBreak};
    m_bPending = !StartTrace(window);
    return std::nullopt;
}

void CPathFinder::Abandon() {
    ++m_nAsked;
    m_bPending = false;
}

bool CPathFinder::StartTrace(HWND window) {
    return StartPathTrace(m_subject.address, m_nAsked, window);
}

std::optional<PathFinding> CPathFinder::OnTraced(HWND window, LPARAM lParam) {
    const std::unique_ptr<PathTraceAnswers> answers = TakePathTrace(lParam);
    if (m_bPending) {
        m_bPending = false;
        StartTrace(window); // the answers in hand are those of an abandoned trace
        return std::nullopt;
    }
    if (!answers || answers->traceId != m_nAsked)
        return std::nullopt;
    return PathFinding{FindWhereItStops(m_subject, answers->answers), m_bAtBreak};
}
