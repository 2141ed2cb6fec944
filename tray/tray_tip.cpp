// The tray tooltip's text; see tray_tip.h.
#include "tray/tray_tip.h"

#include "framework/short_text.h"

namespace {

// What is left of the tip after `used` bytes.
size_t RoomAfter(size_t used) {
    return used < TOOLTIP_ROOM ? TOOLTIP_ROOM - used : 0;
}

} // namespace

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
    // The state stays whole; the mute's end is cut only where the user's own clock is longer than
    // the tip. The finding follows the state in what the state, the mute's end and the start of
    // the host line leave of the tip: shortened, or left out where too little of it would show.
    constexpr size_t HOST_LINE_LEAST = 8, FINDING_LEAST = 16; // "Hide ab...", "the path end..."
    std::string statusLine = WatchStatusLine(status);
    const size_t stateUsed = 1 + statusLine.size() + HOST_LINE_LEAST;
    const std::string mute = muteLine.empty()
                                 ? muteLine
                                 : "\n" + ShortenKeepingTail(muteLine, RoomAfter(stateUsed + 1), 0);
    const size_t used = stateUsed + 2 + mute.size();
    if (!statusLine.empty() && !status.finding.empty() && used + FINDING_LEAST <= TOOLTIP_ROOM)
        statusLine += "; " + ShortenKeepingTail(status.finding, TOOLTIP_ROOM - used, 0);
    const std::string below = (statusLine.empty() ? std::string() : "\n" + statusLine) + mute;
    const std::string first = (visible ? "Hide " : "Show ") + host;
    return ShortenKeepingTail(first, RoomAfter(below.size()), 0) + below;
}
