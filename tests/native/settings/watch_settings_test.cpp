// The settings record's 28 values: names, order, defaults and encodings, over an in-memory
// profile that records every read and write.
#include "settings/watch_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

class MemoryProfile : public ProfileStore {
public:
    std::map<std::string, uint32_t> ints;
    std::map<std::string, std::string> strings;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    std::vector<std::string> sections;

    uint32_t GetProfileInt(const char* section, const char* entry, uint32_t def) override {
        sections.push_back(section);
        reads.push_back(entry);
        auto it = ints.find(entry);
        return it == ints.end() ? def : it->second;
    }
    std::string GetProfileString(const char* section, const char* entry) override {
        sections.push_back(section);
        reads.push_back(entry);
        auto it = strings.find(entry);
        return it == strings.end() ? std::string() : it->second;
    }
    bool WriteProfileInt(const char* section, const char* entry, uint32_t value) override {
        sections.push_back(section);
        writes.push_back(entry);
        ints[entry] = value;
        return true;
    }
    bool WriteProfileString(const char* section, const char* entry,
                            const std::string& value) override {
        sections.push_back(section);
        writes.push_back(entry);
        strings[entry] = value;
        return true;
    }
};

const std::vector<std::string> kOrder = {"AlwaysOnTop",
                                         "CheckBreak",
                                         "CheckFrequency",
                                         "CheckMake",
                                         "Hide",
                                         "MakeLaunch",
                                         "MakeLaunchFilename",
                                         "MakePlaySound",
                                         "MakeSoundFilename",
                                         "MakeLog",
                                         "MakeLogFilename",
                                         "BreakLaunch",
                                         "BreakLaunchFilename",
                                         "BreakPlaySound",
                                         "BreakSoundFilename",
                                         "BreakLog",
                                         "BreakLogFilename",
                                         "MakeNotify",
                                         "BreakNotify",
                                         "SlowRoundTripMs",
                                         "SlowLossPercent",
                                         "SlowLaunch",
                                         "SlowLaunchFilename",
                                         "SlowPlaySound",
                                         "SlowSoundFilename",
                                         "SlowLog",
                                         "SlowLogFilename",
                                         "SlowNotify"};

TEST(WatchSettings, FirstRunTakesEveryDefault) {
    MemoryProfile profile;
    const WatchSettings s = LoadWatchSettings(profile);
    EXPECT_EQ(s.AlwaysOnTop, 1);
    EXPECT_EQ(s.CheckBreak, 1);
    EXPECT_EQ(s.CheckFrequency, 4u);
    EXPECT_EQ(s.CheckMake, 1);
    EXPECT_EQ(s.Hide, 0);
    EXPECT_EQ(s.SlowRoundTripMs, 0u);
    EXPECT_EQ(s.SlowLossPercent, 0u);
    for (const EventAction* a : {&s.makeAction, &s.breakAction, &s.slowAction}) {
        EXPECT_EQ(a->bLaunch, 0);
        EXPECT_EQ(a->bPlaySound, 1);
        EXPECT_EQ(a->bLog, 0);
        EXPECT_EQ(a->bNotify, 1) << "also for settings stored before the notification";
        EXPECT_EQ(a->strLaunchPath, "");
        EXPECT_EQ(a->strSoundPath, "");
        EXPECT_EQ(a->strLogPath, "");
    }
}

TEST(WatchSettings, ReadsAndWritesTheValuesInOrderInOneSection) {
    MemoryProfile profile;
    const WatchSettings s = LoadWatchSettings(profile);
    SaveWatchSettings(profile, s);
    EXPECT_EQ(profile.reads, kOrder);
    EXPECT_EQ(profile.writes, kOrder);
    for (const std::string& section : profile.sections)
        EXPECT_EQ(section, "Settings");
    // Empty strings are written too, so a first run leaves all nine text values behind.
    EXPECT_EQ(profile.strings.size(), 9u);
    EXPECT_EQ(profile.ints.size(), 19u);
}

TEST(WatchSettings, BooleanIsTrueOnlyWhenExactlyOne) {
    MemoryProfile profile;
    profile.ints["AlwaysOnTop"] = 2;
    profile.ints["CheckBreak"] = 0xFFFFFFFFu;
    profile.ints["Hide"] = 1;
    profile.ints["MakeLog"] = 7;
    profile.ints["BreakNotify"] = 0;
    const WatchSettings s = LoadWatchSettings(profile);
    EXPECT_EQ(s.breakAction.bNotify, 0);
    EXPECT_EQ(s.makeAction.bNotify, 1);
    EXPECT_EQ(s.AlwaysOnTop, 0);
    EXPECT_EQ(s.CheckBreak, 0);
    EXPECT_EQ(s.Hide, 1);
    EXPECT_EQ(s.makeAction.bLog, 0);

    MemoryProfile out;
    SaveWatchSettings(out, s);
    EXPECT_EQ(out.ints["AlwaysOnTop"], 0u);
    EXPECT_EQ(out.ints["Hide"], 1u);
}

TEST(WatchSettings, NonZeroFlagsInMemoryAreWrittenAsOne) {
    WatchSettings s;
    s.Hide = 5;
    s.breakAction.bLaunch = -1;
    MemoryProfile out;
    SaveWatchSettings(out, s);
    EXPECT_EQ(out.ints["Hide"], 1u);
    EXPECT_EQ(out.ints["BreakLaunch"], 1u);
}

TEST(WatchSettings, PeriodIsTakenAndWrittenAsItIs) {
    for (uint32_t period : {0u, 1u, 11u, 100u, 101u, 4294967295u}) {
        MemoryProfile profile;
        profile.ints["CheckFrequency"] = profile.ints["SlowLossPercent"] = period;
        const WatchSettings s = LoadWatchSettings(profile);
        EXPECT_EQ(s.CheckFrequency, period);
        EXPECT_EQ(s.SlowLossPercent, std::min(period, 100u)) << "a loss over 100 % reads as 100";
        MemoryProfile out;
        SaveWatchSettings(out, s);
        EXPECT_EQ(out.ints["CheckFrequency"], period);
    }
}

TEST(WatchSettings, RoundTripKeepsEveryFieldOfEveryAction) {
    WatchSettings s;
    s.AlwaysOnTop = 0;
    s.CheckMake = 0;
    s.CheckFrequency = 17;
    s.makeAction = {1, "make.exe", 0, "make.wav", 1, "make.txt"};
    s.breakAction = {0, "break.exe", 1, "break.wav", 0, std::string(5000, 'p')};
    s.SlowRoundTripMs = 850;
    s.SlowLossPercent = 25;
    s.slowAction = {1, "slow.exe", 0, "slow.wav", 1, "slow.txt", 0};
    MemoryProfile profile;
    SaveWatchSettings(profile, s);
    EXPECT_EQ(LoadWatchSettings(profile), s);
}

} // namespace
