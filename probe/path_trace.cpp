// Where the path stops: see path_trace.h.
#include "probe/path_trace.h"

#include <algorithm>

namespace {

// The echo service's statuses (IP_...).
constexpr uint32_t IP_SUCCESS = 0;
constexpr uint32_t IP_DEST_NET_UNREACHABLE = 11002;
constexpr uint32_t IP_DEST_HOST_UNREACHABLE = 11003;
constexpr uint32_t IP_TTL_EXPIRED_TRANSIT = 11013;
constexpr uint32_t IP_TTL_EXPIRED_REASSEM = 11014;

std::string HopLine(std::size_t hop, const HopAnswer& answer) {
    std::string line = "hop " + std::to_string(hop) + ": ";
    if (answer.kind == HopAnswer::Silent)
        return line + "no answer";
    line += Ipv4Text(answer.from) + ", " + std::to_string(answer.roundTripMs) + " ms";
    return answer.kind == HopAnswer::Unreachable ? line + ", no way on" : line;
}

} // namespace

std::string Ipv4Text(Ipv4Word address) {
    const ProbeAddress bytes = ProbeAddress::FromIpv4(address);
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += (i > 0 ? "." : "") + std::to_string(bytes.bytes[static_cast<std::size_t>(i)]);
    return text;
}

bool IsTraced(const TraceSubject& subject) {
    return !subject.ipv6 && ProbeAddress::FromIpv4(subject.address).bytes[0] < 224;
}

HopAnswer ReadHopAnswer(uint32_t replyCount, uint32_t status, Ipv4Word from, uint32_t roundTripMs) {
    if (replyCount == 0)
        return {};
    switch (status) {
    case IP_SUCCESS:
        return {HopAnswer::Host, from, roundTripMs};
    case IP_TTL_EXPIRED_TRANSIT:
    case IP_TTL_EXPIRED_REASSEM:
        return {HopAnswer::Router, from, roundTripMs};
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
        return {HopAnswer::Unreachable, from, roundTripMs};
    default:
        return {};
    }
}

TraceFinding FindWhereItStops(const TraceSubject& subject, const std::vector<HopAnswer>& answers) {
    TraceFinding finding;
    if (subject.ipv6) {
        finding.text = "no path for IPv6";
        return finding;
    }
    if (!IsTraced(subject)) {
        finding.text = "no path to a multicast or broadcast address";
        return finding;
    }
    // The path ends where the host answers or a router has no way on; else after the last
    // router that answered, and the hop after it is listed as the silent one.
    std::size_t end = 0; // hops to list
    std::size_t lastRouter = 0;
    bool reached = false;
    for (std::size_t i = 0; i < answers.size() && end == 0; ++i) {
        if (answers[i].kind == HopAnswer::Host || answers[i].kind == HopAnswer::Unreachable) {
            end = i + 1;
            reached = answers[i].kind == HopAnswer::Host;
        } else if (answers[i].kind == HopAnswer::Router) {
            lastRouter = i + 1;
        }
    }
    if (end == 0)
        end = std::min(answers.size(), lastRouter + 1);
    for (std::size_t i = 0; i < end; ++i)
        finding.hops.push_back(HopLine(i + 1, answers[i]));

    if (reached) {
        const std::string answersEcho = "the host answers echo";
        if (subject.answering || (subject.port == 0 && !subject.web))
            finding.text =
                answersEcho + ", " + std::to_string(end) + (end == 1 ? " hop" : " hops") + " away";
        else if (subject.web)
            finding.text = answersEcho + "; the web site does not";
        else
            finding.text = answersEcho + "; port " + std::to_string(subject.port) + " does not";
        return finding;
    }
    std::size_t last = lastRouter;
    if (end > 0 && answers[end - 1].kind == HopAnswer::Unreachable) {
        // A router with no way on says so also for the requests that would have outlived it:
        // it is the hop where it said that its time-to-live ran out, if it did.
        last = end;
        for (std::size_t i = end - 1; i-- > 0 && last == end;)
            if (answers[i].kind == HopAnswer::Router && answers[i].from == answers[end - 1].from)
                last = i + 1;
    }
    if (last == 0) {
        finding.text = "no answer from the first hop";
        return finding;
    }
    finding.text = "the path ends after hop " + std::to_string(last) + " (" +
                   Ipv4Text(answers[last - 1].from) + ")";
    return finding;
}
