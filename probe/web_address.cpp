// The web address's forms and the web way's rules.
#include "probe/web_address.h"

#include "probe/probe_address.h"

#include <cctype>
#include <vector>

namespace {

// A name no host has, which the URL reader takes as a host like any other.
constexpr const char* LITERAL_PLACEHOLDER = "ipv6-literal.invalid";

constexpr uint32_t FIRST_STATUS = 100;
constexpr uint32_t FIRST_SERVER_ERROR = 500;

// WinHTTP's error codes.
constexpr uint32_t ERROR_TIMEOUT = 12002;
constexpr uint32_t ERROR_NAME_NOT_RESOLVED = 12007;
constexpr uint32_t ERROR_OPERATION_CANCELLED = 12017;
constexpr uint32_t ERROR_CERT_DATE_INVALID = 12037;
constexpr uint32_t ERROR_CERT_CN_INVALID = 12038;
constexpr uint32_t ERROR_INVALID_CA = 12045;
constexpr uint32_t ERROR_SECURE_CHANNEL = 12157;
constexpr uint32_t ERROR_INVALID_CERT = 12169;
constexpr uint32_t ERROR_SECURE_FAILURE = 12175;
constexpr uint32_t ERROR_CERT_WRONG_USAGE = 12179;

// The certificate failure notice's flags that fault the certificate itself: invalid, revoked,
// from an untrusted authority, for another name, out of its time, for another use. Left out:
// a failed revocation check (never asked for) and a failed secure channel (no certificate).
constexpr uint32_t CERTIFICATE_FAILURES = 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40;

// The chain's trust bits and the policy's errors that only a revocation check sets.
constexpr uint32_t TRUST_IS_REVOKED = 0x4;
constexpr uint32_t TRUST_REVOCATION_STATUS_UNKNOWN = 0x40;
constexpr uint32_t TRUST_IS_OFFLINE_REVOCATION = 0x1000000;
constexpr uint32_t REVOCATION_BITS =
    TRUST_IS_REVOKED | TRUST_REVOCATION_STATUS_UNKNOWN | TRUST_IS_OFFLINE_REVOCATION;
constexpr uint32_t CRYPT_E_REVOKED = 0x80092010;
constexpr uint32_t CRYPT_E_NO_REVOCATION_CHECK = 0x80092012;
constexpr uint32_t CRYPT_E_REVOCATION_OFFLINE = 0x80092013;

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
    std::size_t at = 0;
    for (; prefix[at] != '\0'; ++at) {
        if (at >= text.size() || std::tolower(static_cast<unsigned char>(text[at])) != prefix[at])
            return false;
    }
    return true;
}

bool IsHostNameChar(char c) {
    // A byte of a UTF-8 letter too: an international name goes out in its ASCII form.
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || byte >= 0x80 || c == '-' || c == '.' || c == '_';
}

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The entries of a list that WinHTTP separates with semicolons or white space.
std::vector<std::string> ListEntries(const std::string& list) {
    std::vector<std::string> entries;
    std::string entry;
    for (const char c : list + ";") {
        if (c == ';' || std::isspace(static_cast<unsigned char>(c))) {
            if (!entry.empty())
                entries.push_back(entry);
            entry.clear();
        } else {
            entry += c;
        }
    }
    return entries;
}

// Whether the text matches the pattern, '*' standing for any text (the last '*' retried).
bool MatchesPattern(const std::string& text, const std::string& pattern) {
    std::size_t t = 0, p = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool IsWebAddressText(const std::string& text) {
    return StartsWithIgnoringCase(text, "http://") || StartsWithIgnoringCase(text, "https://");
}

std::optional<std::string> TextForUrlReader(const std::string& text, std::string& literal) {
    literal.clear();
    const std::size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string::npos)
        return text;
    const std::size_t hostStart = schemeEnd + 3;
    if (hostStart >= text.size() || text[hostStart] != '[')
        return text;
    const std::size_t close = text.find(']', hostStart);
    if (close == std::string::npos || !ParseIpv6(text.substr(hostStart + 1, close - hostStart - 1)))
        return std::nullopt;
    literal = text.substr(hostStart, close + 1 - hostStart);
    return text.substr(0, hostStart) + LITERAL_PLACEHOLDER + text.substr(close + 1);
}

