// A fake watch window for the state machine tests: answers reads (the tick, whether it is shown,
// the newest checks) from its own fields, unrecorded, and records every effect (taking the host
// text selects it) in order as one line of text; the light timer is a flag of its own.
#pragma once

#include "watch/watch_machine.h"

#include <string>
#include <vector>

class RecordingEffects : public WatchEffects {
public:
    std::string hostText = "host";
    std::optional<ProbeFailure> startFailure; // what StartProbe gives
    std::optional<ProbeFailure> sendFailure;  // what SendEchoRequest gives
    uint64_t tick = 0;
    uint64_t sendTakesMs = 0;   // how far the tick moves while a request goes out
    uint64_t actionsTakeMs = 0; // and while an event's actions run
    bool visible = true;
    bool lightTimerRunning = false;
    RecentChecks recent; // what ReadRecentChecks gives
    std::vector<std::string> calls;

    // The calls recorded since the last Take, which clears them.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    std::string TakeHostText() override {
        calls.push_back("take host text");
        return hostText;
    }
    std::optional<ProbeFailure> StartProbe(const std::string& host) override {
        calls.push_back("start probe " + host);
        return startFailure;
    }
    std::optional<ProbeFailure> SendEchoRequest() override {
        calls.push_back("send");
        tick += sendTakesMs;
        return sendFailure;
    }
    uint64_t ReadTickCount() override { return tick; }
    void SetStatusText(const std::string& text) override { calls.push_back("status " + text); }
    void ShowLight(int bitmapId) override { calls.push_back("light " + std::to_string(bitmapId)); }
    void RestartLightTimer() override { lightTimerRunning = true; }
    void StopLightTimer() override { lightTimerRunning = false; }
    void SetTrayIcon(int iconId) override { calls.push_back("icon " + std::to_string(iconId)); }
    void SetTrayTooltip(const std::string& text) override { calls.push_back("tooltip " + text); }
    bool IsVisible() override { return visible; }
    void ToggleVisible() override {
        visible = !visible;
        calls.push_back(visible ? "toggle to shown" : "toggle to hidden");
    }
    void RunEventActions(EventKind kind, const std::string& eventText, bool muted) override {
        const char* names[] = {"make actions ", "break actions ", "slow actions ",
                               "slow end actions "};
        calls.push_back(names[static_cast<int>(kind)] + eventText + (muted ? " muted" : ""));
        tick += actionsTakeMs;
    }
    RecentChecks ReadRecentChecks() override { return recent; }
};
