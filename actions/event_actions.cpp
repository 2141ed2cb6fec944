// Event actions and the event log line.
#include "actions/event_actions.h"

#include "framework/short_text.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* LOG_TIME_FORMAT = "%A %d %B %Y %H:%M:%S";
// Room for the longest time text the C locale makes, with space to spare.
constexpr size_t LOG_TIME_CAPACITY = 128;

bool LocalTimeNow(std::tm& local) {
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1)) {
        return false;
    }
#ifdef _WIN32
    return localtime_s(&local, &now) == 0;
#else
    return localtime_r(&now, &local) != nullptr;
#endif
}

// The event text as it goes into the log: every control character, CR and LF among them, is
// written as '?', so that one event is always one line whatever the host text holds.
std::string LogSafeText(std::string text) {
    for (char& c : text) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F) {
            c = '?';
        }
    }
    return text;
}

} // namespace

std::string FormatLogTime(const std::tm& time) {
    char text[LOG_TIME_CAPACITY];
    const size_t length = std::strftime(text, sizeof text, LOG_TIME_FORMAT, &time);
    return std::string(text, length);
}

std::string FormatLogTime() {
    std::tm local{};
    if (!LocalTimeNow(local)) {
        return std::string();
    }
    return FormatLogTime(local);
}

std::string ComposeLogLine(LogLineFormat format, const std::string& timeText,
                           const std::string& eventText) {
    if (format == LogLineFormat::Test) {
        return timeText + " - \ttest\r\n";
    }
    return timeText + " -\t" + LogSafeText(eventText) + "\r\n";
}

bool AppendLogLine(const std::string& path, LogLineFormat format, const std::string& eventText) {
    // Binary, so that the line ends in exactly CR LF on every platform.
    std::FILE* file = std::fopen(path.c_str(), "a+b");
    if (file == nullptr) {
        return false;
    }
    const std::string line = ComposeLogLine(format, FormatLogTime(), eventText);
    std::fwrite(line.data(), line.size(), 1, file);
    std::fclose(file);
    return true;
}

Notification ComposeNotification(EventKind kind, const std::string& eventText,
                                 const std::string& timeText, bool ownSound) {
    // The event text ends with what happened (" is alive!", " is slow! (850 ms)"): that stays
    // whole.
    const size_t found = eventText.rfind(" is ");
    const size_t diedAt = eventText.rfind(" has died!");
    const size_t stateAt = kind == EventKind::Break ? diedAt : found;
    const size_t stateLength = stateAt == std::string::npos ? 0 : eventText.size() - stateAt;
    Notification notification;
    notification.title =
        ShortenKeepingTail(LogSafeText(eventText), Notification::TITLE_ROOM, stateLength);
    notification.text = ShortenKeepingTail(timeText, Notification::TEXT_ROOM, 0);
    notification.warning = kind == EventKind::Break || kind == EventKind::Slow;
    notification.silent = ownSound;
    return notification;
}

Notification TestNotification(const std::string& timeText) {
    Notification notification;
    notification.title = "Tarnwell test notification";
    notification.text = ShortenKeepingTail(timeText, Notification::TEXT_ROOM, 0);
    return notification;
}

void RunEventActions(EventKind kind, const std::string& eventText, const WatchSettings& settings,
                     ActionRunner& runner, bool muted) {
    const bool isMake = kind == EventKind::Make;
    const bool isBreak = kind == EventKind::Break;
    if ((isMake && settings.CheckMake == 0) || (isBreak && settings.CheckBreak == 0)) {
        return;
    }
    const EventAction& action = isMake    ? settings.makeAction
                                : isBreak ? settings.breakAction
                                          : settings.slowAction;
    // The end of Slow is only recorded and told: no sound, no program.
    const bool isEnd = kind == EventKind::SlowEnd;
    const bool playsSound = action.bPlaySound != 0 && !muted && !isEnd;
    if (playsSound) {
        runner.PlaySoundFile(action.strSoundPath);
    }
    if (action.bLaunch != 0 && !isEnd) {
        runner.LaunchCommand(action.strLaunchPath);
    }
    if (action.bLog != 0) {
        runner.AppendEventLine(action.strLogPath, eventText);
    }
    if (action.bNotify != 0 && !muted) {
        runner.ShowNotification(ComposeNotification(kind, eventText, FormatLogTime(), playsSound));
    }
}
