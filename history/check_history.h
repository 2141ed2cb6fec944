// The history of a watch: every check since the start (a fixed ring of compact samples, the
// newest 86,400 of them, a day at the shortest period), the make and break events, the times
// Tarnwell was not watching (sleep), and running totals since the start that the ring's limit
// never cuts short. Fed by the watch state machine on the platform's 32-bit tick count; read by
// the History window. Memory grows with the first day of checks and then stays flat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Times within a history: milliseconds since the start of the watch (64 bits: no wrap).
using HistoryMs = uint64_t;

enum class CheckState : uint8_t { Pending, Answered, Lost };

// One check as the ring holds it: 8 bytes.
struct CheckSample {
    uint32_t timeDs = 0;      // when the request went out, in tenths of a second since the start
    uint16_t roundTripMs = 0; // when answered, capped at 65,535
    CheckState state = CheckState::Pending;

    HistoryMs TimeMs() const { return static_cast<HistoryMs>(timeDs) * 100; }
};

// Slow and SlowEnd: the alive host became slow, and was no longer (see the watch's slow rule).
enum class HistoryEventKind : uint8_t { Make, Break, Slow, SlowEnd };

struct HistoryEvent {
    uint32_t timeDs = 0;
    HistoryEventKind kind = HistoryEventKind::Make;

    HistoryMs TimeMs() const { return static_cast<HistoryMs>(timeDs) * 100; }
};

// Where the path stopped, found at a break or when asked: the finding and the hops' lines.
struct HistoryFinding {
    HistoryMs timeMs = 0;
    std::string text;
    std::vector<std::string> hops;
};

// A time within the watch when Tarnwell was not watching: [fromMs, toMs).
struct HistoryGap {
    HistoryMs fromMs = 0;
    HistoryMs toMs = 0;
};

// The figures since the start of the watch.
struct CheckFigures {
    uint64_t sent = 0;
    uint64_t answered = 0;
    uint64_t lost = 0;
    // Round trip of the answered checks, ms; meaningful when answered > 0.
    uint32_t lastMs = 0;
    uint32_t minMs = 0;
    uint32_t maxMs = 0;
    double averageMs = 0.0;
    // Percentages, 0 when nothing is known yet.
    double lossPercent = 0.0;  // lost of the checks settled (answered or lost)
    double alivePercent = 0.0; // time alive of the time watched
    uint64_t makes = 0;
    uint64_t breaks = 0;
};

// What the newest checks since the host came up say of its speed: the round trips of the
// newest answered checks (at most RECENT_ANSWERS), and the checks of the last minute whose fate
// is known.
struct RecentChecks {
    static constexpr uint32_t RECENT_ANSWERS = 5;
    static constexpr HistoryMs LOSS_SPAN_MS = 60000;
    uint32_t answered = 0; // how many newest answered checks were found, at most 5
    uint32_t latestMs = 0; // the round trip of the newest of them
    uint32_t fastestMs = 0;
    uint32_t slowestMs = 0;
    uint32_t known = 0; // of the last minute, answered or lost
    uint32_t lost = 0;
};

class CheckHistory {
public:
    static constexpr std::size_t CHECK_CAPACITY = 86400;
    static constexpr std::size_t EVENT_CAPACITY = 1000;
    static constexpr std::size_t GAP_CAPACITY = 64;

    // Enter or the command line: forget everything and start anew at `tick`, for `host`. A check
    // stays pending until its answer comes or `answerLimitMs` (the watch's silence limit, up to
    // which the watch still counts an answer) has passed since its request; then it is lost.
    void Start(uint32_t tick, const std::string& host, uint32_t answerLimitMs);
    // The check period changed, and with it the silence limit.
    void SetAnswerLimit(uint32_t answerLimitMs) { m_answerLimitMs = answerLimitMs; }
    // Watching ended (after an event, or a start that failed): unanswered checks are lost.
    void Stop(uint32_t tick);
    // A check's request went out (or could not, which loses it the same way). Settles the
    // checks whose answer is overdue.
    void OnCheckSent(uint32_t tick);
    // An answer with its round trip: it answers the pending check whose request went out
    // nearest to `tick` - `roundTripMs`.
    void OnAnswer(uint32_t tick, uint32_t roundTripMs);
    void OnEvent(uint32_t tick, HistoryEventKind kind);
    // A path trace's finding came (kept also after watching ended, until the next start).
    void OnFinding(uint32_t tick, const std::string& text, const std::vector<std::string>& hops);
    // Tarnwell did not run from `periodMs` after the latest check until `tick` (sleep).
    void OnNotWatched(uint32_t tick, uint32_t periodMs);
    // Checks are made again after a time in which they could not be (a failed name lookup, a
    // refusing proxy): those of that time, lost, tell nothing of the host's speed.
    void OnChecksResumed(uint32_t tick);

