// The addresses the probe sends to, apart from any socket: an IPv4 or IPv6 address as the wire
// carries it, and the readers of an address typed as numbers, which is never looked up.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

// An IPv4 address, in network byte order as the socket layer holds it: what the ICMP ways
// take.
using Ipv4Word = uint32_t;

// An IPv4 or an IPv6 address, its bytes in the order they go on the wire.
struct ProbeAddress {
    bool isIpv6 = false;
    std::array<uint8_t, 16> bytes{}; // an IPv4 address in the first four
    uint32_t scopeId = 0;            // the interface of a link-local IPv6 address

    static ProbeAddress FromIpv4(Ipv4Word address);
    static ProbeAddress FromIpv6(const uint8_t (&address)[16], uint32_t scopeId);
    // The IPv4 address; 0 for an IPv6 one.
    Ipv4Word ToIpv4() const;
};
bool operator==(const ProbeAddress& a, const ProbeAddress& b);
inline bool operator!=(const ProbeAddress& a, const ProbeAddress& b) {
    return !(a == b);
}

// A host text that is a dotted IPv4 address (four decimal numbers from 0 to 255, without
// leading zeros, which a resolver may read as octal) gives its address, as the system reads it;
// anything else is a name to look up.
std::optional<Ipv4Word> ParseDottedIpv4(const std::string& text);

// An IPv6 address in a text form the system reads (eight groups of up to four hex digits, one
// "::" for a run of zero groups, the last 32 bits optionally as a dotted IPv4 address), with an
// optional zone after "%" given as the interface's number ("fe80::1%12"). Anything else gives
// nothing.
std::optional<ProbeAddress> ParseIpv6(const std::string& text);

// A dotted IPv4 or an IPv6 address typed as numbers.
std::optional<ProbeAddress> ParseNumericAddress(const std::string& text);

// The whole text as a decimal number that fits `value`: digits only, no sign and no blank.
template <class Number> bool ReadDecimal(const std::string& text, Number& value) {
    const char* const end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    return read.ec == std::errc() && read.ptr == end;
}
