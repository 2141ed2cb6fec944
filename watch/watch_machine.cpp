// The watch state machine: start, check tick, reply, the two events and the light.
#include "watch/watch_machine.h"

#include "probe/host_text.h"
#include "res/resource.h"
#include "watch/slow_rule.h"

#include <algorithm>

namespace {

// The longest period a window timer accepts.
constexpr uint32_t MAX_TIMER_PERIOD_MS = 0x7FFFFFFF;
constexpr uint32_t MIN_CHECK_PERIOD_MS = 1000;
// How much later than a full check period a reply may come before the host counts as silent.
constexpr uint32_t SILENCE_MARGIN_MS = 1000;

std::string ProbeFailureText(ProbeFailure failure, const std::string& host) {
    switch (failure) {
    case ProbeFailure::AccessDenied:
        return "Access denied - " + host + "!";
    case ProbeFailure::BadPort:
        return "Bad port - " + host + "!";
    case ProbeFailure::NoHost:
        return "No host - " + (host.empty() ? "type a name or an address" : host) + "!";
    case ProbeFailure::Ipv6NeedsPort:
        return "IPv6 needs a port - " + host + "!";
    case ProbeFailure::NetworkError:
        return "Network error - " + host + "!";
    case ProbeFailure::BadAddress:
        return "Bad address - " + host + "!";
    case ProbeFailure::BadCertificate:
        return "Bad certificate - " + host + "!";
    case ProbeFailure::LookupFails:
        return "Name lookup fails - " + host + "!";
    case ProbeFailure::ProxyRefuses:
        return "Proxy refuses sign-in - " + host + "!";
    case ProbeFailure::UnknownHost:
        break;
    }
    return "Unknown - " + host + "!";
}

} // namespace

uint32_t CheckTimerPeriodMs(uint32_t seconds) {
    const uint64_t periodMs = static_cast<uint64_t>(seconds) * 1000;
    return static_cast<uint32_t>(
        std::clamp<uint64_t>(periodMs, MIN_CHECK_PERIOD_MS, MAX_TIMER_PERIOD_MS));
}

uint32_t SilenceLimitMs(uint32_t checkPeriodMs) {
    // Widened so that no period can overflow the sum.
    const uint64_t limit = static_cast<uint64_t>(checkPeriodMs) + SILENCE_MARGIN_MS;
    return static_cast<uint32_t>(std::clamp<uint64_t>(limit, SILENCE_LIMIT_MS, UINT32_MAX));
}

WatchMachine::WatchMachine(const WatchSettings& settings, WatchEffects& effects)
    : m_settings(settings), m_effects(effects) {}

void WatchMachine::StartWatch() {
    // " server:22 " watches "server:22".
    const std::string text = TrimHostText(m_effects.TakeHostText());
    m_bAlive = false;
    m_bSlow = false;
    m_bDead = false;
    m_bHostUnknown = false;
    m_bErrorShown = false;
    m_strFinding.clear();
    m_unchecked.reset();
    if (const std::optional<ProbeFailure> failure = m_effects.StartProbe(text)) {
        // The previous host, if any, is no longer watched, but it still names the tooltip.
        m_effects.SetStatusText(ProbeFailureText(*failure, text));
        m_bWatching = false;
    } else {
        m_effects.SetStatusText("Waiting for " + text + "...");
        m_bWatching = true;
        m_bCheckTickSeen = false;
        m_strHost = text;
        HideOrNameTheHost();
    }
    m_effects.SetTrayIcon(IDI_TRAY_WAITING);
    // The light takes the new state's colour at the next light tick.
    m_effects.RestartLightTimer();
}

