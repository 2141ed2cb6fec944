// A look at the certificate a web server shows, in a TLS handshake of Tarnwell's own that sends
// nothing after it. The web way asks for it only when WinHTTP failed a handshake without its
// certificate failure notice (Wine's WinHTTP reports an untrusted certificate as a failed secure
// channel, as it does a port that speaks no TLS), to tell the two apart.
#pragma once

#include <cstdint>
#include <string>

enum class ShownCertificate {
    None, // no handshake: nothing listens, or it speaks no TLS
    Good, // trusted, in its time, for a web server and naming the host
    Bad,
};

// Connects to the host (a name, a dotted address or a bracketed IPv6 address) and port, makes
// the handshake and judges the certificate, without revocation. Blocks for a few seconds at
// most: never on the window's thread.
ShownCertificate CheckShownCertificate(const std::string& host, uint16_t port);
