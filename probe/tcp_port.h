// The probe's port way: one non-blocking TCP connection per check tick, its completion posted
// to the window as WM_PORT_EVENT. A connection that is made is closed at once without a byte
// sent; an attempt still pending at the next one is abandoned and closed. No raw socket and
// no echo service are involved, so any user may probe this way.
#pragma once

#include "probe/probe_session.h"

#include <winsock2.h>
#include <windows.h>

#include <optional>

constexpr UINT WM_PORT_EVENT = WM_APP + 3; // wParam: the socket; lParam: the event and error

// Sends nothing: closes the pending attempt, if any.
void CloseTcpPortAttempt();

// Closes the previous attempt and starts connecting to the address and port (Winsock must be
// started); `tag` is set to the attempt's number. NotSent when no connection can be begun
// (no IPv6 here, a network that is down).
SendOutcome StartTcpPortAttempt(const ProbeAddress& address, uint16_t port, HWND window,
                                uint32_t& tag);

// A connection made by the pending attempt.
struct TcpPortAnswer {
    uint32_t tag;
    ProbeAddress to;
    uint32_t roundTripMs;
};

// WM_PORT_EVENT: the pending attempt's connection, made and now closed; nothing for a refused
// connection (closed at the next attempt), a notice of an earlier attempt or another event.
std::optional<TcpPortAnswer> ReadTcpPortEvent(WPARAM socket, LPARAM event);
