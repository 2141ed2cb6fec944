// Address literals read by the system; see address_literal.h.
#include "probe/address_literal.h"

#include <algorithm>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h> // InetPtonA, which it also names inet_pton
#else
#include <arpa/inet.h>
#endif

bool ReadAddressLiteral(bool ipv6, const std::string& text, uint8_t* bytes) {
    // Printable ASCII only, as a literal is: the reader stops at a NUL (the rest would go
    // unread), and what it makes of other scripts' digits in the UTF-8 code page is its own.
    if (std::any_of(text.begin(), text.end(), [](char c) { return c <= ' ' || c > '~'; }))
        return false;
    // Windows' IPv6 reader takes a dotted tail with leading zeros ("::1.02.3.4", read as decimal
    // where a resolver may read octal): the tail must pass the IPv4 reader too, as in the C
    // library's.
    const std::size_t tail = text.rfind(':') + 1; // 0 when there is no colon
    uint8_t ipv4[4];
    if (ipv6 && text.find('.', tail) != std::string::npos &&
        !ReadAddressLiteral(false, text.substr(tail), ipv4))
        return false;
    if (::inet_pton(ipv6 ? AF_INET6 : AF_INET, text.c_str(), bytes) != 1)
        return false;
    // A dotted IPv4 address only as the system writes it back: no leading zero, which a
    // resolver may read as octal, whatever this Windows' reader makes of one.
    char written[INET_ADDRSTRLEN] = {};
    return ipv6 || (::inet_ntop(AF_INET, bytes, written, sizeof(written)) && text == written);
}
