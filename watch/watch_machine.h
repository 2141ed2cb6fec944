// The watch state machine: decides from echo replies and the passing of time whether the
// watched host is alive, and turns the two transitions into the make and break events. Every
// effect on the screen, the probe, the tray and the actions goes through WatchEffects, which
// the watch window implements.
#pragma once

#include "probe/probe_failure.h"
#include "settings/event_action.h"
#include "settings/watch_settings.h"

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

// The tray tooltip: "Hide <host>" while the window is shown, "Show <host>" while it is hidden.
std::string TrayTooltipText(bool visible, const std::string& host);

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
    // The platform's 32-bit millisecond tick count.
    virtual uint32_t ReadTickCount() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Shows one of the light bitmaps IDB_LIGHT_RED, _GREEN, _FLASH or _GREY.
    virtual void ShowLight(int bitmapId) = 0;
    // Kills the light timer and starts it again, so that the next light tick is a full
    // period away.
    virtual void RestartLightTimer() = 0;
    // Kills the light timer: the light shows the state's colour and nothing is left to show.
    virtual void StopLightTimer() = 0;
    // Shows one of the tray icons IDI_TRAY_ALIVE, _DEAD or _WAITING.
    virtual void SetTrayIcon(int iconId) = 0;
    virtual void SetTrayTooltip(const std::string& text) = 0;
    virtual bool IsVisible() = 0;
    // Hides the shown window or shows the hidden one, and sets the tooltip to match.
    virtual void ToggleVisible() = 0;
    // Runs the enabled actions of the event kind; eventText is the status text just shown.
    virtual void RunEventActions(EventKind kind, const std::string& eventText) = 0;
};

class WatchMachine {
public:
    // Both are held by reference: the window owns the settings (Options may change them at
    // any time) and implements the effects.
    WatchMachine(const WatchSettings& settings, WatchEffects& effects);

    // The user pressed Enter, or the command line named a host: watch the host field's text.
    void StartWatch();
    // An accepted echo reply arrived.
    void OnEchoReply();
    // Probing the host met a failure after the start. A refused user stops watching; a name
    // that does not exist is shown as unknown while it is looked up again; a network error is
    // shown while watching goes on.
    void OnProbeFailed(ProbeFailure failure);
    // The unknown name has an address now: watching goes on as after a start.
    void OnHostFound();
    // A window timer fired; TIMER_CHECK and TIMER_LIGHT are handled, others ignored. The light
    // timer runs only while the light has something to show: from a flash, a start or an event
    // until the next light tick has shown the state's colour.
    void OnTimer(uintptr_t timerId);
    // The machine resumed from sleep: the silence clock starts again now.
    void OnResume();
    // The check timer was started again (Options OK): the next tick, and the next request, are
    // a full period from now, so the silence clock starts again now, as after a resume.
    void OnCheckTimerRestarted();

    bool IsWatching() const { return m_bWatching; }
    bool IsAlive() const { return m_bAlive; }
    bool IsHostUnknown() const { return m_bHostUnknown; }
    // How many make and break events there have been: the window's history compares them.
    uint64_t Makes() const { return m_nMakes; }
    uint64_t Breaks() const { return m_nBreaks; }
    // How many times the program was found not to have run (a late check tick, a resume).
    uint64_t Pauses() const { return m_nPauses; }
    // The host being watched; empty after watching stopped at an event.
    const std::string& Host() const { return m_strHost; }

private:
    void OnCheckTick();
    void OnLightTick();
    void OnHostAlive();
    void OnHostDied();
    void StopWatching();
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

    bool m_bWatching = false;       // check ticks send requests and replies count
    std::string m_strHost;          // the subject of every status text and tooltip
    bool m_bAlive = false;          // answered and not declared dead since
    bool m_bHostUnknown = false;    // watching a name that the name server says does not exist
    bool m_bErrorShown = false;     // the status shows a network error that did not stop watching
    uint32_t m_dwLastReplyTick = 0; // tick count of the latest accepted reply
    // Tick count of the latest check tick since watching started, or before the first one of
    // the first reply; m_bCheckTickSeen tells whether there is one.
    bool m_bCheckTickSeen = false;
    uint32_t m_dwLastCheckTick = 0;
    uint64_t m_nMakes = 0;
    uint64_t m_nBreaks = 0;
    uint64_t m_nPauses = 0;
};
