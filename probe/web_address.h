// A web address in the host field ("http://host[:port][/path]", "https://...", an IPv6 address
// in brackets), and the rules of the web way: which of the parts that the system's URL reader
// found make an address to watch, which answers count (a status below 500), which failures are
// a bad certificate or an unknown name, and which certificates are good. No Windows header: the
// reading and the requests are the platform's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Whether the text is meant as a web address: it begins with "http://" or "https://", in any
// case.
bool IsWebAddressText(const std::string& text);

// What the system's URL reader (WinHttpCrackUrl) found in a text.
struct CrackedUrl {
    bool isHttp = false;  // the scheme is http
    bool isHttps = false; // the scheme is https
    std::string host;
    uint16_t port = 0;
    std::string path;  // from the first slash, without the query
    std::string extra; // the query and the fragment: "?a=1#top"
    bool hasUserInfo = false;
};

// A web address to watch.
struct WebAddress {
    bool secure = false;
    std::string host; // a name, a dotted address, or an IPv6 address in brackets
    uint16_t port = 0;
    std::string path; // what the request asks for: the path and the query, "/" at least
};

// Some readers (Wine's) take the colons of a bracketed IPv6 address for the port's. The text
// given to the reader has such an address replaced by a placeholder name; `literal` is set to
// the address with its brackets. Nothing when the brackets are not closed or hold anything but
// an IPv6 address.
std::optional<std::string> TextForUrlReader(const std::string& text, std::string& literal);

// The address to watch from what the reader found in TextForUrlReader's text; nothing for a
// text that cannot be watched: another scheme, no host or a host with characters no host has,
// no port or port 0, or a user name or password (which Tarnwell would never send, and which
// must not show in the status line and the log).
std::optional<WebAddress> WebAddressFromParts(const CrackedUrl& parts, const std::string& literal);

// What a web request's outcome means.
enum class WebVerdict {
    Answer,         // the service answered: any status below 500, redirects and requests
                    // for credentials included
    NoAnswer,       // a 5xx, a refused or reset connection, a time-out, a failed handshake
    BadCertificate, // the server's certificate is not trusted, has expired or names another host
    UnknownName,    // the name server says the host's name does not exist
};

// The verdict on a status line that arrived.
WebVerdict VerdictForStatus(uint32_t status);

// The verdict on a request that failed with this WinHTTP error code.
WebVerdict VerdictForError(uint32_t errorCode);

// Whether the server's certificate is good, from the chain's trust error bits
// (CERT_TRUST_STATUS.dwErrorStatus) and the SSL policy's error for the host's name: trusted, in
// its time and naming the host. Revocation is not checked, so its bits and errors do not count.
bool IsGoodCertificate(uint32_t chainErrors, uint32_t policyError);
