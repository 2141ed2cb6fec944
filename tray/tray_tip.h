// The text of the notification-area icon's tip: what a click does, the state of the watch and
// the mute's end, in the room the shell's record holds. The watch decides what state to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The most characters the shell shows in a tooltip: the bytes the record's text holds before its
// ending zero. Windows makes UTF-16 of the record's UTF-8 text, never in more units than bytes.
constexpr size_t TOOLTIP_ROOM = 127;

// What is known of the watched host, for the tooltip.
struct WatchStatus {
    enum class Kind { None, Waiting, UnknownName, LookupFails, ProxyRefuses, Alive, Dead, Slow };
    Kind kind = Kind::None;
    uint64_t forMs = 0;       // Alive, Dead, Slow: time since the event
    uint32_t roundTripMs = 0; // Alive, Slow: the latest reply's round trip
    std::string slowFigure;   // Slow: "850 ms" or "25 % lost", as last judged
    std::string finding;      // where the path stops, found since the latest event
};

// "45 s", "3 min", "2 h 14 min", "3 d 5 h".
std::string DurationText(uint64_t ms);
// The status as the tooltip's second line: "waiting", "unknown name", "name lookup fails",
// "proxy refuses sign-in", "alive for 2 h 14 min, 12 ms", "dead for 3 min", "slow for 3 min,
// 850 ms"; empty when nothing is watched. (The tip adds "; " and the finding, as it fits.)
std::string WatchStatusLine(const WatchStatus& status);
// The tray tooltip: "Hide <host>" while the window is shown, "Show <host>" while it is hidden,
// then the status line (with the finding, as it fits) and the mute line, each on a line of its
// own when not empty. It fits TOOLTIP_ROOM: a long host name is shortened, the state is kept
// whole, and so is the mute's end unless the user's clock is longer than the tip.
std::string TrayTooltipText(bool visible, const std::string& host,
                            const WatchStatus& status = WatchStatus(),
                            const std::string& muteLine = std::string());
