// Fuzz target: any text in the host field, as typed and as trimmed. Each kind holds what
// host_text.h promises of it; a host with a port, written back in its canonical form, reads as
// itself; a host that is an address typed as numbers reads whole.
#include "probe/host_text.h"
#include "probe/probe_address.h"
#include "tests/fuzz/fuzz_input.h"

#include <string>

namespace {

void Check(const std::string& text) {
    const HostText parsed = ParseHostText(text);
    const std::string& host = parsed.host;
    bool holds = text.find(host) != std::string::npos &&
                 (parsed.port == 0) == (parsed.kind != HostText::Port);
    switch (parsed.kind) {
    case HostText::Echo: // the whole text, never an IPv6 address
        holds &= !text.empty() && host == text && !ParseIpv6(host);
        break;
    case HostText::Port: { // a host before the port, bracketed again when it has a colon
        const bool bracket = host.find(':') != std::string::npos || host[0] == '[';
        const HostText again =
            ParseHostText((bracket ? "[" + host + "]:" : host + ":") + std::to_string(parsed.port));
        holds &= !host.empty() && again.kind == HostText::Port && again.host == host &&
                 again.port == parsed.port;
        break;
    }
    case HostText::BadPort:
        holds &= !host.empty();
        break;
    case HostText::NoHost:
        holds &= host.empty();
        break;
    case HostText::Ipv6NoPort:
        holds &= ParseIpv6(host).has_value();
        break;
    }
    // A zone is only where a '%' was typed.
    if (const auto address = ParseNumericAddress(host); address && address->scopeId != 0)
        holds &= host.find('%') != std::string::npos;
    Require(holds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string trimmed = TrimHostText(text);
    Require(text.find(trimmed) != std::string::npos && TrimHostText(trimmed) == trimmed);
    Check(text);
    Check(trimmed);
    return 0;
}
