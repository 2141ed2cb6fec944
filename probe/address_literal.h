// The system's own reader of an address typed as numbers: InetPtonA in the Windows build, the
// C library's inet_pton in the native one. Both read a dotted IPv4 address as four decimal
// numbers from 0 to 255 without leading zeros, and an IPv6 address in any of its text forms
// without a zone; a dotted tail with leading zeros, which InetPtonA alone takes, is refused
// here, so that both builds answer alike.
#pragma once

#include <cstdint>
#include <string>

// The address's bytes in wire order into `bytes` (4 or 16 of them); false for anything else.
bool ReadAddressLiteral(bool ipv6, const std::string& text, uint8_t* bytes);