std::optional<WebAddress> WebAddressFromParts(const CrackedUrl& parts, const std::string& literal) {
    if (parts.isHttp == parts.isHttps || parts.hasUserInfo || parts.port == 0)
        return std::nullopt;
    WebAddress address;
    address.secure = parts.isHttps;
    address.port = parts.port;
    if (!literal.empty() && parts.host == LITERAL_PLACEHOLDER) {
        address.host = literal;
    } else {
        if (parts.host.empty())
            return std::nullopt;
        for (const char c : parts.host) {
            if (!IsHostNameChar(c))
                return std::nullopt;
        }
        address.host = parts.host;
    }
    // The fragment names a place in the page, which the server never sees.
    const std::string query = parts.extra.substr(0, parts.extra.find('#'));
    address.path = (parts.path.empty() ? "/" : parts.path) + query;
    return address;
}

WebVerdict VerdictForStatus(uint32_t status) {
    if (status == PROXY_SIGN_IN_STATUS)
        return WebVerdict::ProxyRefuses;
    return status >= FIRST_STATUS && status < FIRST_SERVER_ERROR ? WebVerdict::Answer
                                                                 : WebVerdict::NoAnswer;
}

WebVerdict VerdictForError(uint32_t errorCode, uint32_t secureFailure, bool resolving,
                           bool signedIn) {
    if (errorCode == ERROR_NAME_NOT_RESOLVED)
        return WebVerdict::UnknownName;
    if (resolving)
        return WebVerdict::NoLookup;
    // The certificate failure notice's flags, or an error that names the certificate, make a
    // bad certificate; a handshake that fails without them needs a look at the certificate.
    if ((secureFailure & CERTIFICATE_FAILURES) != 0)
        return WebVerdict::BadCertificate;
    switch (errorCode) {
    case ERROR_TIMEOUT:
    case ERROR_OPERATION_CANCELLED:
        return WebVerdict::TimedOut;
    case ERROR_CERT_DATE_INVALID:
    case ERROR_CERT_CN_INVALID:
    case ERROR_INVALID_CA:
    case ERROR_INVALID_CERT:
    case ERROR_CERT_WRONG_USAGE:
        return WebVerdict::BadCertificate;
    case ERROR_SECURE_CHANNEL:
    case ERROR_SECURE_FAILURE:
        return WebVerdict::HandshakeFailed;
    default:
        return signedIn ? WebVerdict::ProxyRefuses : WebVerdict::NoAnswer;
    }
}

bool IsGoodCertificate(uint32_t chainErrors, uint32_t policyError) {
    const bool policyGood = policyError == 0 || policyError == CRYPT_E_REVOKED ||
                            policyError == CRYPT_E_NO_REVOCATION_CHECK ||
                            policyError == CRYPT_E_REVOCATION_OFFLINE;
    return policyGood && (chainErrors & ~REVOCATION_BITS) == 0;
}

uint32_t ProxySignInScheme(uint32_t offeredSchemes, int signInsTried, bool proxyKnown) {
    if (!proxyKnown || signInsTried >= MAX_PROXY_SIGN_INS)
        return 0;
    for (const uint32_t scheme : {AUTH_SCHEME_NEGOTIATE, AUTH_SCHEME_NTLM}) {
        if ((offeredSchemes & scheme) != 0)
            return scheme;
    }
    return 0;
}

bool ProxyStandsBetween(const WebAddress& address, const std::string& proxies,
                        const std::string& bypass) {
    bool proxied = false;
    for (const std::string& entry : ListEntries(proxies)) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos)
            proxied = true;
        else if (equals + 1 < entry.size())
            proxied |= Lowered(entry.substr(0, equals)) == (address.secure ? "https" : "http");
    }
    if (!proxied)
        return false;
    const std::string host = Lowered(address.host);
    const std::string hostPort = host + ":" + std::to_string(address.port);
    for (std::string entry : ListEntries(bypass)) {
        entry = Lowered(entry);
        if (const std::size_t scheme = entry.find("://"); scheme != std::string::npos)
            entry.erase(0, scheme + 3);
        if ((entry == "<local>" && host.find('.') == std::string::npos) ||
            MatchesPattern(host, entry) || MatchesPattern(hostPort, entry))
            return false;
    }
    return true;
}
