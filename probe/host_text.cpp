// The host field's grammar.
#include "probe/host_text.h"

#include "probe/probe_address.h"

#include <algorithm>

namespace {

// The port after the colon: decimal digits only, from 1 to 65535.
HostText WithPort(std::string host, const std::string& portText) {
    if (host.empty())
        return {HostText::NoHost, std::move(host), 0};
    uint16_t port = 0;
    if (!ReadDecimal(portText, port) || port == 0)
        return {HostText::BadPort, std::move(host), 0};
    return {HostText::Port, std::move(host), port};
}

// A host without a port: an IPv6 address cannot be pinged; anything else is a name to look up
// (which, for text no lookup knows, ends as unknown).
HostText WithoutPort(const std::string& host, const std::string& text) {
    if (ParseIpv6(host))
        return {HostText::Ipv6NoPort, host, 0};
    return {HostText::Echo, text, 0};
}

} // namespace

std::string TrimHostText(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

HostText ParseHostText(const std::string& text) {
    // Nothing to look up: a lookup of the empty name would find the local machine.
    if (text.empty())
        return {HostText::NoHost, text, 0};
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string::npos && close + 1 < text.size() && text[close + 1] == ':')
            return WithPort(text.substr(1, close - 1), text.substr(close + 2));
        if (close == text.size() - 1)
            return WithoutPort(text.substr(1, close - 1), text);
        // Anything after the brackets but a port: a name like any other, which no lookup will
        // find.
        return {HostText::Echo, text, 0};
    }
    if (std::count(text.begin(), text.end(), ':') != 1)
        return WithoutPort(text, text);
    const std::size_t colon = text.find(':');
    return WithPort(text.substr(0, colon), text.substr(colon + 1));
}
