// The probe's addresses and their text forms.
#include "probe/probe_address.h"

#include "probe/address_literal.h"

#include <cstring>

ProbeAddress ProbeAddress::FromIpv4(Ipv4Word address) {
    ProbeAddress result;
    std::memcpy(result.bytes.data(), &address, sizeof(address));
    return result;
}

ProbeAddress ProbeAddress::FromIpv6(const uint8_t (&address)[16], uint32_t scopeId) {
    ProbeAddress result;
    result.isIpv6 = true;
    result.scopeId = scopeId;
    std::memcpy(result.bytes.data(), address, sizeof(address));
    return result;
}

Ipv4Word ProbeAddress::ToIpv4() const {
    Ipv4Word address = 0;
    if (!isIpv6)
        std::memcpy(&address, bytes.data(), sizeof(address));
    return address;
}

bool operator==(const ProbeAddress& a, const ProbeAddress& b) {
    return a.isIpv6 == b.isIpv6 && a.bytes == b.bytes && a.scopeId == b.scopeId;
}

std::optional<Ipv4Word> ParseDottedIpv4(const std::string& text) {
    // The bytes in the order they go on the wire, whatever the order of this machine.
    Ipv4Word address = 0;
    if (!ReadAddressLiteral(false, text, reinterpret_cast<uint8_t*>(&address)))
        return std::nullopt;
    return address;
}

std::optional<ProbeAddress> ParseIpv6(const std::string& text) {
    // The zone, which the system's reader does not take, is split off first.
    const std::size_t percent = text.find('%');
    uint32_t zone = 0;
    if (percent != std::string::npos && !ReadDecimal(text.substr(percent + 1), zone))
        return std::nullopt;
    uint8_t bytes[16] = {};
    if (!ReadAddressLiteral(true, text.substr(0, percent), bytes))
        return std::nullopt;
    return ProbeAddress::FromIpv6(bytes, zone);
}

std::optional<ProbeAddress> ParseNumericAddress(const std::string& text) {
    if (const std::optional<Ipv4Word> v4 = ParseDottedIpv4(text))
        return ProbeAddress::FromIpv4(*v4);
    return ParseIpv6(text);
}
