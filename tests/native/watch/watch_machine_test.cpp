// The watch state machine through a recording fake window: every transition with its effects
// in order, the silence rule at its boundary and across the tick wrap, and the master flags.
#include "watch/tray_menu.h"
#include "watch/watch_machine.h"

#include "recording_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Calls = std::vector<std::string>;

class WatchMachineTest : public ::testing::Test {
protected:
    WatchSettings settings;
    RecordingEffects window;
    WatchMachine machine{settings, window};

    // Puts the machine in Waiting for `host`, forgetting the effects of getting there.
    void StartWatching(const std::string& host = "host") {
        window.hostText = host;
        window.startFailure.reset();
        machine.StartWatch();
        window.Take();
    }
    // Delivers a reply at `tick`, forgetting its effects.
    void ReplyAt(uint64_t tick) {
        window.tick = tick;
        machine.OnEchoReply();
        window.Take();
    }
    Calls CheckAt(uint64_t tick) {
        window.tick = tick;
        machine.OnTimer(TIMER_CHECK);
        return window.Take();
    }
    // Check ticks a period apart until the silent host is declared dead; their effects.
    Calls CheckUntilDead() {
        Calls calls;
        for (int i = 0; i < 4 && machine.IsAlive(); ++i)
            calls = CheckAt(window.tick + 4000);
        return calls;
    }
    // A light tick comes only while the light has something to show, and shows it once.
    Calls LightTick() {
        EXPECT_TRUE(window.lightTimerRunning);
        machine.OnTimer(TIMER_LIGHT);
        EXPECT_FALSE(window.lightTimerRunning);
        return window.Take();
    }
};

// A check tick that finds nothing new: the request alone.
const Calls REQUEST_ONLY = {"send"};
// A check tick that finds the host silent for too long: the request, then the break event.
const Calls CHECK_THEN_BREAK = {"send", "status host has died!", "light 133", "icon 130",
                                "break actions host has died!"};

// The blanks around the field's text are no part of the host.
TEST_F(WatchMachineTest, SuccessfulStartWaitsAndNamesTheHostInTheTooltip) {
    window.hostText = " \texample.org ";
    machine.StartWatch();
    EXPECT_EQ(
        (Calls{"take host text", "start probe example.org", "status Waiting for example.org...",
               "tooltip Hide example.org\nwaiting", "icon 131"}),
        window.Take());
    EXPECT_TRUE(machine.IsWatching());
    EXPECT_FALSE(machine.IsAlive());
    EXPECT_EQ("example.org", machine.Host());
    EXPECT_EQ(Calls{"light 133"}, LightTick());
}

TEST_F(WatchMachineTest, StartWhileHiddenSaysShowWithTheNameShortenedToFit) {
    const std::string longHost(1000, 'h');
    window.hostText = longHost;
    window.visible = false;
    machine.StartWatch();
    EXPECT_EQ((Calls{"take host text", "start probe " + longHost,
                     "status Waiting for " + longHost + "...",
                     "tooltip Show " + std::string(111, 'h') + "...\nwaiting", "icon 131"}),
              window.Take());
}

