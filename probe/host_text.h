// What the user typed into the host field: a host to ping ("server", "10.0.0.5"), or a host
// and a TCP port to connect to ("server:3389", "10.0.0.5:22", "[2001:db8::1]:443",
// "[fe80::1%12]:22").
#pragma once

#include <cstdint>
#include <string>

struct HostText {
    enum Kind {
        Echo,       // no port: the host is probed with ICMP echo requests
        Port,       // a host and a port from 1 to 65535
        BadPort,    // a colon followed by anything but such a port
        NoHost,     // nothing at all, or a port with nothing before it (":3389", "[]:3389")
        Ipv6NoPort, // an IPv6 address without a port ("::1", "[::1]"): there is no ICMPv6 echo
    } kind;
    std::string host; // the name or address to look up: the whole text for Echo, without the
                      // port (and the brackets of an IPv6 address) for Port
    uint16_t port;    // when Port
};

// The text without the blanks (spaces, tabs, line ends) around it.
std::string TrimHostText(const std::string& text);

// Splits the text at its port. A text with more than one colon and no brackets is a bare IPv6
// address, which has no port; a text with brackets has its port after the closing one.
HostText ParseHostText(const std::string& text);