    // The history's clock at `tick`: milliseconds since the start.
    HistoryMs At(uint32_t tick) const;
    bool IsStarted() const { return m_bStarted; }
    bool IsWatching() const { return m_bStarted && !m_bStopped; }
    HistoryMs StoppedAt() const { return m_stoppedMs; }
    const std::string& Host() const { return m_strHost; }
    CheckFigures Figures(uint32_t tick) const;
    // The newest checks sent after the latest make and after checks were last made again (all
    // of them when there was neither).
    RecentChecks Recent(uint32_t tick) const;
    // Goes up with every change that the picture or the figures show.
    uint64_t Revision() const { return m_nRevision; }

    // The samples in time order, oldest first (i from 0 to CheckCount() - 1).
    std::size_t CheckCount() const { return m_checks.size(); }
    const CheckSample& Check(std::size_t i) const {
        return m_checks[(m_nFirstCheck + i) % m_checks.size()];
    }
    // The first sample at or after `fromMs` (CheckCount() when none).
    std::size_t FirstCheckFrom(HistoryMs fromMs) const;
    std::size_t EventCount() const { return m_events.size(); }
    const HistoryEvent& Event(std::size_t i) const {
        return m_events[(m_nFirstEvent + i) % m_events.size()];
    }
    const std::vector<HistoryGap>& Gaps() const { return m_gaps; }
    // The newest FINDING_CAPACITY findings, oldest first.
    const std::vector<HistoryFinding>& Findings() const { return m_findings; }
    static constexpr std::size_t FINDING_CAPACITY = 20;
    // Bytes held by the ring, the events and the gaps.
    std::size_t MemoryBytes() const;

private:
    // The history's clock at `tick`, which becomes the latest tick unless it lies before it.
    HistoryMs MoveTo(uint32_t tick);
    void Advance(HistoryMs nowMs);
    void Settle(HistoryMs nowMs);
    CheckSample& CheckAt(std::size_t i) { return m_checks[(m_nFirstCheck + i) % m_checks.size()]; }
    template <class T>
    static void Append(std::vector<T>& ring, std::size_t& first, std::size_t capacity,
                       const T& item);

    bool m_bStarted = false;
    bool m_bStopped = false;
    std::string m_strHost;
    uint32_t m_dwLastTick = 0; // the tick of the latest call, and its time in the history
    HistoryMs m_lastMs = 0;
    HistoryMs m_stoppedMs = 0;
    HistoryMs m_resumedMs = 0; // when checks were last made again
    uint32_t m_answerLimitMs = 0;
    uint64_t m_nRevision = 0;

    std::vector<CheckSample> m_checks; // a ring once full
    std::size_t m_nFirstCheck = 0;
    std::size_t m_nPending = 0; // the newest m_nPending samples may still be pending
    std::vector<HistoryEvent> m_events;
    std::size_t m_nFirstEvent = 0;
    std::vector<HistoryGap> m_gaps; // the newest GAP_CAPACITY, oldest first
    std::vector<HistoryFinding> m_findings;

    // Totals since the start.
    uint64_t m_nSent = 0;
    uint64_t m_nAnswered = 0;
    uint64_t m_nLost = 0;
    uint64_t m_nRoundTripSum = 0;
    uint32_t m_nLastMs = 0;
    uint32_t m_nMinMs = 0;
    uint32_t m_nMaxMs = 0;
    uint64_t m_nMakes = 0;
    uint64_t m_nBreaks = 0;
    bool m_bAlive = false;
    HistoryMs m_watchedMs = 0; // time watched up to m_lastMs, gaps left out
    HistoryMs m_aliveMs = 0;
};