TEST_F(WatchMachineTest, StartWithHideHidesTheWindow) {
    settings.Hide = 1;
    machine.StartWatch();
    EXPECT_EQ((Calls{"take host text", "start probe host", "status Waiting for host...",
                     "toggle to hidden", "icon 131"}),
              window.Take());
    EXPECT_FALSE(window.visible);
    // A host that never answers stays waiting, however long.
    for (uint32_t tick : {20000u, 2000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(REQUEST_ONLY, CheckAt(tick));
    }
    EXPECT_TRUE(machine.IsWatching());
    EXPECT_FALSE(machine.IsAlive());
}

// An unknown name, or a user refused both ways of probing: the status says which, and nothing
// is watched. A watch from before, alive, stops but keeps its name in the tip.
TEST_F(WatchMachineTest, AFailedStartSaysWhyAndLeavesNothingWatched) {
    bool earlier = false; // the first start fails with no watch before it
    for (const auto& [failure, status] :
         {std::pair{ProbeFailure::UnknownHost, "status Unknown - no.such.host!"},
          std::pair{ProbeFailure::AccessDenied, "status Access denied - no.such.host!"},
          std::pair{ProbeFailure::BadPort, "status Bad port - no.such.host!"},
          std::pair{ProbeFailure::NoHost, "status No host - no.such.host!"},
          std::pair{ProbeFailure::Ipv6NeedsPort, "status IPv6 needs a port - no.such.host!"},
          std::pair{ProbeFailure::NetworkError, "status Network error - no.such.host!"},
          std::pair{ProbeFailure::BadAddress, "status Bad address - no.such.host!"}}) {
        if (earlier) {
            StartWatching("alpha");
            ReplyAt(1000);
            ASSERT_TRUE(machine.IsAlive());
        }
        window.hostText = "no.such.host";
        window.startFailure = failure;
        machine.StartWatch();
        EXPECT_EQ((Calls{"take host text", "start probe no.such.host", status, "icon 131"}),
                  window.Take());
        EXPECT_FALSE(machine.IsWatching());
        EXPECT_FALSE(machine.IsAlive());
        EXPECT_EQ(earlier ? "alpha" : "", machine.Host());
        EXPECT_EQ(Calls{"light 164"}, LightTick());
        EXPECT_EQ(Calls{}, CheckAt(60000));
        machine.OnEchoReply();
        EXPECT_EQ(Calls{}, window.Take());
        earlier = true;
    }
}

// A name found not to exist after the start had already shown "Waiting for" and hidden the
// window: the window comes back and says so, and the check ticks go on looking the name up
// until it has an address (a network that was not up yet at logon); an echo service that
// refuses then stops watching.
TEST_F(WatchMachineTest, AnUnknownNameIsWatchedUntilItResolvesAndARefusalStops) {
    settings.Hide = 1;
    StartWatching("no.such.host");
    ASSERT_FALSE(window.visible);
    machine.OnProbeFailed(ProbeFailure::UnknownHost);
    EXPECT_EQ((Calls{"status Unknown - no.such.host!", "toggle to shown", "icon 131"}),
              window.Take());
    EXPECT_EQ(Calls{"light 164"}, LightTick());
    EXPECT_TRUE(machine.IsWatching());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(60000));
    // Found: as after a start, the window hides again while it waits.
    machine.OnHostFound();
    EXPECT_EQ((Calls{"status Waiting for no.such.host...", "toggle to hidden"}), window.Take());
    EXPECT_EQ(Calls{"light 133"}, LightTick());
    // Found once: a second notice changes nothing.
    machine.OnHostFound();
    EXPECT_EQ(Calls{}, window.Take());
    machine.OnProbeFailed(ProbeFailure::AccessDenied);
    EXPECT_EQ((Calls{"status Access denied - no.such.host!", "toggle to shown", "icon 131"}),
              window.Take());
    EXPECT_FALSE(machine.IsWatching());
    EXPECT_EQ("", machine.Host());
    EXPECT_EQ(Calls{}, CheckAt(70000));
    machine.OnEchoReply();
    machine.OnProbeFailed(ProbeFailure::AccessDenied);
    EXPECT_EQ(Calls{}, window.Take());
}

// A socket failure is shown while watching goes on: the host stays alive until the silence
// rule says otherwise, and its next reply puts the status right without a second make event.
TEST_F(WatchMachineTest, ANetworkErrorIsShownAndWatchingGoesOn) {
    StartWatching();
    ReplyAt(1000);
    window.sendFailure = ProbeFailure::NetworkError;
    EXPECT_EQ((Calls{"send", "status Network error - host!"}), CheckAt(2000));
    window.sendFailure.reset();
    EXPECT_TRUE(machine.IsWatching());
    EXPECT_TRUE(machine.IsAlive());
    window.tick = 3000;
    machine.OnEchoReply();
    EXPECT_EQ((Calls{"light 163", "status host is alive!"}), window.Take());
    machine.OnEchoReply();
    EXPECT_EQ(Calls{"light 163"}, window.Take());
    machine.OnProbeFailed(ProbeFailure::NetworkError);
    EXPECT_EQ(Calls{"status Network error - host!"}, window.Take());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(8000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(13001));
}

