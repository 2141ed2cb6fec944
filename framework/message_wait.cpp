// The wait handles of the framework's message loops.
#include "framework/message_wait.h"

#include <algorithm>
#include <vector>

namespace {

struct WaitEntry {
    HANDLE handle;
    WaitHandleCallback callback;
    void* context;
};

// One user-interface thread: the list needs no lock.
std::vector<WaitEntry>& WaitEntries() {
    static std::vector<WaitEntry> entries;
    return entries;
}

// MsgWaitForMultipleObjectsEx takes one handle fewer than a plain wait.
constexpr std::size_t MAX_WAIT_HANDLES = MAXIMUM_WAIT_OBJECTS - 1;

void RunCallbackOf(HANDLE handle) {
    for (const WaitEntry& entry : WaitEntries()) {
        if (entry.handle == handle) {
            // A copy: the callback may change the list.
            const WaitEntry called = entry;
            called.callback(called.handle, called.context);
            return;
        }
    }
}

} // namespace

bool AfxAddWaitHandle(HANDLE handle, WaitHandleCallback callback, void* context) {
    std::vector<WaitEntry>& entries = WaitEntries();
    if (handle == nullptr || callback == nullptr || entries.size() >= MAX_WAIT_HANDLES)
        return false;
    entries.push_back({handle, callback, context});
    return true;
}

void AfxRemoveWaitHandle(HANDLE handle) {
    std::vector<WaitEntry>& entries = WaitEntries();
    entries.erase(
        std::remove_if(entries.begin(), entries.end(),
                       [handle](const WaitEntry& entry) { return entry.handle == handle; }),
        entries.end());
}

BOOL AfxGetMessage(MSG* msg) {
    for (;;) {
        std::vector<HANDLE> handles;
        for (const WaitEntry& entry : WaitEntries())
            handles.push_back(entry.handle);
        if (handles.empty())
            return ::GetMessageA(msg, nullptr, 0, 0);
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE,
                                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke < WAIT_OBJECT_0 + count) {
            RunCallbackOf(handles[woke - WAIT_OBJECT_0]);
            continue;
        }
        if (woke != WAIT_OBJECT_0 + count) {
            // A handle closed under the list: this message is waited for without the handles.
            return ::GetMessageA(msg, nullptr, 0, 0);
        }
        // Sent messages are handled inside PeekMessage; only a posted one ends the wait.
        if (::PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE))
            return msg->message == WM_QUIT ? FALSE : TRUE;
    }
}
