// CheckHistory: the ring of checks, the events, the gaps and the totals since the start.
#include "history/check_history.h"

#include <algorithm>

namespace {

constexpr uint32_t MAX_ROUND_TRIP_MS = 0xFFFF;
// An answer belongs to a check whose request went out this close to the answer's own send
// time (the check's time is read just after its request, and kept to a tenth of a second).
constexpr HistoryMs CHECK_MATCH_MS = 1000;
// A check's time is kept to a tenth of a second, cut down: its request went out up to this much
// later, and its answer limit runs from then.
constexpr HistoryMs CHECK_TIME_GRAIN_MS = 100;

uint32_t Tenths(HistoryMs ms) {
    return static_cast<uint32_t>(std::min<HistoryMs>(ms / 100, UINT32_MAX));
}

} // namespace

template <class T>
void CheckHistory::Append(std::vector<T>& ring, std::size_t& first, std::size_t capacity,
                          const T& item) {
    if (ring.size() < capacity) {
        // Grows in steps up to the capacity and never past it.
        if (ring.size() == ring.capacity())
            ring.reserve(std::min(capacity, std::max<std::size_t>(1024, ring.size() * 2)));
        ring.push_back(item);
        return;
    }
    ring[first] = item; // the oldest goes
    first = (first + 1) % capacity;
}

HistoryMs CheckHistory::At(uint32_t tick) const {
    const uint32_t since = tick - m_dwLastTick;
    // A tick from before the latest call (never expected) counts as the same moment.
    return m_lastMs + (since > 0x7FFFFFFF ? 0 : since);
}

HistoryMs CheckHistory::MoveTo(uint32_t tick) {
    const HistoryMs nowMs = At(tick);
    if (nowMs > m_lastMs || tick == m_dwLastTick)
        m_dwLastTick = tick;
    return nowMs;
}

void CheckHistory::Advance(HistoryMs nowMs) {
    if (IsWatching() && nowMs > m_lastMs) {
        m_watchedMs += nowMs - m_lastMs;
        if (m_bAlive)
            m_aliveMs += nowMs - m_lastMs;
    }
    m_lastMs = std::max(m_lastMs, nowMs);
}

void CheckHistory::Start(uint32_t tick, const std::string& host, uint32_t answerLimitMs) {
    // Cleared, not freed: the memory a day of checks took stays for the next watch.
    m_checks.clear();
    m_events.clear();
    m_gaps.clear();
    m_findings.clear();
    m_nFirstCheck = m_nFirstEvent = m_nPending = 0;
    m_nSent = m_nAnswered = m_nLost = m_nRoundTripSum = 0;
    m_nLastMs = m_nMinMs = m_nMaxMs = 0;
    m_nMakes = m_nBreaks = 0;
    m_bAlive = false;
    m_watchedMs = m_aliveMs = 0;
    m_bStarted = true;
    m_bStopped = false;
    m_strHost = host;
    m_answerLimitMs = answerLimitMs;
    m_dwLastTick = tick;
    m_lastMs = m_stoppedMs = m_resumedMs = 0;
    ++m_nRevision;
}

void CheckHistory::Stop(uint32_t tick) {
    if (!IsWatching())
        return;
    const HistoryMs nowMs = MoveTo(tick);
    Advance(nowMs);
    // No answer counts any more: what is still pending is lost.
    Settle(UINT64_MAX);
    m_bStopped = true;
    m_stoppedMs = nowMs;
    ++m_nRevision;
}

void CheckHistory::Settle(HistoryMs nowMs) {
    while (m_nPending > 0) {
        CheckSample& sample = CheckAt(m_checks.size() - m_nPending);
        if (sample.state == CheckState::Pending) {
            if (nowMs != UINT64_MAX &&
                nowMs - sample.TimeMs() <= m_answerLimitMs + CHECK_TIME_GRAIN_MS)
                break;
            sample.state = CheckState::Lost;
            ++m_nLost;
            ++m_nRevision;
        }
        --m_nPending;
    }
}

void CheckHistory::OnCheckSent(uint32_t tick) {
    if (!IsWatching())
        return;
    const HistoryMs nowMs = MoveTo(tick);
    Advance(nowMs);
    Settle(nowMs);
    CheckSample sample;
    sample.timeDs = Tenths(nowMs);
    Append(m_checks, m_nFirstCheck, CHECK_CAPACITY, sample);
    m_nPending = std::min(m_nPending + 1, m_checks.size());
    ++m_nSent;
}

void CheckHistory::OnAnswer(uint32_t tick, uint32_t roundTripMs) {
    if (!IsWatching())
        return;
    const HistoryMs nowMs = MoveTo(tick);
    Advance(nowMs);
    Settle(nowMs);
    const HistoryMs sentMs = nowMs > roundTripMs ? nowMs - roundTripMs : 0;
    CheckSample* best = nullptr;
    HistoryMs bestDistance = UINT64_MAX;
    for (std::size_t i = m_checks.size() - m_nPending; i < m_checks.size(); ++i) {
        CheckSample& sample = CheckAt(i);
        const HistoryMs time = sample.TimeMs();
        const HistoryMs distance = time > sentMs ? time - sentMs : sentMs - time;
        if (sample.state == CheckState::Pending && distance < CHECK_MATCH_MS &&
            distance < bestDistance) {
            best = &sample;
            bestDistance = distance;
        }
    }
    if (best == nullptr)
        return; // too late, or a second answer to a check already answered
    const uint32_t ms = std::min(roundTripMs, MAX_ROUND_TRIP_MS);
    best->state = CheckState::Answered;
    best->roundTripMs = static_cast<uint16_t>(ms);
    m_nMinMs = m_nAnswered == 0 ? ms : std::min(m_nMinMs, ms);
    m_nMaxMs = std::max(m_nMaxMs, ms);
    m_nLastMs = ms;
    m_nRoundTripSum += ms;
    ++m_nAnswered;
    ++m_nRevision;
}

