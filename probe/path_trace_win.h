// Traces the path to an IPv4 address off the window's thread: a worker thread sends the echo
// requests of time-to-live 1 to TRACE_MAX_HOPS at once through the system's echo service, each
// with its own event and TRACE_REQUEST_LIMIT_MS limit, waits for them all, and posts
// WM_PATH_TRACED with the answers to the window. One trace runs at a time (30 requests in
// flight at most); the thread exists only while it runs, so an idle watch costs nothing.
#pragma once

#include "probe/path_trace.h"

#include <windows.h>

#include <memory>
#include <vector>

constexpr UINT WM_PATH_TRACED = WM_APP + 35; // lParam: the PathTraceAnswers, for TakePathTrace

struct PathTraceAnswers {
    uint32_t traceId = 0;
    std::vector<HopAnswer> answers; // answers[i]: the time-to-live i + 1
};

// Starts a trace tagged traceId; false when one still runs or none can start.
bool StartPathTrace(Ipv4Word address, uint32_t traceId, HWND window);
// WM_PATH_TRACED: takes the answers the message carries (the next trace may start already).
std::unique_ptr<PathTraceAnswers> TakePathTrace(LPARAM lParam);