// A web server whose certificate is not good: said once, watched on, made by a good answer;
// once the server answered, the silence rule judges it and the status only says why.
TEST_F(WatchMachineTest, ABadCertificateIsShownAndWatchingGoesOn) {
    StartWatching("https://h/");
    machine.OnProbeFailed(ProbeFailure::BadCertificate);
    EXPECT_EQ((Calls{"status Bad certificate - https://h/!", "icon 131"}), window.Take());
    EXPECT_EQ(Calls{"light 164"}, LightTick());
    EXPECT_TRUE(machine.IsWatching());
    ReplyAt(1000);
    EXPECT_EQ(Calls{"light 162"}, LightTick());
    machine.OnProbeFailed(ProbeFailure::BadCertificate);
    EXPECT_EQ(Calls{"status Bad certificate - https://h/!"}, window.Take());
    EXPECT_TRUE(machine.IsAlive());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(5000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(9000));
    EXPECT_EQ((Calls{"send", "status https://h/ has died!", "light 133", "icon 130",
                     "break actions https://h/ has died!"}),
              CheckAt(11001));
}

// A failing lookup or a refusing proxy: said, grey, and no break while the checks cannot be
// made; a check made again hands the host back to the silence rule, counting from then.
TEST_F(WatchMachineTest, ChecksThatCannotBeMadeAreNoSilence) {
    StartWatching();
    ReplyAt(1000);
    window.sendFailure = ProbeFailure::LookupFails;
    EXPECT_EQ((Calls{"send", "status Name lookup fails - host!"}), CheckAt(2000));
    window.sendFailure.reset();
    EXPECT_EQ(Calls{"light 164"}, LightTick());
    EXPECT_EQ("name lookup fails", WatchStatusLine(machine.Status()));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(6000));
    machine.OnProbeFailed(ProbeFailure::ProxyRefuses);
    EXPECT_EQ(Calls{"status Proxy refuses sign-in - host!"}, window.Take());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(14000));
    EXPECT_TRUE(machine.IsAlive());
    machine.OnCheckMade();
    EXPECT_EQ(Calls{"status host is alive!"}, window.Take());
    // The silence counts from the check made again, not from the reply before the outage.
    EXPECT_EQ(REQUEST_ONLY, CheckAt(18000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(22000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(24001));
}

TEST_F(WatchMachineTest, RefusedRequestAtACheckTickEndsWatchingWithoutABreak) {
    StartWatching();
    ReplyAt(1000);
    window.sendFailure = ProbeFailure::AccessDenied;
    EXPECT_EQ((Calls{"send", "status Access denied - host!", "icon 131"}), CheckAt(60000));
    EXPECT_FALSE(machine.IsWatching());
    EXPECT_FALSE(machine.IsAlive());
    EXPECT_EQ(Calls{"light 164"}, LightTick());
}

TEST_F(WatchMachineTest, FirstReplyFlashesAndRunsTheMakeEvent) {
    StartWatching();
    window.tick = 5000;
    window.actionsTakeMs = 1000;
    machine.OnEchoReply();
    EXPECT_EQ(
        (Calls{"light 163", "status host is alive!", "icon 129", "make actions host is alive!"}),
        window.Take());
    EXPECT_TRUE(machine.IsAlive());
    EXPECT_TRUE(machine.IsWatching());
    EXPECT_EQ(Calls{"light 162"}, LightTick());
    // The reply's tick is read once the make actions have run: the silence counts from then.
    EXPECT_EQ(REQUEST_ONLY, CheckAt(10000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(16000));
    // A later reply only flashes, and the silence counts from it.
    window.tick = 17000;
    machine.OnEchoReply();
    EXPECT_EQ(Calls{"light 163"}, window.Take());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(22000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(27000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(27001));
}

TEST_F(WatchMachineTest, EventsBringTheHiddenWindowBack) {
    StartWatching();
    window.visible = false;
    machine.OnEchoReply();
    EXPECT_EQ((Calls{"light 163", "status host is alive!", "toggle to shown", "icon 129",
                     "make actions host is alive!"}),
              window.Take());
    window.visible = false;
    CheckAt(5000);
    EXPECT_EQ((Calls{"send", "status host has died!", "light 133", "toggle to shown", "icon 130",
                     "break actions host has died!"}),
              CheckAt(10001));
}

// A reply, a check tick soon after it and one exactly the limit after it say nothing; a
// millisecond more is a break. Periods up to 9 s, a zero period included, keep the limit at
// 10,000 ms; a 30 s period widens it to 31,000 ms; the silence is measured across the tick wrap.
// The tick is read after the request: a send that takes a millisecond brings the limit nearer.
TEST_F(WatchMachineTest, SilenceOfExactlyTheLimitIsNotDeath) {
    // The period's seconds, the reply's tick, the soon tick's delay, the limit, the send's time.
    for (const auto& [seconds, replyAt, soonMs, limitMs, sendMs] :
         std::vector<std::array<uint32_t, 5>>{{0, 1000, 5000, 10000, 0},
                                              {4, 1000, 5000, 10000, 0},
                                              {9, 1000, 5000, 10000, 0},
                                              {30, 1000, 5000, 31000, 0},
                                              {4, 0xFFFFF000u, 8192, 10000, 0},
                                              {4, 1000, 5000, 9999, 1}}) {
        SCOPED_TRACE(std::to_string(seconds) + " s, reply at " + std::to_string(replyAt) +
                     ", send " + std::to_string(sendMs) + " ms");
        settings.CheckFrequency = seconds;
        window.sendTakesMs = sendMs;
        StartWatching();
        ReplyAt(replyAt);
        EXPECT_EQ(REQUEST_ONLY, CheckAt(uint32_t(replyAt + soonMs)));
        EXPECT_EQ(REQUEST_ONLY, CheckAt(uint32_t(replyAt + limitMs)));
        EXPECT_TRUE(machine.IsAlive());
        EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(uint32_t(replyAt + limitMs + 1)));
        EXPECT_FALSE(machine.IsAlive());
        EXPECT_TRUE(machine.IsWatching());
        EXPECT_EQ(Calls{"light 133"}, LightTick());
    }
}

TEST_F(WatchMachineTest, StartingAgainWhileAliveMakesTheNextReplyANewMake) {
    StartWatching();
    ReplyAt(1000);
    StartWatching();
    EXPECT_FALSE(machine.IsAlive());
    window.tick = 2000;
    machine.OnEchoReply();
    const Calls calls = window.Take();
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "make actions host is alive!"));
}

