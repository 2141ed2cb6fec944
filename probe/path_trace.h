// Where the path to a host stops, apart from any socket: what each echo request of a growing
// time-to-live (1, 2, 3, ... 30) gave, which hop the path ends at, and the finding in plain
// words with the hops as History lists them. path_trace_win sends the requests.
#pragma once

#include "probe/probe_address.h"

#include <cstdint>
#include <string>
#include <vector>

// Requests of the time-to-lives 1 to this, each answered or given up within its limit.
constexpr uint32_t TRACE_MAX_HOPS = 30;
constexpr uint32_t TRACE_REQUEST_LIMIT_MS = 1000;

// What the request with one time-to-live gave.
struct HopAnswer {
    enum Kind : uint8_t {
        Silent,      // nothing within the limit
        Router,      // a router on the way said the time-to-live ran out
        Unreachable, // a router said it has no way on to the host
        Host,        // the host's own echo reply
    };
    Kind kind = Silent;
    Ipv4Word from = 0; // who answered
    uint32_t roundTripMs = 0;
};

// Reads one finished request: replyCount is what IcmpParseReplies returned, then the first
// reply's status, address and round trip (read only when there is a reply).
HopAnswer ReadHopAnswer(uint32_t replyCount, uint32_t status, Ipv4Word from, uint32_t roundTripMs);

// What was traced, and how the watch stands.
struct TraceSubject {
    bool ipv6 = false;      // the address is IPv6: there is no ICMPv6 echo here
    uint16_t port = 0;      // a port watch: its port
    bool web = false;       // a web watch
    bool answering = false; // the watch counts the host as alive now
    Ipv4Word address = 0;   // the IPv4 address traced
};

// Whether the path to the subject's address is traced at all: never for IPv6 (no ICMPv6 echo
// here), nor for a multicast, reserved or broadcast address (224.0.0.0 and up), where 30
// requests would go to a group or a whole network rather than to one host.
bool IsTraced(const TraceSubject& subject);

struct TraceFinding {
    std::string text;              // "the path ends after hop 2 (198.51.100.6)"
    std::vector<std::string> hops; // "hop 1: 198.51.100.1, 1 ms", ..., "hop 3: no answer"
};

// answers[i] is what the time-to-live i + 1 gave; fewer than TRACE_MAX_HOPS when the rest were
// never sent.
TraceFinding FindWhereItStops(const TraceSubject& subject, const std::vector<HopAnswer>& answers);

// "198.51.100.6".
std::string Ipv4Text(Ipv4Word address);
