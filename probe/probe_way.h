// What every way of probing shares: which way it is, and what became of one request handed to
// it. A way's Windows file includes this and the address header, and nothing of the decisions.
#pragma once

// The ways of probing a host: an echo request over the raw socket or the echo service, a
// connection to a TCP port, or a GET of a web address.
enum class ProbeWay { RawSocket, EchoService, TcpPort, Web };

// What became of one request (an echo request, a connection attempt) handed to the platform.
enum class SendOutcome {
    Sent,    // on its way; a reply, if any, comes later
    NotSent, // a failure that may pass (network down or unreachable, time-out): try again later
    Refused, // the platform refuses this way of probing to this user
    Failed,  // a socket failure that no rule names: the way is opened again at the next tick
};
