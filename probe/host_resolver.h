// Host names looked up off the window's thread: each lookup runs getaddrinfo on a thread of its
// own, keeps its answer under its id and posts WM_HOST_RESOLVED with that id to the window,
// which takes the answer on its own thread. The window's thread never waits on a name server.
#pragma once

#include "probe/probe_session.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

constexpr UINT WM_HOST_RESOLVED = WM_APP + 1; // wParam: the lookup id

// Starts looking up the addresses of the name (Winsock must be started): IPv4 alone, or IPv4
// and IPv6 in the system's order of preference.
void StartHostLookup(uint32_t lookupId, const std::string& name, LookupFamily family, HWND window);

// The answer of a finished lookup, once; answers of earlier ids are dropped with it, since the
// session has abandoned them.
std::optional<LookupAnswer> TakeHostLookupAnswer(uint32_t lookupId);