TEST_F(WatchMachineTest, BreakSwitchedOffWhileAliveStopsAtTheNextReply) {
    StartWatching();
    ReplyAt(1000);
    settings.CheckBreak = 0;
    window.tick = 2000;
    machine.OnEchoReply();
    EXPECT_EQ(Calls{"light 163"}, window.Take());
    EXPECT_FALSE(machine.IsWatching());
    EXPECT_TRUE(machine.IsAlive());
    EXPECT_EQ("", machine.Host());
}

// The master flags: each of the four combinations through a make event and a long silence.
struct FlagCase {
    int32_t checkMake;
    int32_t checkBreak;
    bool makeActionsRun;
    bool watchingAfterMake;
    bool breakActionsRun;
    bool watchingAfterBreak;
};

class MasterFlags : public WatchMachineTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(MasterFlags, GateActionsAndWhetherWatchingGoesOn) {
    const FlagCase& c = GetParam();
    settings.CheckMake = c.checkMake;
    settings.CheckBreak = c.checkBreak;
    StartWatching();

    window.tick = 1000;
    machine.OnEchoReply();
    Calls calls = window.Take();
    // The make event shows whatever the flags say.
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "status host is alive!"));
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "icon 129"));
    EXPECT_EQ(c.makeActionsRun,
              calls.end() != std::find(calls.begin(), calls.end(), "make actions host is alive!"));
    EXPECT_EQ(c.watchingAfterMake, machine.IsWatching());
    EXPECT_TRUE(machine.IsAlive());
    if (!c.watchingAfterMake) {
        EXPECT_EQ("", machine.Host());
        EXPECT_EQ(Calls{"light 164"}, LightTick());
        machine.OnEchoReply();
        EXPECT_EQ(Calls{}, window.Take());
        EXPECT_EQ(Calls{}, CheckAt(60000));
        return;
    }

    CheckAt(8000);
    calls = CheckAt(16000);
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "status host has died!"));
    EXPECT_EQ(c.breakActionsRun,
              calls.end() != std::find(calls.begin(), calls.end(), "break actions host has died!"));
    EXPECT_FALSE(machine.IsAlive());
    EXPECT_EQ(c.watchingAfterBreak, machine.IsWatching());
    EXPECT_EQ(c.watchingAfterBreak ? "host" : "", machine.Host());
    EXPECT_EQ((Calls{c.watchingAfterBreak ? "light 133" : "light 164"}), LightTick());
}

