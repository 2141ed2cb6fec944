// CPathFinder: finds where the path to the watched host stops, at a break or when the user
// asks. It traces the probe's current address (path_trace_win), keeps at most one trace
// running, drops the answers of a trace that a newer break or Enter abandoned, and starts the
// newest request when the running trace ends.
#pragma once

#include "probe/path_trace.h"

#include <windows.h>

#include <optional>

struct PathFinding {
    TraceFinding finding;
    bool atBreak = false; // a break asked for it
};

class CPathFinder {
public:
    // Traces the path for `window`, which then gets WM_PATH_TRACED. Gives the finding at once
    // when no trace is made (IsTraced) or none can be made (no address yet).
    std::optional<PathFinding> Find(HWND window, bool atBreak, bool answering);
    // Enter: the running trace's answers will be dropped, and nothing waits to start.
    void Abandon();
    // WM_PATH_TRACED: the finding when the answers are those of the trace asked for last.
    std::optional<PathFinding> OnTraced(HWND window, LPARAM lParam);

private:
    bool StartTrace(HWND window);

    uint32_t m_nAsked = 0;   // the id of the trace asked for last
    bool m_bPending = false; // it waits for the running trace to end
    bool m_bAtBreak = false; // of the trace asked for last
    TraceSubject m_subject;  // of the trace asked for last, with its address
};
