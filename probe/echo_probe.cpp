// The echo probe over Winsock; the packet bytes and the reply check are in echo_packet.
#include "probe/echo_probe.h"

#include "probe/echo_packet.h"

#include <cstring>

SOCKET g_probeSocket = 0;
HWND g_notifyWnd = nullptr;

namespace {

[[noreturn]] void EndProcessOnSocketFailure() {
    ::ExitProcess(PROBE_EXIT_CODE);
}

uint16_t ProcessIdentifier() {
    return static_cast<uint16_t>(::GetCurrentProcessId() & 0xFFFF);
}

} // namespace

bool SendEchoRequest(const char* host, HWND window) {
    if (window != nullptr)
        g_notifyWnd = window;

    if (g_probeSocket == 0) {
        WSADATA data;
        if (::WSAStartup(0x0102, &data) != 0)
            EndProcessOnSocketFailure();
    } else {
        ::closesocket(g_probeSocket);
    }

    g_probeSocket = ::WSASocketA(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, 0);
    if (g_probeSocket == INVALID_SOCKET)
        return false;

    const DWORD timeoutMs = 1000;
    if (::setsockopt(g_probeSocket, SOL_SOCKET, SO_RCVTIMEO,
                     reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs)) != 0)
        return false;
    if (::setsockopt(g_probeSocket, SOL_SOCKET, SO_SNDTIMEO,
                     reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs)) != 0)
        return false;

    ::WSAAsyncSelect(g_probeSocket, g_notifyWnd, WM_SOCKET_EVENT, FD_READ | FD_OOB);

    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    if (const hostent* entry = ::gethostbyname(host)) {
        // Never more than the address field holds, whatever length the entry claims.
        const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(entry->h_length),
                                                         sizeof(address.sin_addr));
        if (entry->h_addr_list != nullptr && entry->h_addr_list[0] != nullptr)
            std::memcpy(&address.sin_addr, entry->h_addr_list[0], length);
        address.sin_family = static_cast<ADDRESS_FAMILY>(entry->h_addrtype);
    } else {
        const unsigned long dotted = ::inet_addr(host);
        if (dotted == INADDR_NONE)
            return false;
        address.sin_addr.s_addr = dotted;
        address.sin_family = AF_INET;
    }

    const EchoRequest request = BuildEchoRequest(ProcessIdentifier(), ::GetTickCount());
    if (::sendto(g_probeSocket, reinterpret_cast<const char*>(request.data()),
                 static_cast<int>(request.size()), 0, reinterpret_cast<const sockaddr*>(&address),
                 sizeof(address)) != SOCKET_ERROR)
        return true;
    // A network that is down or unreachable sends nothing, like a time-out; a watcher waiting
    // for the network to come back goes on.
    if (IsSendFailureRecoverable(::WSAGetLastError()))
        return false;
    EndProcessOnSocketFailure();
}

void ReadEchoReply() {
    uint8_t buffer[PROBE_BUFFER_SIZE];
    sockaddr_in sender;
    std::memset(&sender, 0, sizeof(sender));
    int senderLength = sizeof(sender);
    const int received = ::recvfrom(g_probeSocket, reinterpret_cast<char*>(buffer), sizeof(buffer),
                                    0, reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (received == SOCKET_ERROR) {
        // A time-out, or a notice left over for a socket a later probe replaced.
        if (IsReadFailureIgnorable(::WSAGetLastError()))
            return;
        EndProcessOnSocketFailure();
    }
    CheckEchoReply(buffer, static_cast<std::size_t>(received), &sender);
}

void CheckEchoReply(const uint8_t* datagram, std::size_t length, const sockaddr_in*) {
    const std::optional<EchoReply> reply =
        ParseEchoReply(datagram, length, ProcessIdentifier(), ::GetTickCount());
    if (!reply)
        return;
    ::SendMessageA(g_notifyWnd, WM_ECHO_REPLY, reply->sequence,
                   static_cast<LPARAM>(reply->roundTripMs));
}
