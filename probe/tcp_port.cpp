// TCP connections to the watched port over Winsock, selected for FD_CONNECT on the window.
#include "probe/tcp_port.h"

#include <ws2tcpip.h>

#include <cstring>

namespace {

struct Attempt {
    SOCKET socket = INVALID_SOCKET;
    uint32_t tag = 0;
    ProbeAddress to;
    uint32_t startTick = 0;
};

Attempt g_attempt; // the pending attempt; its socket is invalid when there is none
uint32_t g_nLastTag = 0;

// The socket address of the address and port; its length, or 0.
int ToSocketAddress(const ProbeAddress& address, uint16_t port, sockaddr_storage& to) {
    std::memset(&to, 0, sizeof(to));
    if (address.isIpv6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(to);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = ::htons(port);
        std::memcpy(&v6.sin6_addr, address.bytes.data(), sizeof(v6.sin6_addr));
        v6.sin6_scope_id = address.scopeId;
        return sizeof(v6);
    }
    auto& v4 = reinterpret_cast<sockaddr_in&>(to);
    v4.sin_family = AF_INET;
    v4.sin_port = ::htons(port);
    v4.sin_addr.s_addr = address.ToIpv4();
    return sizeof(v4);
}

} // namespace

void CloseTcpPortAttempt() {
    if (g_attempt.socket == INVALID_SOCKET)
        return;
    // Without a linger time set, the close is graceful: a made connection ends with a FIN.
    ::closesocket(g_attempt.socket);
    g_attempt.socket = INVALID_SOCKET;
}

SendOutcome StartTcpPortAttempt(const ProbeAddress& address, uint16_t port, HWND window,
                                uint32_t& tag) {
    CloseTcpPortAttempt();
    sockaddr_storage to;
    const int length = ToSocketAddress(address, port, to);
    const SOCKET attempt = ::socket(to.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (attempt == INVALID_SOCKET)
        return SendOutcome::NotSent;
    // The selection makes the socket non-blocking: connect returns at once.
    const uint32_t startTick = ::GetTickCount();
    if (::WSAAsyncSelect(attempt, window, WM_PORT_EVENT, FD_CONNECT) == SOCKET_ERROR ||
        (::connect(attempt, reinterpret_cast<const sockaddr*>(&to), length) == SOCKET_ERROR &&
         ::WSAGetLastError() != WSAEWOULDBLOCK)) {
        ::closesocket(attempt);
        return SendOutcome::NotSent;
    }
    g_attempt = {attempt, ++g_nLastTag, address, startTick};
    tag = g_attempt.tag;
    return SendOutcome::Sent;
}

std::optional<TcpPortAnswer> ReadTcpPortEvent(WPARAM socket, LPARAM event) {
    if (g_attempt.socket == INVALID_SOCKET || static_cast<SOCKET>(socket) != g_attempt.socket ||
        WSAGETSELECTEVENT(event) != FD_CONNECT || WSAGETSELECTERROR(event) != 0)
        return std::nullopt;
    // A notice posted for a closed attempt whose handle the next attempt was given again must
    // not count for it: only a connection that is made counts.
    sockaddr_storage peer;
    int peerLength = sizeof(peer);
    if (::getpeername(g_attempt.socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) ==
        SOCKET_ERROR)
        return std::nullopt;
    const TcpPortAnswer answer = {g_attempt.tag, g_attempt.to,
                                  ::GetTickCount() - g_attempt.startTick};
    CloseTcpPortAttempt();
    return answer;
}
