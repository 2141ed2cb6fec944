// The slow rule: whether an alive host answers too late or loses too many checks, judged on the
// newest checks of its history. Plain logic; the watch state machine acts on the verdict.
#pragma once

#include "history/check_history.h"

#include <cstdint>
#include <string>

enum class SlowVerdict { Slow, NotSlow, Undecided };

struct SlowJudgement {
    SlowVerdict verdict = SlowVerdict::Undecided;
    // What decided it, for the user: "850 ms" (the newest round trip) or "25 % lost".
    std::string figure;
};

// Slow when the newest RECENT_ANSWERS answered checks all took longer than `roundTripMs`, or
// when more than `lossPercent` % of the last minute's known checks are lost, once at least
// MIN_KNOWN_CHECKS are known. Not slow when those answers are all at or under `roundTripMs` and
// the loss is at or under `lossPercent`. A threshold of 0 is off; with both off nothing is slow.
SlowJudgement JudgeSlow(const RecentChecks& recent, uint32_t roundTripMs, uint32_t lossPercent);

constexpr uint32_t MIN_KNOWN_CHECKS = 10;