INSTANTIATE_TEST_SUITE_P(AllCombinations, MasterFlags,
                         ::testing::Values(FlagCase{1, 1, true, true, true, true},
                                           FlagCase{1, 0, true, false, false, false},
                                           FlagCase{0, 1, false, true, true, false},
                                           FlagCase{0, 0, false, false, false, false}));

// The silence limit follows the check period, read from the settings at each tick: a period
// changed in Options counts from the next tick.
TEST_F(WatchMachineTest, AChangedCheckPeriodCountsFromTheNextTick) {
    settings.CheckFrequency = 30;
    StartWatching();
    ReplyAt(35000);
    settings.CheckFrequency = 4;
    EXPECT_EQ(REQUEST_ONLY, CheckAt(40000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(35000 + 10001));
}

// A tick more than a period and the margin after the previous one follows a time in which the
// program could not run: the silence clock starts again there instead of being tested.
TEST_F(WatchMachineTest, TimeTheProgramCouldNotRunIsNotSilence) {
    StartWatching();
    ReplyAt(1000);
    // Stopped for 20 s right after the first reply: the first tick does not count it.
    EXPECT_EQ(REQUEST_ONLY, CheckAt(21000));
    EXPECT_TRUE(machine.IsAlive());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(24000));
    // Exactly a period and the margin after the previous tick: tested as usual.
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(24000 + 4000 + 5000));
    ReplyAt(34000);
    EXPECT_EQ(REQUEST_ONLY, CheckAt(37000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(37000 + 9001)); // 12 s since the reply
    // Silent from then on, the host dies as usual, counted from the late tick.
    EXPECT_EQ(REQUEST_ONLY, CheckAt(50000));
    EXPECT_EQ(REQUEST_ONLY, CheckAt(56001));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(56002));
    // A resume from sleep starts the silence clock again too.
    ReplyAt(60000);
    window.tick = 80000;
    machine.OnResume();
    EXPECT_EQ(Calls{}, window.Take());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(82000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(90001));
    // Options OK restarts the check timer late in a 30 s period: its next tick is not late,
    // and the silence before it is counted from OK, since no request went out in between.
    settings.CheckFrequency = 30;
    ReplyAt(100000);
    CheckAt(110000);
    window.tick = 135000;
    machine.OnCheckTimerRestarted();
    EXPECT_EQ(Calls{}, window.Take());
    EXPECT_EQ(REQUEST_ONLY, CheckAt(165000));
    EXPECT_EQ(CHECK_THEN_BREAK, CheckAt(135000 + 31001));
}

