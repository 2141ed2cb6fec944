// The actions run at a make or break event (play a sound, launch a program, append a line to
// a log file) and the time-stamped log line, which the Action dialog's log test writes too.
#pragma once

#include "settings/event_action.h"
#include "settings/watch_settings.h"

#include <ctime>
#include <string>

// The local time now as "Monday 06 December 1999 14:03:07" (strftime in the C locale); empty
// when the local time cannot be had or cannot be formatted.
std::string FormatLogTime();
// The same text for a given broken-down time.
std::string FormatLogTime(const std::tm& time);

enum class LogLineFormat {
    Event, // "%s -\t%s\r\n": time text, event text
    Test,  // "%s - \ttest\r\n": time text; the event text is not used
};

// One whole log line, CR LF included, however long the texts. Control characters of the
// event text (below 0x20, and 0x7F) are written as '?'.
std::string ComposeLogLine(LogLineFormat format, const std::string& timeText,
                           const std::string& eventText);

// Appends one line, stamped with the time at which the file was opened, to the file at `path`
// (created if missing) in a single write. False when the file cannot be opened.
bool AppendLogLine(const std::string& path, LogLineFormat format, const std::string& eventText);

// What the notification of an event shows: a title and a text that fit the shell's record,
// the warning look for a break, and no sound of the shell's when the event plays its own.
struct Notification {
    static constexpr size_t TITLE_ROOM = 63; // characters, without the ending zero
    static constexpr size_t TEXT_ROOM = 255;
    std::string title;
    std::string text;
    bool warning = false;
    bool silent = false;
};

// The event's notification: its text as the title (a long host name shortened, the state
// kept), the time of the event as the text.
Notification ComposeNotification(EventKind kind, const std::string& eventText,
                                 const std::string& timeText, bool ownSound);
// What the Action dialog's Test shows.
Notification TestNotification(const std::string& timeText);

// The platform's ways of carrying out the four actions. Their failures are not reported.
class ActionRunner {
public:
    virtual ~ActionRunner() = default;
    // Starts playing a sound file without waiting for it to end.
    virtual void PlaySoundFile(const std::string& path) = 0;
    // Starts a program without waiting for it to end.
    virtual void LaunchCommand(const std::string& commandLine) = 0;
    // Appends the event's line to the log file.
    virtual void AppendEventLine(const std::string& logPath, const std::string& eventText) = 0;
    // Shows a notification without taking the keyboard focus; where the shell shows none,
    // nothing happens.
    virtual void ShowNotification(const Notification& notification) = 0;
};

// Runs the enabled actions of the event kind, sound first, then launch, then log, then the
// notification, when the kind's master flag (CheckMake or CheckBreak) is on. Paths are used as
// stored, even empty. While the alerts are muted the sound and the notification are held; the
// launch and the log line, which are automation and records, still run.
void RunEventActions(EventKind kind, const std::string& eventText, const WatchSettings& settings,
                     ActionRunner& runner, bool muted = false);
