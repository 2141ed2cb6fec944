// A TrayShell that records every platform call, with the record as it was at the call, and
// answers with results the test chooses.
#pragma once

#include "tray/tray_record.h"

#include <string>
#include <vector>

struct ShellCall {
    enum Kind { MakeWindow, Notify, StartTimer, StopTimer } kind;
    uint32_t operation = 0; // Notify: the operation; timers: the timer id
    TrayIconRecord record;  // Notify: a copy of the record passed
};

class FakeTrayShell : public TrayShell {
public:
    uintptr_t hiddenWindow = 0x5000;
    bool notifyResult = true;
    bool setTimerResult = true;
    bool killTimerResult = true;
    std::vector<ShellCall> calls;

    uintptr_t CreateHiddenWindow() override {
        calls.push_back({ShellCall::MakeWindow, 0, {}});
        return hiddenWindow;
    }
    bool NotifyIcon(uint32_t operation, const TrayIconRecord& record) override {
        calls.push_back({ShellCall::Notify, operation, record});
        return notifyResult;
    }
    bool SetAnimTimer(uint32_t timerId, uint32_t) override {
        calls.push_back({ShellCall::StartTimer, timerId, {}});
        return setTimerResult;
    }
    bool KillAnimTimer(uint32_t timerId) override {
        calls.push_back({ShellCall::StopTimer, timerId, {}});
        return killTimerResult;
    }

    // The calls that add, change or delete the icon (NIM_SETVERSION, which follows each add,
    // is left out: VersionCalls has it).
    std::vector<ShellCall> NotifyCalls() const {
        std::vector<ShellCall> notifies;
        for (const ShellCall& call : calls) {
            if (call.kind == ShellCall::Notify && call.operation != NIM_SETVERSION) {
                notifies.push_back(call);
            }
        }
        return notifies;
    }
    std::vector<ShellCall> VersionCalls() const {
        std::vector<ShellCall> notifies;
        for (const ShellCall& call : calls) {
            if (call.kind == ShellCall::Notify && call.operation == NIM_SETVERSION) {
                notifies.push_back(call);
            }
        }
        return notifies;
    }
    // The icons shown by NIM_MODIFY calls with NIF_ICON, in order.
    std::vector<uintptr_t> IconsShown() const {
        std::vector<uintptr_t> icons;
        for (const ShellCall& call : NotifyCalls()) {
            if (call.operation == NIM_MODIFY && call.record.uFlags == NIF_ICON) {
                icons.push_back(call.record.hIcon);
            }
        }
        return icons;
    }
};
