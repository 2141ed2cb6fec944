// The echo probe's socket side: one raw ICMP socket at a time, readiness notices posted to the
// watch window as WM_SOCKET_EVENT, accepted replies sent to it as WM_ECHO_REPLY.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr UINT WM_ECHO_REPLY = 1001;   // wParam: the reply's sequence; lParam: round trip, ms
constexpr UINT WM_SOCKET_EVENT = 1002; // the probe socket has data
constexpr UINT PROBE_EXIT_CODE = 65535;

extern SOCKET g_probeSocket; // the latest probe's socket; 0 before the first probe
extern HWND g_notifyWnd;     // the window the probe notifies

// Closes the previous socket, makes a new one, resolves the host and sends one echo request.
// A null window keeps the one given before. False when nothing was sent.
bool SendEchoRequest(const char* host, HWND window);

// Reads one datagram from the probe socket and checks it.
void ReadEchoReply();

// Sends WM_ECHO_REPLY for a datagram that is an echo reply to this process.
void CheckEchoReply(const uint8_t* datagram, std::size_t length, const sockaddr_in* sender);
