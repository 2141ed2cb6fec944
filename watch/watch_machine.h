// The watch state machine: decides from echo replies and the passing of time whether the
// watched host is alive, and turns the two transitions into the make and break events. Every
// effect on the screen, the probe, the tray and the actions goes through WatchEffects, which
// the watch window implements.
#pragma once

#include "history/check_history.h"
#include "probe/probe_failure.h"
#include "settings/event_action.h"
#include "settings/watch_settings.h"
#include "tray/tray_tip.h"

#include <cstdint>
#include <optional>
#include <string>

// Timers of the watch window.
constexpr uintptr_t TIMER_CHECK = 101;
constexpr uintptr_t TIMER_LIGHT = 102;
constexpr uint32_t LIGHT_PERIOD_MS = 100;

// An alive host is declared dead at a check tick when more than this many milliseconds have
// passed since its latest reply, or more than one check period and a second when that is longer.
constexpr uint32_t SILENCE_LIMIT_MS = 10000;

// A check tick that comes more than one check period and this margin after the previous one
// follows a time in which the program could not run (sleep, hibernation, a paused machine):
// that time is not silence.
constexpr uint32_t LATE_TICK_MARGIN_MS = 5000;

// The check timer's period for a period setting in seconds: at least a second, at most the
// longest period a window timer takes.
uint32_t CheckTimerPeriodMs(uint32_t seconds);

// The silence limit that goes with a check timer period, so that a host answering every
// request is never declared dead between two ticks.
uint32_t SilenceLimitMs(uint32_t checkPeriodMs);

// How long the alerts stay muted.
constexpr uint32_t MUTE_MS = 60 * 60 * 1000;

// What the state machine needs of the watch window.
class WatchEffects {
public:
    virtual ~WatchEffects() = default;
    // The whole text of the host field, which is then selected with the caret scrolled into
    // view, so that the next keystroke replaces it.
    virtual std::string TakeHostText() = 0;
    // Starts probing the host for this window: the first request goes out as soon as the host's
    // address is known, which may be later (a name is looked up in the background, a network
    // that is down is tried again at the check ticks). Gives the failure that ends the start at
    // once, if any; later failures come through OnProbeFailed.
    virtual std::optional<ProbeFailure> StartProbe(const std::string& host) = 0;
    // Sends one echo request to the host being probed. Gives the failure that ends probing.
    virtual std::optional<ProbeFailure> SendEchoRequest() = 0;
    // The platform's 64-bit millisecond tick count (GetTickCount64), which does not wrap: a
    // start at sign-in may run for months. The short spans keep its low 32 bits.
    virtual uint64_t ReadTickCount() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Shows one of the light bitmaps IDB_LIGHT_RED, _GREEN, _FLASH, _GREY or _AMBER.
    virtual void ShowLight(int bitmapId) = 0;
    // Kills the light timer and starts it again, so that the next light tick is a full
    // period away.
    virtual void RestartLightTimer() = 0;
    // Kills the light timer: the light shows the state's colour and nothing is left to show.
    virtual void StopLightTimer() = 0;
    // Shows one of the tray icons IDI_TRAY_ALIVE, _DEAD, _WAITING or _SLOW.
    virtual void SetTrayIcon(int iconId) = 0;
    virtual void SetTrayTooltip(const std::string& text) = 0;
    virtual bool IsVisible() = 0;
    // Hides the shown window or shows the hidden one, and sets the tooltip to match.
    virtual void ToggleVisible() = 0;
    // Runs the enabled actions of the event kind; eventText is the status text just shown.
    // While muted the sound and the notification are held.
    virtual void RunEventActions(EventKind kind, const std::string& eventText, bool muted) = 0;
    // What the newest checks of the watch's history say of the host's speed.
    virtual RecentChecks ReadRecentChecks() = 0;
};

class WatchMachine {
public:
    // Both are held by reference: the window owns the settings (Options may change them at
    // any time) and implements the effects.
    WatchMachine(const WatchSettings& settings, WatchEffects& effects);

    // The user pressed Enter, or the command line named a host: watch the host field's text.
    void StartWatch();
    // An accepted echo reply arrived, after the round trip given; the history already holds it.
    void OnEchoReply(uint32_t roundTripMs = 0);
    // Probing the host met a failure after the start. A refused user stops watching; a name
    // that does not exist is shown as unknown while it is looked up again; a network error is
    // shown while watching goes on; a failing lookup or a refusing proxy is shown and the
    // silence rule waits until a check is made again (OnCheckMade, or a reply).
    void OnProbeFailed(ProbeFailure failure);
    // The unknown name has an address now: watching goes on as after a start.
    void OnHostFound();
    // After LookupFails or ProxyRefuses, a check was made again (and not answered): the status
    // says again what holds, and the silence rule counts the silence from now.
    void OnCheckMade();
    // A window timer fired; TIMER_CHECK and TIMER_LIGHT are handled, others ignored. The light
    // timer runs only while the light has something to show: from a flash, a start or an event
    // until the next light tick has shown the state's colour.
    void OnTimer(uintptr_t timerId);
    // The machine resumed from sleep: the silence clock starts again now.
    void OnResume();
    // The check timer was started again (Options OK): the next tick, and the next request, are
    // a full period from now, so the silence clock starts again now, as after a resume; the
    // slow rule judges at once with the thresholds now set.
    void OnCheckTimerRestarted();
    // Where the path stops, for the tooltip until the next start or event.
    // A trace that ends after the name was found unknown was of an address no longer watched.
    void SetFinding(const std::string& text) {
        if (!m_bHostUnknown)
            m_strFinding = text;
    }

