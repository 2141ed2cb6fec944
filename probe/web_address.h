// A web address in the host field ("http://host[:port][/path]", "https://...", an IPv6 address
// in brackets), and the rules of the web way: which of the parts that the system's URL reader
// found make an address to watch, which answers count (a status below 500), which failures are
// a bad certificate, an unknown name or a lookup that did not finish, and what to do when a
// proxy asks for sign-in. No Windows header: the reading and the requests are the platform's.
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
    Answer,          // the service answered: any status below 500, redirects and requests
                     // for credentials included
    NoAnswer,        // the server was reached and failed: a 5xx, a refused or reset connection,
                     // a failed handshake
    TimedOut,        // no status line before WinHTTP's time-out or the request's own deadline
    BadCertificate,  // the server's certificate is not trusted, has expired, names another host
                     // or is for another use
    UnknownName,     // the name could not be looked up (WinHTTP says the same for a name that
                     // does not exist and for a name server that does not answer)
    NoLookup,        // the request was still looking its name up when it failed or its deadline
                     // passed: it never left
    ProxyRefuses,    // the proxy asked for sign-in and refused the user's own credentials
    HandshakeFailed, // the TLS handshake failed without a certificate failure notice: the
                     // platform looks at the certificate itself (a bad one, or no answer)
};

// How long a request may look its name up before the name server counts as silent; a lookup
// that answers takes milliseconds.
constexpr uint32_t WEB_LOOKUP_STALL_MS = 3000;

// The verdict on a status line that arrived (a 407 only after sign-in was tried).
WebVerdict VerdictForStatus(uint32_t status);

// The verdict on a request that failed with this WinHTTP error code. secureFailure holds the
// flags of the certificate failure notice that came before (WINHTTP_CALLBACK_STATUS_FLAG_*, 0
// when none came); resolving tells that the request was still looking its name up; signedIn
// that it signed in to a proxy, which then dropped it: the proxy refuses, but a time-out, a
// failed handshake or a bad certificate (past the proxy, from the server) keep their verdict.
WebVerdict VerdictForError(uint32_t errorCode, uint32_t secureFailure, bool resolving,
                           bool signedIn = false);

// Whether the server's certificate is good, from the chain's trust error bits
// (CERT_TRUST_STATUS.dwErrorStatus) and the SSL policy's error for the host's name: trusted, in
// its time and naming the host. Revocation is not checked, so its bits and errors do not count.
bool IsGoodCertificate(uint32_t chainErrors, uint32_t policyError);

// The status with which a proxy asks for sign-in.
constexpr uint32_t PROXY_SIGN_IN_STATUS = 407;

// WinHTTP's authentication schemes (WINHTTP_AUTH_SCHEME_*) that sign in as the user who runs
// Tarnwell, without a name or password.
constexpr uint32_t AUTH_SCHEME_NTLM = 0x2;
constexpr uint32_t AUTH_SCHEME_NEGOTIATE = 0x10;

// What to answer a proxy's request for sign-in (a 407), given the schemes it offers and the
// sign-ins already tried for this request: the scheme to sign in with (Negotiate before NTLM),
// or 0 when the proxy refuses (it offers neither, or it refused MAX_PROXY_SIGN_INS already).
constexpr int MAX_PROXY_SIGN_INS = 2;
uint32_t ProxySignInScheme(uint32_t offeredSchemes, int signInsTried);
