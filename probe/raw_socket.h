// The echo probe's raw-socket way: one raw ICMP socket at a time, readiness notices posted to
// the watch window as WM_SOCKET_EVENT, accepted replies sent to it as WM_ECHO_REPLY.
#pragma once

#include "probe/probe_session.h"

#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr UINT WM_ECHO_REPLY = 1001;   // wParam: the reply's sequence; lParam: round trip, ms
constexpr UINT WM_SOCKET_EVENT = 1002; // wParam: the socket that has data
constexpr UINT PROBE_EXIT_CODE = 65535;

extern SOCKET g_probeSocket; // the raw socket; 0 before the first, invalid when there is none
extern HWND g_notifyWnd;     // the window the probe notifies

// Starts Winsock on the first call; ends the process when it cannot start.
void StartSocketLayer();

// Closes the previous raw socket and makes a new one, selected for WM_SOCKET_EVENT on
// g_notifyWnd and never blocking. False when it cannot be made (a user who may not open raw
// sockets is refused); g_probeSocket is then the invalid value.
bool OpenRawProbeSocket();
// Closes the raw socket, if any; g_probeSocket becomes the invalid value.
void CloseRawProbeSocket();

// Sends one echo request over the raw socket. A failure other than those that may pass ends
// the process.
SendOutcome SendRawEchoRequest(ProbeAddress address);

// Reads one datagram from the raw socket that a WM_SOCKET_EVENT names and checks it. A notice
// for another socket (one closed since, or none made) is ignored.
void ReadEchoReply(SOCKET notified);

// Sends WM_ECHO_REPLY for a datagram that is an echo reply to this process from the address
// the requests go to.
void CheckEchoReply(const uint8_t* datagram, std::size_t length, const sockaddr_in* sender);
