// The configuration of one event kind's four actions (sound, launch, log, notification), as the
// settings record, the Options dialog and the Action dialog hold it. Plain value type.
#pragma once

#include <cstdint>
#include <string>

// Slow: the host answers too late or loses too many checks while alive; SlowEnd: no longer
// so, which runs only the slow event's log line and notification.
enum class EventKind { Make, Break, Slow, SlowEnd };

struct EventAction {
    int32_t bLaunch = 0;       // launch an application (non-zero = on)
    std::string strLaunchPath; // command line handed to the launcher
    int32_t bPlaySound = 0;    // play a sound file
    std::string strSoundPath;  // path of a WAV file
    int32_t bLog = 0;          // append a line to a text file
    std::string strLogPath;    // path of the text file
    int32_t bNotify = 0;       // show a notification through the notification-area icon

    bool operator==(const EventAction& other) const {
        return bLaunch == other.bLaunch && strLaunchPath == other.strLaunchPath &&
               bPlaySound == other.bPlaySound && strSoundPath == other.strSoundPath &&
               bLog == other.bLog && strLogPath == other.strLogPath && bNotify == other.bNotify;
    }
    bool operator!=(const EventAction& other) const { return !(*this == other); }
};
