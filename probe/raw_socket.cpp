// The echo probe's raw socket over Winsock; the packet bytes and the reply check are in
// echo_packet, the decisions in probe_session.
#include "probe/raw_socket.h"

#include <cstring>

SOCKET g_probeSocket = 0;

namespace {

uint16_t ProcessIdentifier() {
    return static_cast<uint16_t>(::GetCurrentProcessId() & 0xFFFF);
}

bool HasRawSocket() {
    return g_probeSocket != 0 && g_probeSocket != INVALID_SOCKET;
}

bool SetTimeout(int option, DWORD timeoutMs) {
    return ::setsockopt(g_probeSocket, SOL_SOCKET, option,
                        reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs)) == 0;
}

} // namespace

bool OpenRawProbeSocket(HWND window) {
    CloseRawProbeSocket();
    g_probeSocket = ::WSASocketA(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, 0);
    if (g_probeSocket == INVALID_SOCKET)
        return false;
    const DWORD timeoutMs = 1000;
    if (!SetTimeout(SO_RCVTIMEO, timeoutMs) || !SetTimeout(SO_SNDTIMEO, timeoutMs)) {
        // Without its time-outs the socket must never wait: it is read and written only when
        // it is ready, and "would block" counts as a time-out.
        u_long nonBlocking = 1;
        ::ioctlsocket(g_probeSocket, FIONBIO, &nonBlocking);
    }
    ::WSAAsyncSelect(g_probeSocket, window, WM_SOCKET_EVENT, FD_READ | FD_OOB);
    return true;
}

void CloseRawProbeSocket() {
    if (HasRawSocket())
        ::closesocket(g_probeSocket);
    if (g_probeSocket != 0)
        g_probeSocket = INVALID_SOCKET;
}

SendOutcome SendRawEchoRequest(Ipv4Word address, uint32_t& tag) {
    sockaddr_in to;
    std::memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    const uint32_t sendTick = ::GetTickCount();
    const EchoRequest request = BuildEchoRequest(ProcessIdentifier(), sendTick);
    if (::sendto(g_probeSocket, reinterpret_cast<const char*>(request.data()),
                 static_cast<int>(request.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof(to)) != SOCKET_ERROR) {
        tag = sendTick;
        return SendOutcome::Sent;
    }
    // A network that is down or unreachable sends nothing, like a time-out; a watcher waiting
    // for the network to come back goes on.
    return IsSendFailureRecoverable(::WSAGetLastError()) ? SendOutcome::NotSent
                                                         : SendOutcome::Failed;
}

std::optional<RawEchoReply> ReadRawEchoReply(SOCKET notified, bool& failed) {
    failed = false;
    if (!HasRawSocket() || notified != g_probeSocket)
        return std::nullopt;
    uint8_t buffer[PROBE_BUFFER_SIZE];
    sockaddr_in sender;
    std::memset(&sender, 0, sizeof(sender));
    int senderLength = sizeof(sender);
    const int received = ::recvfrom(g_probeSocket, reinterpret_cast<char*>(buffer), sizeof(buffer),
                                    0, reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (received == SOCKET_ERROR) {
        // A time-out, or nothing left to read.
        failed = !IsReadFailureIgnorable(::WSAGetLastError());
        return std::nullopt;
    }
    const std::optional<EchoReply> reply = ParseEchoReply(
        buffer, static_cast<std::size_t>(received), ProcessIdentifier(), ::GetTickCount());
    if (!reply)
        return std::nullopt;
    return RawEchoReply{sender.sin_addr.s_addr, *reply};
}