// The slow rule, row by row: what the newest checks say (answered of the last 5, newest,
// fastest, slowest; known and lost of the last minute), a reply (else a check tick), the effects
// and the light after them.
TEST_F(WatchMachineTest, SlowComesAndGoesWhileAliveOnly) {
    const RecentChecks late{5, 450, 400, 450, 20, 0};
    StartWatching();
    ReplyAt(1000);
    window.recent = late;
    EXPECT_EQ(REQUEST_ONLY, CheckAt(2000)) << "both thresholds off";
    settings.SlowRoundTripMs = 200;
    settings.SlowLossPercent = 20;
    // clang-format off
    const struct { const char* what; RecentChecks recent; bool reply; Calls calls; int light; }
    rows[] = {
        {"9 known, 5 lost", {3, 30, 20, 40, 9, 5}, false, {"send"}, 162},
        {"20 % lost is not over", {5, 30, 20, 40, 10, 2}, false, {"send"}, 162},
        {"entering: 12 of 59 lost, 20.3 %", {5, 30, 20, 40, 59, 12}, false, {"send",
         "status host is slow! (21 % lost)", "icon 132", "slow actions host is slow! (21 % lost)"}, 165},
        {"leaving", {5, 30, 20, 200, 20, 4}, false, {"send", "status host is no longer slow.",
         "icon 129", "slow end actions host is no longer slow."}, 162},
        {"entering: 5 late answers", late, true, {"light 163", "status host is slow! (450 ms)",
         "icon 132", "slow actions host is slow! (450 ms)"}, 165},
        {"one fast answer among them", {5, 450, 150, 450, 20, 0}, false, {"send"}, 165},
        {"a break while slow", late, false, CHECK_THEN_BREAK, 133},
        {"a make after it", late, true, {"light 163", "status host is alive!", "icon 129",
         "make actions host is alive!"}, 162},
    };
    // clang-format on
    for (const auto& row : rows) {
        window.recent = row.recent;
        window.tick += row.reply ? 1000 : 0;
        if (row.reply)
            machine.OnEchoReply(row.recent.latestMs);
        EXPECT_EQ(row.calls, row.reply                       ? window.Take()
                             : row.calls == CHECK_THEN_BREAK ? CheckUntilDead()
                                                             : CheckAt(window.tick + 1000))
            << row.what;
        window.lightTimerRunning = true;
        EXPECT_EQ(Calls{"light " + std::to_string(row.light)}, LightTick()) << row.what;
    }
    ReplyAt(window.tick + 1000); // slow again, for 3 min
    window.tick += 3 * 60000;
    EXPECT_EQ("Hide host\nslow for 3 min, 450 ms", machine.TooltipText());
    // A check made again after a failed lookup says slow again; Options OK turning both
    // thresholds off ends slow at once, not at the next tick.
    machine.OnProbeFailed(ProbeFailure::LookupFails);
    window.Take();
    machine.OnCheckMade();
    EXPECT_EQ(Calls{"status host is slow! (450 ms)"}, window.Take());
    settings.SlowRoundTripMs = settings.SlowLossPercent = 0;
    machine.OnCheckTimerRestarted();
    EXPECT_EQ((Calls{"status host is no longer slow.", "icon 129",
                     "slow end actions host is no longer slow."}),
              window.Take());
}

TEST(CheckTiming, PeriodIsTheSettingInMillisecondsWithinTimerLimits) {
    EXPECT_EQ(4000u, CheckTimerPeriodMs(4));
    EXPECT_EQ(1000u, CheckTimerPeriodMs(0));
    EXPECT_EQ(1000u, CheckTimerPeriodMs(1));
    EXPECT_EQ(2147483000u, CheckTimerPeriodMs(2147483));
    // 4,294,968 s is 4,294,968,000 ms, which a 32-bit product would wrap to 704 ms.
    for (uint32_t seconds : {2147484u, 4294968u, 0xFFFFFFFFu}) {
        EXPECT_EQ(0x7FFFFFFFu, CheckTimerPeriodMs(seconds)) << seconds;
    }
}