void WatchMachine::OnEchoReply(uint32_t roundTripMs) {
    if (!m_bWatching) {
        return;
    }
    m_dwLastRoundTripMs = roundTripMs;
    m_effects.ShowLight(IDB_LIGHT_FLASH);
    m_effects.RestartLightTimer();
    // A web server answers with no news of its name or certificate before.
    m_bHostUnknown = false;
    m_unchecked.reset();
    const bool made = !m_bAlive;
    if (made) {
        OnHostAlive();
    } else if (m_bErrorShown) {
        // The error passed: the status says again what holds, without a second make event.
        m_effects.SetStatusText(HoldingText());
    }
    m_bErrorShown = false;
    // A make starts from alive; later answers may show the host slow, or fast again.
    if (!made) {
        JudgeSlow();
    }
    // Read after the make actions have run.
    const uint64_t tick = m_effects.ReadTickCount();
    m_dwLastReplyTick = static_cast<uint32_t>(tick);
    if (made) {
        m_nStateSinceTick = tick;
    }
    // Until the first check tick, the first reply tells when the program last ran.
    if (!m_bCheckTickSeen) {
        m_bCheckTickSeen = true;
        m_dwLastCheckTick = m_dwLastReplyTick;
    }
    if (m_settings.CheckBreak == 0) {
        StopWatching();
    }
}

void WatchMachine::OnProbeFailed(ProbeFailure failure) {
    if (!m_bWatching) {
        return;
    }
    m_effects.SetStatusText(ProbeFailureText(failure, m_strHost));
    if (failure == ProbeFailure::LookupFails || failure == ProbeFailure::ProxyRefuses) {
        // The host cannot be checked now: neither alive nor dead, the silence rule waits until
        // a check can be made again. A start that hid the window brings it back for a proxy.
        m_unchecked = failure;
        m_bHostUnknown = false;
        m_bErrorShown = true;
        if (failure == ProbeFailure::ProxyRefuses && !m_bAlive && !m_effects.IsVisible())
            m_effects.ToggleVisible();
        m_effects.RestartLightTimer();
        return;
    }
    m_unchecked.reset();
    if (failure == ProbeFailure::NetworkError ||
        (failure == ProbeFailure::BadCertificate && m_bAlive)) {
        // The probe goes on (opening its way again at the next tick after a network error):
        // watching goes on as it was, and the silence rule judges the host meanwhile.
        m_bErrorShown = true;
        return;
    }
    m_bAlive = false;
    m_strFinding.clear(); // it was of the path to an address no longer watched
    m_bSlow = false;
    // Watching goes on: the name may resolve, the certificate may be mended.
    if (failure == ProbeFailure::UnknownHost || failure == ProbeFailure::BadCertificate) {
        m_bHostUnknown = true;
    } else {
        StopWatching();
    }
    // A start that hid the window brings it back to say why nothing is watched.
    if (!m_effects.IsVisible()) {
        m_effects.ToggleVisible();
    }
    m_effects.SetTrayIcon(IDI_TRAY_WAITING);
    // The light turns grey at the next light tick.
    m_effects.RestartLightTimer();
}

void WatchMachine::OnHostFound() {
    if (!m_bWatching || !m_bHostUnknown) {
        return;
    }
    m_bHostUnknown = false;
    // As after a start: the status, and the window hidden while it waits when so set.
    m_effects.SetStatusText("Waiting for " + m_strHost + "...");
    HideOrNameTheHost();
    // The light turns from grey to red at the next light tick.
    m_effects.RestartLightTimer();
}

void WatchMachine::OnCheckMade() {
    if (!m_bWatching || !m_unchecked) {
        return;
    }
    m_unchecked.reset();
    m_bErrorShown = false;
    // The silence counts from now: the time the checks could not be made is none, so that one
    // failed check after an outage (or a late one from before it) is not a break.
    m_dwLastReplyTick = m_effects.ReadTickCount();
    // What held before.
    m_effects.SetStatusText(HoldingText());
    m_effects.RestartLightTimer();
}

std::string WatchMachine::HoldingText() const {
    if (m_bSlow)
        return m_strHost + " is slow! (" + m_strSlowFigure + ")";
    return m_bAlive  ? m_strHost + " is alive!"
           : m_bDead ? m_strHost + " has died!"
                     : "Waiting for " + m_strHost + "...";
}

void WatchMachine::HideOrNameTheHost() {
    if (m_settings.Hide != 0 && m_effects.IsVisible()) {
        m_effects.ToggleVisible();
    } else {
        m_effects.SetTrayTooltip(TooltipText());
    }
}

void WatchMachine::OnTimer(uintptr_t timerId) {
    if (timerId == TIMER_CHECK) {
        OnCheckTick();
    } else if (timerId == TIMER_LIGHT) {
        OnLightTick();
    }
}

