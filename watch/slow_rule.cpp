// The slow rule; see slow_rule.h.
#include "watch/slow_rule.h"

SlowJudgement JudgeSlow(const RecentChecks& recent, uint32_t roundTripMs, uint32_t lossPercent) {
    const bool allAnswersKnown = recent.answered == RecentChecks::RECENT_ANSWERS;
    const bool tooLate = roundTripMs != 0 && allAnswersKnown && recent.fastestMs > roundTripMs;
    const bool fastEnough =
        roundTripMs == 0 || (allAnswersKnown && recent.slowestMs <= roundTripMs);
    // Widened: a percentage of any known count never overflows.
    const uint64_t lostTimes100 = static_cast<uint64_t>(recent.lost) * 100;
    const uint64_t allowed = static_cast<uint64_t>(lossPercent) * recent.known;
    const bool lossJudged = lossPercent != 0 && recent.known >= MIN_KNOWN_CHECKS;
    const bool tooLossy = lossJudged && lostTimes100 > allowed;
    SlowJudgement judgement;
    if (tooLate) {
        judgement.verdict = SlowVerdict::Slow;
        judgement.figure = std::to_string(recent.latestMs) + " ms";
    } else if (tooLossy) {
        judgement.verdict = SlowVerdict::Slow;
        // Rounded up: a figure over the threshold never reads as the threshold itself.
        const uint64_t percent = (lostTimes100 + recent.known - 1) / recent.known;
        judgement.figure = std::to_string(percent) + " % lost";
    } else if (fastEnough) {
        judgement.verdict = SlowVerdict::NotSlow;
    }
    return judgement;
}
