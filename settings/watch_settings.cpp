// The settings record's encoding as 28 profile values; see watch_settings.h.
#include "settings/watch_settings.h"

#include <algorithm>

const char* const SETTINGS_SECTION = "Settings";
const char* const SLOW_LOSS_ERROR = "Please enter a percentage from 0 to 100.";

namespace {

// A stored boolean counts only when it is exactly 1; 2 or 0xFFFFFFFF read as false.
int32_t ReadFlag(ProfileStore& profile, const char* entry, int32_t defaultValue) {
    return profile.GetProfileInt(SETTINGS_SECTION, entry, static_cast<uint32_t>(defaultValue)) == 1
               ? 1
               : 0;
}

void WriteFlag(ProfileStore& profile, const char* entry, int32_t value) {
    profile.WriteProfileInt(SETTINGS_SECTION, entry, value != 0 ? 1 : 0);
}

struct ActionKeys {
    const char* launch;
    const char* launchPath;
    const char* playSound;
    const char* soundPath;
    const char* log;
    const char* logPath;
    const char* notify;
};

const ActionKeys MAKE_KEYS = {
    "MakeLaunch", "MakeLaunchFilename", "MakePlaySound", "MakeSoundFilename",
    "MakeLog",    "MakeLogFilename",    "MakeNotify"};
const ActionKeys BREAK_KEYS = {
    "BreakLaunch", "BreakLaunchFilename", "BreakPlaySound", "BreakSoundFilename",
    "BreakLog",    "BreakLogFilename",    "BreakNotify"};
const ActionKeys SLOW_KEYS = {
    "SlowLaunch", "SlowLaunchFilename", "SlowPlaySound", "SlowSoundFilename",
    "SlowLog",    "SlowLogFilename",    "SlowNotify"};

EventAction LoadAction(ProfileStore& profile, const ActionKeys& keys) {
    const EventAction defaults = WatchSettings::DefaultEventAction();
    EventAction action;
    action.bLaunch = ReadFlag(profile, keys.launch, defaults.bLaunch);
    action.strLaunchPath = profile.GetProfileString(SETTINGS_SECTION, keys.launchPath);
    action.bPlaySound = ReadFlag(profile, keys.playSound, defaults.bPlaySound);
    action.strSoundPath = profile.GetProfileString(SETTINGS_SECTION, keys.soundPath);
    action.bLog = ReadFlag(profile, keys.log, defaults.bLog);
    action.strLogPath = profile.GetProfileString(SETTINGS_SECTION, keys.logPath);
    return action;
}

// Settings stored before the notification existed have no value for it: it takes its default.
void LoadNotify(ProfileStore& profile, const ActionKeys& keys, EventAction& action) {
    action.bNotify = ReadFlag(profile, keys.notify, WatchSettings::DefaultEventAction().bNotify);
}

void SaveAction(ProfileStore& profile, const ActionKeys& keys, const EventAction& action) {
    WriteFlag(profile, keys.launch, action.bLaunch);
    profile.WriteProfileString(SETTINGS_SECTION, keys.launchPath, action.strLaunchPath);
    WriteFlag(profile, keys.playSound, action.bPlaySound);
    profile.WriteProfileString(SETTINGS_SECTION, keys.soundPath, action.strSoundPath);
    WriteFlag(profile, keys.log, action.bLog);
    profile.WriteProfileString(SETTINGS_SECTION, keys.logPath, action.strLogPath);
}

} // namespace

bool WatchSettings::operator==(const WatchSettings& other) const {
    return AlwaysOnTop == other.AlwaysOnTop && CheckBreak == other.CheckBreak &&
           CheckFrequency == other.CheckFrequency && CheckMake == other.CheckMake &&
           Hide == other.Hide && makeAction == other.makeAction &&
           breakAction == other.breakAction && SlowRoundTripMs == other.SlowRoundTripMs &&
           SlowLossPercent == other.SlowLossPercent && slowAction == other.slowAction;
}

WatchSettings LoadWatchSettings(ProfileStore& profile) {
    const WatchSettings defaults;
    WatchSettings settings;
    settings.AlwaysOnTop = ReadFlag(profile, "AlwaysOnTop", defaults.AlwaysOnTop);
    settings.CheckBreak = ReadFlag(profile, "CheckBreak", defaults.CheckBreak);
    settings.CheckFrequency =
        profile.GetProfileInt(SETTINGS_SECTION, "CheckFrequency", defaults.CheckFrequency);
    settings.CheckMake = ReadFlag(profile, "CheckMake", defaults.CheckMake);
    settings.Hide = ReadFlag(profile, "Hide", defaults.Hide);
    settings.makeAction = LoadAction(profile, MAKE_KEYS);
    settings.breakAction = LoadAction(profile, BREAK_KEYS);
    LoadNotify(profile, MAKE_KEYS, settings.makeAction);
    LoadNotify(profile, BREAK_KEYS, settings.breakAction);
    settings.SlowRoundTripMs =
        profile.GetProfileInt(SETTINGS_SECTION, "SlowRoundTripMs", defaults.SlowRoundTripMs);
    settings.SlowLossPercent = std::min(
        profile.GetProfileInt(SETTINGS_SECTION, "SlowLossPercent", defaults.SlowLossPercent),
        MAX_SLOW_LOSS_PERCENT);
    settings.slowAction = LoadAction(profile, SLOW_KEYS);
    LoadNotify(profile, SLOW_KEYS, settings.slowAction);
    return settings;
}

void SaveWatchSettings(ProfileStore& profile, const WatchSettings& settings) {
    WriteFlag(profile, "AlwaysOnTop", settings.AlwaysOnTop);
    WriteFlag(profile, "CheckBreak", settings.CheckBreak);
    profile.WriteProfileInt(SETTINGS_SECTION, "CheckFrequency", settings.CheckFrequency);
    WriteFlag(profile, "CheckMake", settings.CheckMake);
    WriteFlag(profile, "Hide", settings.Hide);
    SaveAction(profile, MAKE_KEYS, settings.makeAction);
    SaveAction(profile, BREAK_KEYS, settings.breakAction);
    WriteFlag(profile, MAKE_KEYS.notify, settings.makeAction.bNotify);
    WriteFlag(profile, BREAK_KEYS.notify, settings.breakAction.bNotify);
    profile.WriteProfileInt(SETTINGS_SECTION, "SlowRoundTripMs", settings.SlowRoundTripMs);
    profile.WriteProfileInt(SETTINGS_SECTION, "SlowLossPercent", settings.SlowLossPercent);
    SaveAction(profile, SLOW_KEYS, settings.slowAction);
    WriteFlag(profile, SLOW_KEYS.notify, settings.slowAction.bNotify);
}
