// Where the path stops, in one table: the echo service's answers per time-to-live, read as
// ReadHopAnswer reads them, the finding and the hops History lists.
#include "probe/path_trace.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t EXPIRED = 11013, HOST_UNREACHABLE = 11003, TIMED_OUT = 11010;

Ipv4Word Word(const std::string& dotted) {
    return *ParseDottedIpv4(dotted);
}

struct Hop {
    uint32_t replies, status, last; // the answering address's last number in 198.51.100.x
};

TEST(PathTrace, WhereThePathStopsAndHowItIsSaid) {
    const TraceSubject echo{}, web{false, 0, true, false}, portAlive{false, 3389, false, true},
        ipv6{true, 0, false, false}, multicast{false, 0, false, false, Word("224.0.0.1")},
        broadcast{false, 0, false, false, Word("255.255.255.255")},
        unicast{false, 0, false, false, Word("198.51.100.10")};
    const Hop r1{1, EXPIRED, 1}, r2{1, EXPIRED, 6}, none{0, TIMED_OUT, 0}, host{1, 0, 10},
        noWay{1, HOST_UNREACHABLE, 6};
    const char *after2 = "the path ends after hop 2 (198.51.100.6)",
               *hop1 = "hop 1: 198.51.100.1, 1 ms", *silent1 = "hop 1: no answer",
               *silent3 = "hop 3: no answer", *firstSilent = "no answer from the first hop",
               *noPath = "no path to a multicast or broadcast address";
    const struct {
        TraceSubject subject;
        std::vector<Hop> hops;
        const char* finding;
        std::vector<std::string> lines; // the first and the last hop line; one: the only one
    } cases[] = {
        {echo, {r1, r2, none, none}, after2, {hop1, silent3}},
        // A router that never says so is passed.
        {echo, {none, r2, none}, after2, {silent1, silent3}},
        {unicast, {none, none}, firstSilent, {silent1}},
        {echo, {}, firstSilent, {}}, // the service sent nothing
        {web, {r1, r2, host}, "the host answers echo; the web site does not", {}},
        {portAlive, {r1, r2, host}, "the host answers echo, 3 hops away", {}},
        {echo, {host, host}, "the host answers echo, 1 hop away", {"hop 1: 198.51.100.10, 1 ms"}},
        {echo, {r1, noWay, noWay}, after2, {}},
        {echo, {r1, {1, 11050, 6}}, "the path ends after hop 1 (198.51.100.1)", {}}, // other
        // The second router has no way on: its own hop, not the request's.
        {echo, {r1, r2, noWay, noWay}, after2, {hop1, "hop 3: 198.51.100.6, 1 ms, no way on"}},
        {multicast, {}, noPath, {}},
        {broadcast, {}, noPath, {}},
        {ipv6, {r1}, "no path for IPv6", {}},
    };
    for (const auto& c : cases) {
        std::vector<HopAnswer> answers;
        for (const Hop& hop : c.hops)
            answers.push_back(ReadHopAnswer(hop.replies, hop.status,
                                            Word("198.51.100." + std::to_string(hop.last)), 1));
        const TraceFinding found = FindWhereItStops(c.subject, answers);
        EXPECT_EQ(c.finding, found.text);
        // Only the ones traced are ever sent.
        EXPECT_EQ(!c.subject.ipv6 && std::string(c.finding).find("multicast") == std::string::npos,
                  IsTraced(c.subject))
            << c.finding;
        if (c.lines.empty())
            continue;
        ASSERT_FALSE(found.hops.empty()) << c.finding;
        EXPECT_EQ(c.lines[0], found.hops.front()) << c.finding;
        EXPECT_EQ(c.lines.back(), found.hops.back()) << c.finding;
    }
}

} // namespace
