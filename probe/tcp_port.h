// The probe's port way: one non-blocking TCP connection attempt per check tick, each with its
// own number, its completion posted to the window as WM_PORT_EVENT. Attempts live until they
// complete or the session abandons them (at the silence limit), so a handshake slower than the
// check period still counts. A connection that is made is closed at once without a byte sent;
// a refused or unreachable one is closed when its notice comes, and said so. No raw socket and no
// echo service are involved, so any user may probe this way.
#pragma once

#include "probe/probe_address.h"
#include "probe/probe_way.h"

#include <winsock2.h>
#include <windows.h>

#include <optional>

constexpr UINT WM_PORT_EVENT = WM_APP + 3; // wParam: the socket; lParam: the event and error

// At most this many attempts are open at once; a new one beyond closes the oldest.
constexpr std::size_t MAX_TCP_PORT_ATTEMPTS = 16;

// Closes every attempt still open.
void CloseTcpPortAttempts();
// Closes the attempt with this number, if it is still open.
void CloseTcpPortAttempt(uint32_t tag);

// Starts connecting to the address and port (Winsock must be started); `tag` is set to the
// attempt's number. NotSent when no connection can be begun (no IPv6 here, a network that is
// down).
SendOutcome StartTcpPortAttempt(const ProbeAddress& address, uint16_t port, HWND window,
                                uint32_t& tag);

// How one of the open attempts ended: its connection made, or refused or unreachable.
struct TcpPortAnswer {
    uint32_t tag;
    ProbeAddress to;
    bool made;
    uint32_t roundTripMs; // when made
};

// WM_PORT_EVENT: how the attempt ended (it is closed now); nothing for a notice of an attempt
// closed since, or another event.
std::optional<TcpPortAnswer> ReadTcpPortEvent(WPARAM socket, LPARAM event);