void WatchMachine::OnCheckTick() {
    if (!m_bWatching) {
        return;
    }
    // A request that cannot go out is left to the silence rule, as is one that met a network
    // error (shown); a refused one ends watching.
    if (const std::optional<ProbeFailure> failure = m_effects.SendEchoRequest()) {
        OnProbeFailed(*failure);
        if (failure != ProbeFailure::NetworkError && !m_unchecked)
            return;
    }
    // The tick is read after the request, so that its reply can never count for this test.
    const uint64_t tick = m_effects.ReadTickCount();
    const uint32_t now = static_cast<uint32_t>(tick);
    if (IsLateCheckTick(now)) {
        ++m_nPauses;
        m_dwLastReplyTick = now;
        return;
    }
    // A check that could not be made tells nothing of the host.
    if (m_unchecked) {
        return;
    }
    const uint32_t silentMs = now - m_dwLastReplyTick;
    const uint32_t limitMs = SilenceLimitMs(CheckTimerPeriodMs(m_settings.CheckFrequency));
    if (m_bAlive && silentMs > limitMs) {
        m_nStateSinceTick = tick;
        OnHostDied();
        if (m_settings.CheckMake == 0) {
            StopWatching();
        }
    } else if (m_bAlive) {
        JudgeSlow();
    }
}

void WatchMachine::JudgeSlow() {
    // With both thresholds off (the default) the newest checks are not even read.
    const bool off = m_settings.SlowRoundTripMs == 0 && m_settings.SlowLossPercent == 0;
    if (m_bHostUnknown || (off && !m_bSlow)) {
        return;
    }
    const SlowJudgement judgement = ::JudgeSlow(
        m_effects.ReadRecentChecks(), m_settings.SlowRoundTripMs, m_settings.SlowLossPercent);
    if (judgement.verdict == SlowVerdict::Slow) {
        if (m_bSlow) {
            m_strSlowFigure = judgement.figure;
        } else {
            OnHostSlow(judgement.figure);
        }
    } else if (judgement.verdict == SlowVerdict::NotSlow && m_bSlow) {
        OnHostNoLongerSlow();
    }
}

void WatchMachine::OnHostSlow(const std::string& figure) {
    m_bSlow = true;
    m_strSlowFigure = figure;
    const std::string text = HoldingText();
    m_effects.SetStatusText(text);
    ++m_nSlows;
    m_nSlowSinceTick = m_effects.ReadTickCount();
    // A warning: the light and the icon turn amber, the window stays where it is.
    m_effects.RestartLightTimer();
    m_effects.SetTrayIcon(IDI_TRAY_SLOW);
    m_effects.RunEventActions(EventKind::Slow, text, IsMuted());
}

void WatchMachine::OnHostNoLongerSlow() {
    const std::string text = m_strHost + " is no longer slow.";
    m_effects.SetStatusText(text);
    m_bSlow = false;
    ++m_nSlowEnds;
    m_effects.RestartLightTimer();
    m_effects.SetTrayIcon(IDI_TRAY_ALIVE);
    m_effects.RunEventActions(EventKind::SlowEnd, text, IsMuted());
}

bool WatchMachine::IsLateCheckTick(uint32_t now) {
    const bool seen = m_bCheckTickSeen;
    const uint32_t sincePrevious = now - m_dwLastCheckTick;
    m_bCheckTickSeen = true;
    m_dwLastCheckTick = now;
    const uint64_t lateAfter =
        static_cast<uint64_t>(CheckTimerPeriodMs(m_settings.CheckFrequency)) + LATE_TICK_MARGIN_MS;
    return seen && sincePrevious > lateAfter;
}

void WatchMachine::OnResume() {
    ++m_nPauses;
    RestartSilenceClock();
}

void WatchMachine::OnCheckTimerRestarted() {
    RestartSilenceClock();
    // New thresholds hold at once: with both off the host is no longer slow before the next
    // tick, which a long period may keep far away.
    if (m_bWatching && m_bAlive && !m_unchecked)
        JudgeSlow();
}

void WatchMachine::RestartSilenceClock() {
    const uint32_t now = static_cast<uint32_t>(m_effects.ReadTickCount());
    m_dwLastReplyTick = now;
    m_bCheckTickSeen = true;
    m_dwLastCheckTick = now;
}