void CheckHistory::OnEvent(uint32_t tick, HistoryEventKind kind) {
    if (!IsWatching())
        return;
    const HistoryMs nowMs = MoveTo(tick);
    Advance(nowMs);
    Append(m_events, m_nFirstEvent, EVENT_CAPACITY, HistoryEvent{Tenths(nowMs), kind});
    if (kind == HistoryEventKind::Make || kind == HistoryEventKind::Break) {
        m_bAlive = kind == HistoryEventKind::Make;
        ++(m_bAlive ? m_nMakes : m_nBreaks);
    }
    ++m_nRevision;
}

void CheckHistory::OnFinding(uint32_t tick, const std::string& text,
                             const std::vector<std::string>& hops) {
    if (!IsStarted())
        return;
    const HistoryMs nowMs = IsWatching() ? MoveTo(tick) : m_stoppedMs;
    // Moved on with its tick, else the time since the latest call would be lost to the clock.
    if (IsWatching())
        Advance(nowMs);
    if (m_findings.size() == FINDING_CAPACITY)
        m_findings.erase(m_findings.begin());
    m_findings.push_back(HistoryFinding{nowMs, text, hops});
    ++m_nRevision;
}

void CheckHistory::OnNotWatched(uint32_t tick, uint32_t periodMs) {
    if (!IsWatching())
        return;
    const HistoryMs nowMs = MoveTo(tick);
    const HistoryMs latestMs = m_checks.empty() ? 0 : Check(m_checks.size() - 1).TimeMs();
    const HistoryMs fromMs = std::max(latestMs + periodMs, m_lastMs);
    if (fromMs < nowMs) {
        Advance(fromMs); // the time asleep is neither alive nor dead
        if (m_gaps.size() == GAP_CAPACITY)
            m_gaps.erase(m_gaps.begin());
        m_gaps.push_back(HistoryGap{fromMs, nowMs});
        ++m_nRevision;
    }
    m_lastMs = std::max(m_lastMs, nowMs);
}

void CheckHistory::OnChecksResumed(uint32_t tick) {
    if (!IsWatching())
        return;
    m_resumedMs = MoveTo(tick);
    Advance(m_resumedMs);
}

CheckFigures CheckHistory::Figures(uint32_t tick) const {
    CheckFigures f;
    f.sent = m_nSent;
    f.answered = m_nAnswered;
    f.lost = m_nLost;
    f.lastMs = m_nLastMs;
    f.minMs = m_nMinMs;
    f.maxMs = m_nMaxMs;
    f.makes = m_nMakes;
    f.breaks = m_nBreaks;
    if (m_nAnswered > 0)
        f.averageMs = static_cast<double>(m_nRoundTripSum) / static_cast<double>(m_nAnswered);
    if (m_nAnswered + m_nLost > 0)
        f.lossPercent =
            100.0 * static_cast<double>(m_nLost) / static_cast<double>(m_nAnswered + m_nLost);
    HistoryMs watched = m_watchedMs;
    HistoryMs alive = m_aliveMs;
    if (IsWatching()) {
        const HistoryMs ongoing = At(tick) - m_lastMs;
        watched += ongoing;
        alive += m_bAlive ? ongoing : 0;
    }
    if (watched > 0)
        f.alivePercent = 100.0 * static_cast<double>(alive) / static_cast<double>(watched);
    return f;
}

RecentChecks CheckHistory::Recent(uint32_t tick) const {
    HistoryMs fromMs = m_resumedMs;
    for (std::size_t i = m_events.size(); i-- > 0;) {
        if (Event(i).kind == HistoryEventKind::Make) {
            fromMs = std::max(fromMs, Event(i).TimeMs());
            break;
        }
    }
    const HistoryMs nowMs = At(tick);
    const HistoryMs minuteFromMs = std::max(
        fromMs, nowMs > RecentChecks::LOSS_SPAN_MS ? nowMs - RecentChecks::LOSS_SPAN_MS : 0);
    RecentChecks recent;
    for (std::size_t i = m_checks.size(); i-- > 0;) {
        const CheckSample& sample = Check(i);
        const HistoryMs timeMs = sample.TimeMs();
        if (timeMs < fromMs ||
            (timeMs < minuteFromMs && recent.answered == RecentChecks::RECENT_ANSWERS))
            break;
        if (sample.state == CheckState::Answered &&
            recent.answered < RecentChecks::RECENT_ANSWERS) {
            const uint32_t ms = sample.roundTripMs;
            recent.latestMs = recent.answered == 0 ? ms : recent.latestMs;
            recent.fastestMs = recent.answered == 0 ? ms : std::min(recent.fastestMs, ms);
            recent.slowestMs = std::max(recent.slowestMs, ms);
            ++recent.answered;
        }
        if (timeMs >= minuteFromMs && sample.state != CheckState::Pending) {
            ++recent.known;
            recent.lost += sample.state == CheckState::Lost ? 1 : 0;
        }
    }
    return recent;
}

std::size_t CheckHistory::FirstCheckFrom(HistoryMs fromMs) const {
    std::size_t low = 0;
    std::size_t high = m_checks.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (Check(middle).TimeMs() < fromMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::size_t CheckHistory::MemoryBytes() const {
    return m_checks.capacity() * sizeof(CheckSample) + m_events.capacity() * sizeof(HistoryEvent) +
           m_gaps.capacity() * sizeof(HistoryGap);
}
