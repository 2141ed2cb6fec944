// Why probing a host stopped: the two failures the watch window reports in its status line.
#pragma once

enum class ProbeFailure {
    UnknownHost,    // the name does not exist: "Unknown - %s!"
    AccessDenied,   // neither way of probing is allowed to this user: "Access denied - %s!"
    BadPort,        // the text after the colon is no port from 1 to 65535: "Bad port - %s!"
    BadAddress,     // a web address that cannot be watched: "Bad address - %s!"
    BadCertificate, // the web server's certificate is not good: "Bad certificate - %s!";
                    // watching goes on
};