void WatchMachine::OnLightTick() {
    if (!m_bWatching || m_bHostUnknown || m_unchecked) {
        m_effects.ShowLight(IDB_LIGHT_GREY);
    } else {
        m_effects.ShowLight(!m_bAlive ? IDB_LIGHT_RED
                            : m_bSlow ? IDB_LIGHT_AMBER
                                      : IDB_LIGHT_GREEN);
    }
    // The state's colour stays until a reply, a start or an event changes what the light shows.
    m_effects.StopLightTimer();
}

void WatchMachine::OnHostAlive() {
    const std::string text = m_strHost + " is alive!";
    m_effects.SetStatusText(text);
    m_bAlive = true;
    m_bSlow = false;
    ++m_nMakes;
    m_strFinding.clear();
    m_bDead = false;
    const bool muted = IsMuted();
    if (!m_effects.IsVisible() && !muted) {
        m_effects.ToggleVisible();
    }
    m_effects.SetTrayIcon(IDI_TRAY_ALIVE);
    if (m_settings.CheckMake != 0) {
        m_effects.RunEventActions(EventKind::Make, text, muted);
    }
}

void WatchMachine::OnHostDied() {
    const std::string text = m_strHost + " has died!";
    m_effects.SetStatusText(text);
    m_bAlive = false;
    m_bSlow = false;
    ++m_nBreaks;
    m_strFinding.clear();
    m_bDead = true;
    m_effects.ShowLight(IDB_LIGHT_RED);
    // Grey follows at the next light tick should watching stop here.
    m_effects.RestartLightTimer();
    const bool muted = IsMuted();
    if (!m_effects.IsVisible() && !muted) {
        m_effects.ToggleVisible();
    }
    m_effects.SetTrayIcon(IDI_TRAY_DEAD);
    if (m_settings.CheckBreak != 0) {
        m_effects.RunEventActions(EventKind::Break, text, muted);
    }
}

void WatchMachine::StopWatching() {
    m_bWatching = false;
    m_bSlow = false;
    m_bHostUnknown = false;
    m_unchecked.reset();
    m_bDead = false;
    m_strHost.clear();
}

void WatchMachine::Mute(const std::string& untilText) {
    m_bMuted = true;
    m_nMutedAtTick = m_effects.ReadTickCount();
    m_strMutedUntil = untilText;
}

void WatchMachine::Unmute() {
    m_bMuted = false;
    m_strMutedUntil.clear();
}

bool WatchMachine::IsMuted() {
    // The clock is read only while muted, so that an unmuted event costs nothing more.
    if (m_bMuted && m_effects.ReadTickCount() - m_nMutedAtTick >= MUTE_MS) {
        Unmute();
    }
    return m_bMuted;
}

std::string WatchMachine::MuteLine() {
    return IsMuted() ? "muted until " + m_strMutedUntil : std::string();
}

WatchStatus WatchMachine::Status() {
    WatchStatus status;
    if (!m_bWatching) {
        return status;
    }
    if (m_bHostUnknown) {
        status.kind = WatchStatus::Kind::UnknownName;
    } else if (m_unchecked) {
        status.kind = m_unchecked == ProbeFailure::ProxyRefuses ? WatchStatus::Kind::ProxyRefuses
                                                                : WatchStatus::Kind::LookupFails;
    } else if (m_bSlow) {
        status.kind = WatchStatus::Kind::Slow;
        status.forMs = m_effects.ReadTickCount() - m_nSlowSinceTick;
        status.roundTripMs = m_dwLastRoundTripMs;
        status.slowFigure = m_strSlowFigure;
    } else if (m_bAlive || m_bDead) {
        status.kind = m_bAlive ? WatchStatus::Kind::Alive : WatchStatus::Kind::Dead;
        status.forMs = m_effects.ReadTickCount() - m_nStateSinceTick;
        status.roundTripMs = m_dwLastRoundTripMs;
    } else {
        status.kind = WatchStatus::Kind::Waiting;
    }
    status.finding = m_strFinding;
    return status;
}

std::string WatchMachine::TooltipText() {
    const WatchStatus status = Status();
    const std::string muteLine = MuteLine();
    return TrayTooltipText(m_effects.IsVisible(), m_strHost, status, muteLine);
}
