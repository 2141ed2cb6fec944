// The probe as the watch window uses it: one process-wide probe session over the raw socket,
// the echo service, the port's connections and the background resolver. Its answers reach the
// window as messages: WM_ECHO_REPLY for an accepted reply or connection (sent),
// WM_SOCKET_EVENT, WM_PORT_EVENT and WM_HOST_RESOLVED (posted by the socket layer and the
// resolver), WM_WEB_EVENT (posted by the web requests), and WM_PROBE_FAILED when the echo
// service refuses a request that was already on its way, or a socket fails in a way no rule
// names (sent).
#pragma once

#include "probe/host_resolver.h"
#include "probe/probe_failure.h"
#include "probe/raw_socket.h"
#include "probe/tcp_port.h"
#include "probe/web_request.h"

#include <windows.h>

#include <optional>
#include <string>

constexpr UINT WM_ECHO_REPLY = 1001;         // wParam: the reply's sequence; lParam: round trip, ms
constexpr UINT WM_PROBE_FAILED = WM_APP + 2; // wParam: the ProbeFailure

// Starts probing the host for the window: chooses the way (TARNWELL_PROBE may force one),
// looks a name up in the background and sends the first request when it can.
std::optional<ProbeFailure> StartProbe(const std::string& host, HWND window);

// The check tick: one request, a lookup of the name when one is due, and the requests older
// than the silence limit abandoned.
std::optional<ProbeFailure> ProbeTick(uint32_t silenceLimitMs);

// WM_HOST_RESOLVED: the answer of the lookup with this id.
LookupNews ProbeOnHostResolved(WPARAM lookupId);

// WM_SOCKET_EVENT: reads the raw socket and sends WM_ECHO_REPLY for a reply that counts.
void ReadEchoReply(SOCKET notified);

// WM_PORT_EVENT: sends WM_ECHO_REPLY for a connection to the port that counts; a refused or
// unreachable one sends the next request to the next address.
void ReadPortEvent(WPARAM socket, LPARAM event);

// Reports the echo service's finished requests to the probe's window. The framework's loop
// runs it when a request finishes; the check tick runs it too, for requests that finished
// while another loop (a file dialog's, a menu's) ran.
void CollectProbeEchoServiceResults();

// WM_WEB_EVENT: the news of the next finished web request, nothing when none is left; an
// answer that counts is sent as WM_ECHO_REPLY first.
std::optional<WebNews> TakeProbeWebNews();

// What a path trace goes to: the address the latest request of the running start went to,
// with the port of a port watch or the web watch's; nothing before the first request (a web
// address whose host is a name has none: WinHTTP looks it up itself).
struct TraceTarget {
    ProbeAddress address;
    uint16_t port = 0;
    bool web = false;
};
std::optional<TraceTarget> ProbeTraceTarget();

// At exit: closes what the probe holds open and waits for WinHTTP's last callback.
void CloseProbe();
