// The event log line, its appending to real files, and the order and gating of the actions.
#include "actions/event_actions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

// Monday 06 December 1999 14:03:07.
std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 99;
    time.tm_mon = 11;
    time.tm_mday = 6;
    time.tm_wday = 1;
    time.tm_yday = 339;
    time.tm_hour = 14;
    time.tm_min = 3;
    time.tm_sec = 7;
    return time;
}

// Byte for byte: the time, the separator (the test line's its own, with no event text), the
// event kept whole, however long; control characters of the host cannot forge a line.
TEST(LogLine, EventAndTestLinesByteForByte) {
    const std::string fixed = FormatLogTime(FixedTime());
    const std::string longEvent = std::string(1000, 'h') + " is alive!";
    const struct {
        LogLineFormat format;
        std::string time, event, line;
    } rows[] = {
        {LogLineFormat::Event, fixed, "example.org is alive!",
         "Monday 06 December 1999 14:03:07 -\texample.org is alive!\r\n"},
        {LogLineFormat::Event, "T",
         "a\rb\nc\x01"
         "d\x7F\xC4 is alive!",
         "T -\ta?b?c?d?\xC4 is alive!\r\n"},
        {LogLineFormat::Test, fixed, "ignored", "Monday 06 December 1999 14:03:07 - \ttest\r\n"},
        {LogLineFormat::Event, "", "host has died!", " -\thost has died!\r\n"},
        {LogLineFormat::Test, "", "", " - \ttest\r\n"},
        {LogLineFormat::Event, "T", longEvent, "T -\t" + longEvent + "\r\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.line, ComposeLogLine(row.format, row.time, row.event));
}

TEST(LogTime, NowHasTheLogTimeShape) {
    const std::regex shape("(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day [0-3][0-9] "
                           "(January|February|March|April|May|June|July|August|September|"
                           "October|November|December) [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9]");
    const std::string now = FormatLogTime();
    EXPECT_TRUE(std::regex_match(now, shape)) << now;
}

// Each test gets its own empty folder, removed afterwards.
class LogFile : public ::testing::Test {
protected:
    fs::path folder;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() /
                 ("tarnwell_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Appends one line and checks that the file grew by exactly that line, stamped with the
    // time at which it was written.
    void ExpectAppended(const fs::path& path, LogLineFormat format, const std::string& event) {
        const std::string before = Read(path);
        const std::string earliest = FormatLogTime();
        ASSERT_TRUE(AppendLogLine(path.string(), format, event));
        const std::string latest = FormatLogTime();
        const std::string content = Read(path);
        ASSERT_EQ(before, content.substr(0, before.size()));
        const std::string line = content.substr(before.size());
        EXPECT_TRUE(line == ComposeLogLine(format, earliest, event) ||
                    line == ComposeLogLine(format, latest, event))
            << line;
    }
};

// A missing file is created; two events make two lines, a long one written whole.
TEST_F(LogFile, MissingFileIsCreatedAndTwoEventsMakeTwoLines) {
    const fs::path path = folder / "events.log";
    ExpectAppended(path, LogLineFormat::Event, "host is alive!");
    ExpectAppended(path, LogLineFormat::Event, std::string(1000, 'h') + " has died!");
    const std::string content = Read(path);
    EXPECT_EQ(2, std::count(content.begin(), content.end(), '\n'));
    EXPECT_EQ(2, std::count(content.begin(), content.end(), '\r'));
    EXPECT_EQ("\r\n", content.substr(content.size() - 2));
    EXPECT_GT(fs::file_size(path), 1000u);
}

TEST_F(LogFile, UnopenablePathReturnsFalse) {
    const fs::path missing = folder / "missing" / "events.log";
    EXPECT_FALSE(AppendLogLine(missing.string(), LogLineFormat::Event, "host is alive!"));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    EXPECT_FALSE(AppendLogLine("", LogLineFormat::Event, "host is alive!"));
    EXPECT_FALSE(AppendLogLine(folder.string(), LogLineFormat::Event, "host is alive!"));
}

// Records the actions asked for, in order.
class RecordingRunner : public ActionRunner {
public:
    std::vector<std::string> calls;

    void PlaySoundFile(const std::string& path) override { calls.push_back("sound " + path); }
    void LaunchCommand(const std::string& commandLine) override {
        calls.push_back("launch " + commandLine);
    }
    void AppendEventLine(const std::string& logPath, const std::string& eventText) override {
        calls.push_back("log " + logPath + ": " + eventText);
    }
    void ShowNotification(const Notification& shown) override {
        calls.push_back("notify " + shown.title + (shown.warning ? " warning" : "") +
                        (shown.silent ? " silent" : ""));
        EXPECT_FALSE(shown.text.empty()) << "the time of the event";
    }
};

EventAction AllOn(const std::string& name) {
    EventAction action;
    action.bLaunch = 1;
    action.strLaunchPath = name + ".exe";
    action.bPlaySound = 1;
    action.strSoundPath = name + ".wav";
    action.bLog = 1;
    action.strLogPath = name + ".log";
    action.bNotify = 1;
    return action;
}

class EventActions : public ::testing::Test {
protected:
    WatchSettings settings;
    RecordingRunner runner;

    void SetUp() override {
        settings.makeAction = AllOn("make");
        settings.breakAction = AllOn("break");
        settings.slowAction = AllOn("slow");
    }
    Calls Run(EventKind kind, const std::string& text, bool muted = false) {
        runner.calls.clear();
        RunEventActions(kind, text, settings, runner, muted);
        return runner.calls;
    }
};

// The notification comes last, without the shell's sound when the event plays its own, and
// looks like a warning for a break.
TEST_F(EventActions, SoundThenLaunchThenLogThenNotificationOfTheEventsOwnAction) {
    EXPECT_EQ((Calls{"sound make.wav", "launch make.exe", "log make.log: h is alive!",
                     "notify h is alive! silent"}),
              Run(EventKind::Make, "h is alive!"));
    EXPECT_EQ((Calls{"sound break.wav", "launch break.exe", "log break.log: h has died!",
                     "notify h has died! warning silent"}),
              Run(EventKind::Break, "h has died!"));
    // Slow runs its own four, whatever the master flags; its end only records and tells.
    settings.CheckMake = settings.CheckBreak = 0;
    EXPECT_EQ("notify h is slow! (9 ms) warning silent",
              Run(EventKind::Slow, "h is slow! (9 ms)")[3]);
    EXPECT_EQ((Calls{"log slow.log: h is no longer slow.", "notify h is no longer slow."}),
              Run(EventKind::SlowEnd, "h is no longer slow."));
}

// Muted, the records and the automation still run; the sound and the notification are held.
TEST_F(EventActions, MutedHoldsTheSoundAndTheNotification) {
    EXPECT_EQ((Calls{"launch make.exe", "log make.log: h is alive!"}),
              Run(EventKind::Make, "h is alive!", true));
    EXPECT_EQ((Calls{"launch break.exe", "log break.log: h has died!"}),
              Run(EventKind::Break, "h has died!", true));
    EXPECT_EQ((Calls{"launch slow.exe", "log slow.log: h is slow! (9 ms)"}),
              Run(EventKind::Slow, "h is slow! (9 ms)", true));
    EXPECT_EQ((Calls{"log slow.log: h is no longer slow."}),
              Run(EventKind::SlowEnd, "h is no longer slow.", true));
}

TEST(Notification, ALongHostNameIsShortenedAndTheStateKept) {
    const std::string host(255, 'h');
    const Notification made =
        ComposeNotification(EventKind::Make, host + " is alive!", "Tuesday 08 December", false);
    EXPECT_EQ(made.title, std::string(50, 'h') + "... is alive!");
    EXPECT_EQ(made.text, "Tuesday 08 December");
    EXPECT_FALSE(made.warning);
    const Notification died = ComposeNotification(EventKind::Break, "h\r\nx has died!", "t", true);
    EXPECT_EQ(died.title, "h??x has died!") << "one line, whatever the host text holds";
    EXPECT_TRUE(died.warning);
    EXPECT_TRUE(died.silent);
}

TEST_F(EventActions, MasterFlagOffRunsNothingOfThatKind) {
    settings.CheckMake = 0;
    EXPECT_TRUE(Run(EventKind::Make, "h is alive!").empty());
    EXPECT_EQ(4u, Run(EventKind::Break, "h has died!").size());
    settings.CheckMake = 1;
    settings.CheckBreak = 0;
    EXPECT_TRUE(Run(EventKind::Break, "h has died!").empty());
    EXPECT_EQ(4u, Run(EventKind::Make, "h is alive!").size());
}

TEST_F(EventActions, EachActionHasItsOwnFlag) {
    settings.makeAction.bPlaySound = 0;
    EXPECT_EQ((Calls{"launch make.exe", "log make.log: e", "notify e"}), Run(EventKind::Make, "e"));
    settings.makeAction.bLaunch = 0;
    EXPECT_EQ((Calls{"log make.log: e", "notify e"}), Run(EventKind::Make, "e"));
    settings.makeAction.bLog = 0;
    settings.makeAction.bNotify = 0;
    settings.makeAction.bPlaySound = 1;
    EXPECT_EQ((Calls{"sound make.wav"}), Run(EventKind::Make, "e"));
}

TEST_F(EventActions, EmptyPathsAreStillUsed) {
    settings.breakAction = EventAction();
    settings.breakAction.bPlaySound = 1;
    settings.breakAction.bLaunch = 1;
    settings.breakAction.bLog = 1;
    EXPECT_EQ((Calls{"sound ", "launch ", "log : e"}), Run(EventKind::Break, "e"));
}

} // namespace
