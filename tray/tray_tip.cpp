// The tray tooltip's text; see tray_tip.h.
#include "tray/tray_tip.h"

#include "framework/short_text.h"

std::string DurationText(uint64_t ms) {
    const uint64_t seconds = ms / 1000;
    const uint64_t minutes = seconds / 60;
    const uint64_t hours = minutes / 60;
    if (seconds < 60) {
        return std::to_string(seconds) + " s";
    }
    if (minutes < 60) {
        return std::to_string(minutes) + " min";
    }
    if (hours < 24) {
        return std::to_string(hours) + " h " + std::to_string(minutes % 60) + " min";
    }
    return std::to_string(hours / 24) + " d " + std::to_string(hours % 24) + " h";
}

std::string WatchStatusLine(const WatchStatus& status) {
    switch (status.kind) {
    case WatchStatus::Kind::None:
        break;
    case WatchStatus::Kind::Waiting:
        return "waiting";
    case WatchStatus::Kind::UnknownName:
        return "unknown name";
    case WatchStatus::Kind::LookupFails:
        return "name lookup fails";
    case WatchStatus::Kind::ProxyRefuses:
        return "proxy refuses sign-in";
    case WatchStatus::Kind::Alive:
        return "alive for " + DurationText(status.forMs) + ", " +
               std::to_string(status.roundTripMs) + " ms";
    case WatchStatus::Kind::Dead:
        return "dead for " + DurationText(status.forMs);
    case WatchStatus::Kind::Slow:
        return "slow for " + DurationText(status.forMs) + ", " + status.slowFigure;
    }
    return std::string();
}

std::string TrayTooltipText(bool visible, const std::string& host, const WatchStatus& status,
                            const std::string& muteLine) {
    std::string statusLine = WatchStatusLine(status);
    // The finding follows the state in what the state, the mute's end and the start of the host
    // line leave of the tip: shortened, or left out where too little of it would show.
    constexpr size_t HOST_LINE_LEAST = 8, FINDING_LEAST = 16; // "Hide ab...", "the path end..."
    const size_t used =
        1 + statusLine.size() + 2 + (muteLine.empty() ? 0 : 1 + muteLine.size()) + HOST_LINE_LEAST;
    if (!statusLine.empty() && !status.finding.empty() && used + FINDING_LEAST <= TOOLTIP_ROOM)
        statusLine += "; " + ShortenKeepingTail(status.finding, TOOLTIP_ROOM - used, 0);
    std::string below = statusLine.empty() ? std::string() : "\n" + statusLine;
    if (!muteLine.empty())
        below += "\n" + muteLine;
    const size_t room = below.size() < TOOLTIP_ROOM ? TOOLTIP_ROOM - below.size() : 0;
    const std::string first = (visible ? "Hide " : "Show ") + host;
    return ShortenKeepingTail(first, room, 0) + below;
}
