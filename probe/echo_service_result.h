// How the system's ICMP echo service answers, read apart from the calls: what an asynchronous
// IcmpSendEcho2 said when it returned, and what a finished request gave. The service has its
// own ways of refusing a user: the call fails with access denied, or (under Wine) the request
// finishes at once with no reply and no error, which is easy to take for a time-out.
#pragma once

#include "probe/probe_address.h"
#include "probe/probe_way.h"

#include <cstdint>

// What an asynchronous IcmpSendEcho2 that returned `result` left as its last error.
SendOutcome EchoServiceSendOutcome(uint32_t result, uint32_t lastError);

// What a finished request gave.
struct EchoServiceResult {
    enum Kind { Reply, NoReply, Refused } kind;
    Ipv4Word from;        // when Reply: the address the reply came from
    uint32_t roundTripMs; // when Reply
};

// Reads a finished request: replyCount is what IcmpParseReplies returned and lastError the
// last error right after it; the other three are the first reply's status, address and
// round trip (read only when there is a reply).
EchoServiceResult ReadEchoServiceResult(uint32_t replyCount, uint32_t lastError,
                                        uint32_t replyStatus, Ipv4Word replyAddress,
                                        uint32_t roundTripMs);
