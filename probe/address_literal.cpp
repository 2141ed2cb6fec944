// Address literals read by the system; see address_literal.h.
#include "probe/address_literal.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h> // InetPtonA, which it also names inet_pton
#else
#include <arpa/inet.h>
#endif

bool ReadAddressLiteral(bool ipv6, const std::string& text, uint8_t* bytes) {
    // The reader stops at a NUL, after which the text would go unread.
    return text.find('\0') == std::string::npos &&
           ::inet_pton(ipv6 ? AF_INET6 : AF_INET, text.c_str(), bytes) == 1;
}
