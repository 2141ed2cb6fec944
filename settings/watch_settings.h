// The persisted settings record and its encoding as 28 values of one profile section.
// Plain logic over a small profile interface, so that it runs without the registry.
#pragma once

#include "framework/profile_store.h"
#include "settings/event_action.h"

#include <cstdint>
#include <string>

// The section all 28 values live in.
extern const char* const SETTINGS_SECTION; // "Settings"

// The highest loss threshold; Options refuses a higher one, and one stored higher reads as it.
constexpr uint32_t MAX_SLOW_LOSS_PERCENT = 100;
extern const char* const SLOW_LOSS_ERROR; // "Please enter a percentage from 0 to 100."

struct WatchSettings {
    int32_t AlwaysOnTop = 1;     // keep the watch window above all other windows
    int32_t CheckBreak = 1;      // watch for the host to stop answering, run the break actions
    uint32_t CheckFrequency = 4; // seconds between two echo requests
    int32_t CheckMake = 1;       // run the make actions, keep watching after a break
    int32_t Hide = 0;            // hide the window to the tray as soon as watching starts
    EventAction makeAction = DefaultEventAction();
    EventAction breakAction = DefaultEventAction();
    // The host is slow, while alive, when its last 5 answers all took longer than this many ms,
    // or when more than this percentage of the last minute's settled checks are lost; 0 = off.
    uint32_t SlowRoundTripMs = 0;
    uint32_t SlowLossPercent = 0; // at most MAX_SLOW_LOSS_PERCENT
    EventAction slowAction = DefaultEventAction();

    // The default action of either event: the sound, with an empty path, and the notification.
    static EventAction DefaultEventAction() {
        EventAction action;
        action.bPlaySound = 1;
        action.bNotify = 1;
        return action;
    }

    bool operator==(const WatchSettings& other) const;
    bool operator!=(const WatchSettings& other) const { return !(*this == other); }
};

// Reads the 28 values in their fixed order (the two notification flags, added later, then the
// slow thresholds and the slow event's action, added later still, last); a
// missing or unreadable value takes its default, and a boolean is true only when the stored integer
// is exactly 1.
WatchSettings LoadWatchSettings(ProfileStore& profile);

// Writes the 28 values in the same order: booleans as 0 or 1, the period as it is, every
// string also when it is empty.
void SaveWatchSettings(ProfileStore& profile, const WatchSettings& settings);
