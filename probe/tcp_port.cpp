// TCP connections to the watched port over Winsock, each selected for FD_CONNECT on the window.
#include "probe/tcp_port.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Attempt {
    SOCKET socket = INVALID_SOCKET;
    uint32_t tag = 0;
    ProbeAddress to;
    uint32_t startTick = 0;
};

// The open attempts, the oldest first. Never destroyed: the program may end with some open.
std::vector<Attempt>& OpenAttempts() {
    static auto* attempts = new std::vector<Attempt>;
    return *attempts;
}
uint32_t g_nLastTag = 0;

// Without a linger time set, the close is graceful: a made connection ends with a FIN.
void Close(std::vector<Attempt>::iterator attempt) {
    ::closesocket(attempt->socket);
    OpenAttempts().erase(attempt);
}

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

void CloseTcpPortAttempts() {
    std::vector<Attempt>& open = OpenAttempts();
    while (!open.empty())
        Close(open.begin());
}

void CloseTcpPortAttempt(uint32_t tag) {
    std::vector<Attempt>& open = OpenAttempts();
    const auto found = std::find_if(open.begin(), open.end(),
                                    [tag](const Attempt& attempt) { return attempt.tag == tag; });
    if (found != open.end())
        Close(found);
}

SendOutcome StartTcpPortAttempt(const ProbeAddress& address, uint16_t port, HWND window,
                                uint32_t& tag) {
    std::vector<Attempt>& open = OpenAttempts();
    if (open.size() >= MAX_TCP_PORT_ATTEMPTS)
        Close(open.begin());
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
    open.push_back({attempt, ++g_nLastTag, address, startTick});
    tag = g_nLastTag;
    return SendOutcome::Sent;
}

std::optional<TcpPortAnswer> ReadTcpPortEvent(WPARAM socket, LPARAM event) {
    std::vector<Attempt>& open = OpenAttempts();
    const auto attempt = std::find_if(open.begin(), open.end(), [socket](const Attempt& candidate) {
        return candidate.socket == static_cast<SOCKET>(socket);
    });
    if (attempt == open.end() || WSAGETSELECTEVENT(event) != FD_CONNECT)
        return std::nullopt;
    // A notice posted for a closed attempt whose handle a later attempt was given again must
    // not count for it, nor close it: only the socket's own state is believed.
    if (WSAGETSELECTERROR(event) != 0) {
        int error = 0;
        int errorLength = sizeof(error);
        if (::getsockopt(attempt->socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                         &errorLength) != 0 ||
            error == 0)
            return std::nullopt;
        const TcpPortAnswer failed = {attempt->tag, attempt->to, false, 0};
        Close(attempt); // refused or unreachable: this attempt is over
        return failed;
    }
    sockaddr_storage peer;
    int peerLength = sizeof(peer);
    if (::getpeername(attempt->socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) ==
        SOCKET_ERROR)
        return std::nullopt;
    const TcpPortAnswer answer = {attempt->tag, attempt->to, true,
                                  ::GetTickCount() - attempt->startTick};
    Close(attempt);
    return answer;
}
