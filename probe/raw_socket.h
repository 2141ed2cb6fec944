// The echo probe's raw-socket way: one raw ICMP socket at a time, its readiness notices posted
// to the window as WM_SOCKET_EVENT, and the echo replies to this process read from it.
#pragma once

#include "probe/echo_packet.h"
#include "probe/probe_address.h"
#include "probe/probe_way.h"

#include <winsock2.h>
#include <windows.h>

#include <optional>

constexpr UINT WM_SOCKET_EVENT = 1002; // wParam: the socket that has data

extern SOCKET g_probeSocket; // the raw socket; 0 before the first, invalid when there is none

// Closes the previous raw socket and makes a new one (Winsock must be started), selected for
// WM_SOCKET_EVENT on the window and never blocking. False when it cannot be made (a user who
// may not open raw sockets is refused); g_probeSocket is then the invalid value.
bool OpenRawProbeSocket(HWND window);
// Closes the raw socket, if any; g_probeSocket becomes the invalid value.
void CloseRawProbeSocket();

// Sends one echo request over the raw socket; its send tick, which the reply echoes, is its
// tag. A failure other than those that may pass is Failed.
SendOutcome SendRawEchoRequest(Ipv4Word address, uint32_t& tag);

// An echo reply to this process and the address it came from.
struct RawEchoReply {
    Ipv4Word from;
    EchoReply reply;
};

// Reads one datagram from the raw socket that a WM_SOCKET_EVENT names: an echo reply to this
// process, or nothing (a notice for another socket, one closed since or none made, or a
// datagram that is no such reply). A read failure other than those that may be ignored sets
// `failed`: the socket is then of no more use.
std::optional<RawEchoReply> ReadRawEchoReply(SOCKET notified, bool& failed);