TEST(CheckTiming, SilenceLimitIsTenSecondsOrAPeriodAndASecond) {
    EXPECT_EQ(10000u, SilenceLimitMs(CheckTimerPeriodMs(0)));
    EXPECT_EQ(10000u, SilenceLimitMs(CheckTimerPeriodMs(4)));
    EXPECT_EQ(10000u, SilenceLimitMs(CheckTimerPeriodMs(9)));
    EXPECT_EQ(11000u, SilenceLimitMs(CheckTimerPeriodMs(10)));
    EXPECT_EQ(0x7FFFFFFFu + 1000u, SilenceLimitMs(CheckTimerPeriodMs(0xFFFFFFFFu)));
}

// The tooltip's lines through a watch: its state, how long, the round trip and the mute's end,
// which goes with the hour. (Its fit with a long name: the start above and the Wine test.)
TEST_F(WatchMachineTest, TheTooltipSaysTheStateSinceWhenAndTheMute) {
    StartWatching("server");
    EXPECT_EQ("Hide server\nwaiting", machine.TooltipText());
    window.tick = 1000;
    machine.OnEchoReply(12);
    window.tick += (2 * 60 + 14) * 60000 + 1;
    EXPECT_EQ("Hide server\nalive for 2 h 14 min, 12 ms", machine.TooltipText());
    window.tick += 60ull * 24 * 3600000; // past 2^32 ms, where a 32-bit tick wraps
    EXPECT_EQ("Hide server\nalive for 60 d 2 h, 12 ms", machine.TooltipText());
    machine.Mute("14:32");
    CheckUntilDead();
    window.tick += 3 * 60000;
    machine.SetFinding("the path ends after hop 2 (198.51.100.6)"); // the break's trace
    EXPECT_EQ(
        "Hide server\ndead for 3 min; the path ends after hop 2 (198.51.100.6)\nmuted until 14:32",
        machine.TooltipText());
    // A long clock of the user's own: the state and the mute's end stay whole, the finding
    // yields, and the tip keeps to the shell's room.
    const std::string longClock(70, '9');
    machine.Mute(longClock);
    EXPECT_EQ("Hide ...\ndead for 3 min; the path ends af...\nmuted until " + longClock,
              machine.TooltipText());
    machine.OnProbeFailed(ProbeFailure::UnknownHost);
    machine.SetFinding("the path ends after hop 2 (198.51.100.6)"); // the break's, ending late
    // An hour later the mute is over.
    window.tick += 3600000;
    EXPECT_EQ("Hide server\nunknown name", machine.TooltipText());
}

// The menu names the mute's end as the tip does, in the user's own format, whose text stays
// text (an ampersand is no mnemonic).
TEST(TrayMenuItems, UnmuteSaysUntilWhenInTheUsersFormat) {
    TrayMenuState state;
    state.mutedUntil = "2&32 PM";
    EXPECT_EQ(TrayMenuItems(state)[3].text, "Un&mute (muted until 2&&32 PM)");
}

// Muted, an event changes the status, light and icon and runs the records, but the window does
// not come back and the sound and notification are held, until Unmute or the hour's end.
TEST_F(WatchMachineTest, MutedEventsLeaveTheWindowHiddenAndHoldTheAlerts) {
    StartWatching();
    window.visible = false;
    window.tick = 5000;
    machine.Mute("14:32");
    window.Take();
    machine.OnEchoReply();
    EXPECT_EQ((Calls{"light 163", "status host is alive!", "icon 129",
                     "make actions host is alive! muted"}),
              window.Take());
    machine.Unmute();
    EXPECT_EQ(CheckUntilDead().back(), "break actions host has died!");
    EXPECT_TRUE(window.visible);
    window.visible = false;
    machine.Mute("15:00");
    window.tick += 3600000 - 1; // the mute's hour, less a millisecond
    EXPECT_EQ("15:00", machine.MutedUntil());
    window.tick += 1;
    EXPECT_EQ("", machine.MutedUntil()) << "an hour has passed";
    ReplyAt(window.tick);
    EXPECT_TRUE(window.visible) << "the window comes back again";
}

} // namespace
