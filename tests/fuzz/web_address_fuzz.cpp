// Fuzz target: a web address's text as the URL reader is given it, the parts the reader might
// find, a proxy setting, and the outcomes of a request. A watched address has a port, a path
// from "/", no user info and a host without blanks (or a bracketed IPv6 literal); listing its
// host as bypassed, or "*", keeps credentials home; the verdicts keep their rules.
#include "probe/probe_address.h"
#include "probe/web_address.h"
#include "tests/fuzz/fuzz_input.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint32_t flags = input.TakeU32(), number = input.TakeU32(), code = input.TakeU32();
    const std::string text = input.TakeText();
    std::string literal;
    const auto readerText = TextForUrlReader(text, literal);
    bool holds = (!IsWebAddressText(text) || text.find("://") <= 5) &&
                 (literal.empty() ? !readerText || *readerText == text
                                  : literal.front() == '[' && literal.back() == ']' &&
                                        ParseIpv6(literal.substr(1, literal.size() - 2)) &&
                                        text.find(literal) != std::string::npos);
    // The reader's path starts at the first slash.
    CrackedUrl parts{
        (flags & 1) != 0, (flags & 2) != 0, input.TakeText(), static_cast<uint16_t>(number),
        input.TakeText(), input.TakeText(), (flags & 4) != 0};
    if (!parts.path.empty())
        parts.path.insert(0, "/");
    if (const auto address = WebAddressFromParts(parts, literal)) {
        const std::string proxies = input.TakeText(), bypass = input.TakeText();
        const bool between = ProxyStandsBetween(*address, proxies, bypass);
        holds &= address->port == parts.port && !parts.hasUserInfo && address->path[0] == '/' &&
                 address->secure == parts.isHttps && parts.isHttp != parts.isHttps &&
                 (address->host == literal ||
                  address->host.find_first_of(" \t\r\n/:@?#[]%") == std::string::npos) &&
                 !address->host.empty() && address->port != 0 && (!between || !proxies.empty()) &&
                 !ProxyStandsBetween(*address, proxies, bypass + ";*") &&
                 !ProxyStandsBetween(*address, proxies, address->host) &&
                 ProxyStandsBetween(*address, "proxy:8080", "");
    }
    const bool answer = number >= 100 && number < 500 && number != PROXY_SIGN_IN_STATUS;
    const uint32_t scheme = ProxySignInScheme(code, static_cast<int>(flags >> 8) % 4, flags & 8);
    holds &= (VerdictForStatus(number) == WebVerdict::Answer) == answer &&
             VerdictForError(12007, code, flags & 16, flags & 32) == WebVerdict::UnknownName &&
             (code & scheme) == scheme && (scheme == 0 || (flags & 8) != 0) &&
             (!IsGoodCertificate(code, number) || (code & 0x20) == 0); // untrusted root
    Require(holds);
    return 0;
}
