// The probe's addresses and their text forms.
#include "probe/probe_address.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::size_t IPV6_GROUPS = 8;

// The hex group at `at` (one to four digits); advances past it.
std::optional<uint16_t> ReadHexGroup(const std::string& text, std::size_t& at) {
    unsigned value = 0;
    std::size_t digits = 0;
    while (at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at])) && digits < 5) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
        value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
        ++at;
        ++digits;
    }
    if (digits == 0 || digits > 4)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

// The zone after "%": a decimal interface number that fits 32 bits.
std::optional<uint32_t> ReadZone(const std::string& zone) {
    if (zone.empty() || zone.size() > 10)
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : zone) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

} // namespace

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
    uint8_t bytes[4] = {};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
               digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        // A leading zero is left to the resolver, which may read the part as octal.
        const bool leadingZero = digits > 1 && text[at - digits] == '0';
        if (digits == 0 || digits > 3 || value > 255 || leadingZero)
            return std::nullopt;
        bytes[part] = static_cast<uint8_t>(value);
    }
    if (at != text.size())
        return std::nullopt;
    // The bytes in the order they go on the wire, whatever the order of this machine.
    Ipv4Word address = 0;
    std::memcpy(&address, bytes, sizeof(address));
    return address;
}

std::optional<ProbeAddress> ParseIpv6(const std::string& whole) {
    const std::size_t percent = whole.find('%');
    uint32_t zone = 0;
    if (percent != std::string::npos) {
        const std::optional<uint32_t> number = ReadZone(whole.substr(percent + 1));
        if (!number)
            return std::nullopt;
        zone = *number;
    }
    const std::string text = whole.substr(0, percent);
    uint16_t groups[IPV6_GROUPS] = {};
    std::size_t count = 0;
    std::optional<std::size_t> gap; // where "::" stands, in groups
    std::size_t at = 0;
    if (text.compare(0, 2, "::") == 0) {
        gap = 0;
        at = 2;
    }
    while (at < text.size()) {
        if (count == IPV6_GROUPS)
            return std::nullopt;
        // The last 32 bits may be written as a dotted IPv4 address.
        const std::size_t groupEnd = text.find(':', at);
        if (groupEnd == std::string::npos && text.find('.', at) != std::string::npos) {
            const std::optional<Ipv4Word> v4 = ParseDottedIpv4(text.substr(at));
            if (!v4 || count > IPV6_GROUPS - 2)
                return std::nullopt;
            uint8_t b[4];
            std::memcpy(b, &*v4, sizeof(b));
            groups[count++] = static_cast<uint16_t>(b[0] << 8 | b[1]);
            groups[count++] = static_cast<uint16_t>(b[2] << 8 | b[3]);
            at = text.size();
            break;
        }
        const std::optional<uint16_t> group = ReadHexGroup(text, at);
        if (!group)
            return std::nullopt;
        groups[count++] = *group;
        if (at == text.size())
            break;
        if (text[at] != ':')
            return std::nullopt;
        ++at;
        if (at < text.size() && text[at] == ':') {
            if (gap)
                return std::nullopt;
            gap = count;
            ++at;
        } else if (at == text.size()) {
            return std::nullopt; // a single colon at the end
        }
    }
    if (gap ? count >= IPV6_GROUPS : count != IPV6_GROUPS)
        return std::nullopt;
    uint8_t bytes[16] = {};
    const std::size_t zeros = IPV6_GROUPS - count;
    for (std::size_t i = 0, out = 0; i < count; ++i, ++out) {
        if (gap && i == *gap)
            out += zeros;
        bytes[2 * out] = static_cast<uint8_t>(groups[i] >> 8);
        bytes[2 * out + 1] = static_cast<uint8_t>(groups[i] & 0xFF);
    }
    return ProbeAddress::FromIpv6(bytes, zone);
}

std::optional<ProbeAddress> ParseNumericAddress(const std::string& text) {
    if (const std::optional<Ipv4Word> v4 = ParseDottedIpv4(text))
        return ProbeAddress::FromIpv4(*v4);
    return ParseIpv6(text);
}