    // Holds the alerts of the events (the sound, the notification and the window's coming
    // back) for MUTE_MS from now, or until Unmute; untilText names the end for the user. The
    // status, light, icon, log line and launch go on as ever.
    void Mute(const std::string& untilText);
    void Unmute();
    // Ends a mute whose hour has passed.
    bool IsMuted();
    // "muted until 14:32" while muted, else empty.
    std::string MuteLine();
    // "14:32" while muted, else empty.
    std::string MutedUntil() { return IsMuted() ? m_strMutedUntil : std::string(); }

    // The state of the watch now, and the tooltip that says it.
    WatchStatus Status();
    std::string TooltipText();

    bool IsWatching() const { return m_bWatching; }
    bool IsAlive() const { return m_bAlive; }
    bool IsHostUnknown() const { return m_bHostUnknown; }
    bool IsSlow() const { return m_bSlow; }
    // Whether the checks cannot be made now (a failed name lookup, a refusing proxy).
    bool IsUnchecked() const { return m_unchecked.has_value(); }
    // How many make and break events there have been: the window's history compares them.
    uint64_t Makes() const { return m_nMakes; }
    uint64_t Breaks() const { return m_nBreaks; }
    // How many times the host became slow, and was no longer slow.
    uint64_t Slows() const { return m_nSlows; }
    uint64_t SlowEnds() const { return m_nSlowEnds; }
    // How many times the program was found not to have run (a late check tick, a resume).
    uint64_t Pauses() const { return m_nPauses; }
    // The host being watched; empty after watching stopped at an event.
    const std::string& Host() const { return m_strHost; }

private:
    void OnCheckTick();
    void OnLightTick();
    void OnHostAlive();
    void OnHostDied();
    // The slow rule on the newest checks, while alive: enters or leaves the slow state.
    void JudgeSlow();
    void OnHostSlow(const std::string& figure);
    void OnHostNoLongerSlow();
    void StopWatching();
    // The status text of what holds: slow, alive, dead or waiting.
    std::string HoldingText() const;
    // What a start that waits does with the window: hides it when the settings say so, else
    // names the host in the tooltip.
    void HideOrNameTheHost();
    // Whether the check tick at `now` comes so late after the previous one (or the first
    // reply) that the program cannot have run in between; remembers `now` as the previous tick.
    bool IsLateCheckTick(uint32_t now);
    // The silence clock starts again now.
    void RestartSilenceClock();

    const WatchSettings& m_settings;
    WatchEffects& m_effects;

    bool m_bWatching = false;    // check ticks send requests and replies count
    std::string m_strHost;       // the subject of every status text and tooltip
    bool m_bAlive = false;       // answered and not declared dead since
    bool m_bHostUnknown = false; // watching a name that the name server says does not exist,
                                 // or a web server whose certificate is not good, unanswered
    bool m_bErrorShown = false;  // the status shows a network error that did not stop watching
    // LookupFails or ProxyRefuses while the checks cannot be made: the silence rule waits.
    std::optional<ProbeFailure> m_unchecked;
    uint32_t m_dwLastReplyTick = 0; // tick count of the latest accepted reply
    // Tick count of the latest check tick since watching started, or before the first one of
    // the first reply; m_bCheckTickSeen tells whether there is one.
    bool m_bCheckTickSeen = false;
    uint32_t m_dwLastCheckTick = 0;
    uint64_t m_nMakes = 0;
    uint64_t m_nBreaks = 0;
    uint64_t m_nPauses = 0;
    uint64_t m_nSlows = 0;
    uint64_t m_nSlowEnds = 0;
    bool m_bSlow = false;             // alive, and judged slow since the make
    uint64_t m_nSlowSinceTick = 0;    // tick count of the latest slow event
    std::string m_strSlowFigure;      // what the latest judgement that found it slow said
    bool m_bDead = false;             // declared dead and not alive again since
    uint64_t m_nStateSinceTick = 0;   // tick count of the latest make or break
    uint32_t m_dwLastRoundTripMs = 0; // the latest reply's round trip
    bool m_bMuted = false;
    uint64_t m_nMutedAtTick = 0;
    std::string m_strMutedUntil;
    std::string m_strFinding;
};
