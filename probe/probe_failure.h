// Why probing a host stopped or cannot go on: the failures the watch window reports in its
// status line.
#pragma once

enum class ProbeFailure {
    UnknownHost,    // the name does not exist: "Unknown - %s!"
    AccessDenied,   // neither way of probing is allowed to this user: "Access denied - %s!"
    BadPort,        // the text after the colon is no port from 1 to 65535: "Bad port - %s!"
    NoHost,         // a port with no host before it (":3389"): "No host - %s!"
    Ipv6NeedsPort,  // an IPv6 address without a port (no ICMPv6 echo): "IPv6 needs a port - %s!"
    NetworkError,   // Winsock cannot start, or a socket failed in a way no rule names:
                    // "Network error - %s!"; the way is opened again at the next check tick
    BadAddress,     // a web address that cannot be watched: "Bad address - %s!"
    BadCertificate, // the web server's certificate is not good: "Bad certificate - %s!";
                    // watching goes on
    LookupFails,    // a web address's name resolved, and now the name server is silent or
                    // unreachable: "Name lookup fails - %s!"; the checks are not made
    ProxyRefuses,   // the proxy refuses the user's sign-in: "Proxy refuses sign-in - %s!";
                    // the checks are not made
};
