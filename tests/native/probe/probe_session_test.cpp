// The probe's decisions through a recording fake platform: the way a start chooses, the
// background lookups and their retries, the address requests go to, and which replies count.
#include "probe/probe_session.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const ProbeAddress ALPHA = ProbeAddress::FromIpv4(*ParseDottedIpv4("192.0.2.1"));
const ProbeAddress BETA = ProbeAddress::FromIpv4(*ParseDottedIpv4("192.0.2.2"));
const ProbeAddress GAMMA =
    ProbeAddress::FromIpv6({0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 0);

std::string Dotted(const ProbeAddress& address) {
    const auto& b = address.bytes;
    if (address.isIpv6)
        return "[v6 " + std::to_string(b[15]) + "]";
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

class FakePlatform : public ProbePlatform {
public:
    bool rawOpens = true;
    bool serviceOpens = true;
    SendOutcome sendOutcome = SendOutcome::Sent;
    uint32_t lastTag = 0; // the tag of the latest request sent
    Calls calls;

    Calls Take() {
        Calls taken;
        taken.swap(calls);
        return taken;
    }
    bool OpenWay(ProbeWay way) override {
        calls.push_back("open " + Name(way));
        return way == ProbeWay::RawSocket ? rawOpens : way != ProbeWay::EchoService || serviceOpens;
    }
    SendOutcome Send(ProbeWay way, const ProbeAddress& address, uint16_t port,
                     uint32_t& tag) override {
        calls.push_back(Name(way) + " send " + Dotted(address) +
                        (port != 0 ? ":" + std::to_string(port) : ""));
        tag = ++lastTag;
        return sendOutcome;
    }
    void StartLookup(uint32_t lookupId, const std::string& name, LookupFamily family) override {
        calls.push_back("lookup " + std::to_string(lookupId) + " " + name +
                        (family == LookupFamily::Any ? " any" : ""));
    }
    static std::string Name(ProbeWay way) {
        return std::array{"raw", "service", "tcp"}[static_cast<std::size_t>(way)];
    }
};

class ProbeSessionTest : public ::testing::Test {
protected:
    FakePlatform platform;
    ProbeSession session{platform, ProbeWayChoice::Automatic};
};

TEST(ProbeWayChoice, TheEnvironmentForcesOneWayOrNone) {
    for (const auto& [text, choice] :
         {std::pair{"raw", ProbeWayChoice::RawSocketOnly},
          std::pair{"Icmp", ProbeWayChoice::EchoServiceOnly},
          std::pair{"rawx", ProbeWayChoice::Automatic}, std::pair{"", ProbeWayChoice::Automatic}}) {
        EXPECT_EQ(choice, ParseProbeWayChoice(text)) << text;
    }
    EXPECT_EQ(ProbeWayChoice::Automatic, ParseProbeWayChoice(nullptr));
}

TEST(DottedIpv4, FourDecimalNumbersUpTo255) {
    const std::optional<Ipv4Word> loopback = ParseDottedIpv4("127.0.0.1");
    ASSERT_TRUE(loopback.has_value());
    EXPECT_EQ("127.0.0.1", Dotted(ProbeAddress::FromIpv4(*loopback)));
    EXPECT_EQ("255.255.255.0", Dotted(ProbeAddress::FromIpv4(*ParseDottedIpv4("255.255.255.0"))));
    for (const char* name :
         {"", "127.0.0", "127.0.0.1.", "127.0.0.256", "1.2.3.4 ", "a.b.c.d", "127.0.0.0001",
          "127.0.0.010", "127..0.1", "example.org", "1.2.3.-4"}) {
        EXPECT_FALSE(ParseDottedIpv4(name).has_value()) << name;
    }
}

TEST(LookupErrors, OnlyTheNameServersNoMeansNoSuchName) {
    // Host not found and no data (no IPv4 address); try again (a silent server), network down.
    for (const auto& [code, outcome] :
         {std::pair{11001, LookupOutcome::NoSuchName}, std::pair{11004, LookupOutcome::NoSuchName},
          std::pair{11002, LookupOutcome::TryLater}, std::pair{10050, LookupOutcome::TryLater}}) {
        EXPECT_EQ(outcome, LookupOutcomeForError(code)) << code;
    }
}

TEST_F(ProbeSessionTest, RawSocketFirstAndTheEchoServiceWhenItIsRefused) {
    EXPECT_FALSE(session.Start("192.0.2.1"));
    EXPECT_EQ((Calls{"open raw", "raw send 192.0.2.1"}), platform.Take());
    platform.rawOpens = false;
    EXPECT_FALSE(session.Start("192.0.2.1"));
    EXPECT_EQ((Calls{"open raw", "open service", "service send 192.0.2.1"}), platform.Take());
    EXPECT_EQ(ProbeWay::EchoService, session.Way());
    // The way stays for the start: the ticks do not try the raw socket again.
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{"service send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, RefusedBothWaysIsAccessDeniedAndNothingIsSent) {
    platform.rawOpens = false;
    platform.serviceOpens = false;
    EXPECT_EQ(ProbeFailure::AccessDenied, session.Start("example.org"));
    EXPECT_EQ((Calls{"open raw", "open service"}), platform.Take());
    EXPECT_FALSE(session.IsProbing());
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{}, platform.Take());
}

TEST_F(ProbeSessionTest, AForcedWayIsTheOnlyOneTried) {
    platform.rawOpens = false;
    ProbeSession rawOnly(platform, ProbeWayChoice::RawSocketOnly);
    EXPECT_EQ(ProbeFailure::AccessDenied, rawOnly.Start("192.0.2.1"));
    EXPECT_EQ(Calls{"open raw"}, platform.Take());

    platform.rawOpens = true;
    ProbeSession serviceOnly(platform, ProbeWayChoice::EchoServiceOnly);
    EXPECT_FALSE(serviceOnly.Start("192.0.2.1"));
    EXPECT_EQ((Calls{"open service", "service send 192.0.2.1"}), platform.Take());
}

TEST_F(ProbeSessionTest, ANameIsLookedUpAndTheFirstRequestGoesWithTheAnswer) {
    EXPECT_FALSE(session.Start("example.org"));
    EXPECT_EQ((Calls{"open raw", "lookup 1 example.org"}), platform.Take());
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::Found, ALPHA}));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
    // Only from the address the request went to, and once.
    EXPECT_FALSE(session.CountsReply(platform.lastTag, BETA));
    EXPECT_FALSE(session.CountsReply(platform.lastTag + 1, ALPHA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));
}

TEST_F(ProbeSessionTest, WhileWatchingOneLookupPerTickAtMostAndOneInFlight) {
    session.Start("example.org");
    session.OnLookupAnswer(1, {LookupOutcome::Found, ALPHA});
    platform.Take();
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ((Calls{"lookup 2 example.org", "raw send 192.0.2.1"}), platform.Take());
    // The lookup is slow: the next ticks send to the last good address and start no other.
    EXPECT_FALSE(session.Tick());
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ((Calls{"raw send 192.0.2.1", "raw send 192.0.2.1"}), platform.Take());
    // The name now has another address (served round-robin): the requests follow it, and the
    // next tick looks again. A reply still due from the old address counts for its request.
    const uint32_t toAlpha = platform.lastTag;
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::Found, BETA}));
    EXPECT_EQ(Calls{}, platform.Take());
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ((Calls{"lookup 3 example.org", "raw send 192.0.2.2"}), platform.Take());
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_TRUE(session.CountsReply(toAlpha, ALPHA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, BETA));
}

TEST_F(ProbeSessionTest, AFailedLookupWhileWatchingKeepsTheLastGoodAddress) {
    session.Start("example.org");
    session.OnLookupAnswer(1, {LookupOutcome::Found, ALPHA});
    session.Tick();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::TryLater, {}}));
    session.Tick();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(3, {LookupOutcome::NoSuchName, {}}));
    EXPECT_TRUE(session.IsProbing());
    EXPECT_TRUE(session.CountsReply(platform.lastTag, ALPHA));
    platform.Take();
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ((Calls{"lookup 4 example.org", "raw send 192.0.2.1"}), platform.Take());
}

// Without a network yet (at logon), the name server's no is not final: the name is reported
// unknown once, looked up again at every tick, and probed as soon as it resolves.
TEST_F(ProbeSessionTest, AnUnknownNameIsLookedUpAgainAtEveryTickUntilItResolves) {
    session.Start("nosuch.example");
    EXPECT_EQ(LookupNews::HostUnknown, session.OnLookupAnswer(1, {LookupOutcome::NoSuchName, {}}));
    EXPECT_TRUE(session.IsHostUnknown());
    platform.Take();
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{"lookup 2 nosuch.example"}, platform.Take());
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::NoSuchName, {}}));
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{"lookup 3 nosuch.example"}, platform.Take());
    EXPECT_EQ(LookupNews::HostFound, session.OnLookupAnswer(3, {LookupOutcome::Found, ALPHA}));
    EXPECT_FALSE(session.IsHostUnknown());
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, ASilentNameServerAtTheStartIsTriedAgainAtTheNextTick) {
    session.Start("example.org");
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::TryLater, {}}));
    EXPECT_TRUE(session.IsProbing());
    platform.Take();
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{"lookup 2 example.org"}, platform.Take());
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::Found, ALPHA}));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, TheAnswerOfAnAbandonedLookupIsIgnored) {
    session.Start("first.example");
    session.Start("second.example");
    platform.Take();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::NoSuchName, {}}));
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::Found, ALPHA}));
    EXPECT_EQ(Calls{}, platform.Take());
    EXPECT_TRUE(session.IsProbing());
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::Found, BETA}));
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, platform.Take());
    // A dotted start abandons a lookup too, and replies to the earlier start stop counting.
    session.Tick();
    const uint32_t earlier = platform.lastTag;
    session.Start("192.0.2.1");
    platform.Take();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(3, {LookupOutcome::Found, BETA}));
    EXPECT_FALSE(session.CountsReply(earlier, BETA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_EQ(Calls{}, platform.Take());
}

TEST_F(ProbeSessionTest, ANetworkThatIsDownAtTheStartIsTriedAgainAtTheTicks) {
    platform.sendOutcome = SendOutcome::NotSent;
    EXPECT_FALSE(session.Start("192.0.2.1"));
    EXPECT_TRUE(session.IsProbing());
    platform.sendOutcome = SendOutcome::Sent;
    platform.Take();
    EXPECT_FALSE(session.Tick());
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, ARefusedRequestIsAccessDenied) {
    platform.rawOpens = false;
    platform.sendOutcome = SendOutcome::Refused;
    EXPECT_EQ(ProbeFailure::AccessDenied, session.Start("192.0.2.1"));
    EXPECT_FALSE(session.IsProbing());
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));

    platform.sendOutcome = SendOutcome::Sent;
    session.Start("192.0.2.1");
    platform.sendOutcome = SendOutcome::Refused;
    EXPECT_EQ(ProbeFailure::AccessDenied, session.Tick());
}

// A port is probed by connecting, whatever the ICMP ways allow, to the address of a name looked
// up for IPv4 and IPv6 under the rules of names. A bad port starts nothing. Each behaviour's
// calls are checked on their own, under its name.
TEST_F(ProbeSessionTest, AHostWithAPortIsConnectedTo) {
    const auto expectCalls = [&](const char* behaviour, const Calls& calls) {
        EXPECT_EQ(calls, platform.Take()) << behaviour;
    };
    platform.rawOpens = false;
    ProbeSession rawOnly(platform, ProbeWayChoice::RawSocketOnly);
    EXPECT_FALSE(rawOnly.Start("192.0.2.1:3389"));
    expectCalls("a forced raw socket stops no port", {"open tcp", "tcp send 192.0.2.1:3389"});

    EXPECT_FALSE(session.Start("server.example:22"));
    EXPECT_EQ(LookupNews::HostUnknown, session.OnLookupAnswer(1, {LookupOutcome::NoSuchName, {}}));
    session.Tick();
    expectCalls("a name is looked up for IPv4 and IPv6, again at the tick while unknown",
                {"open tcp", "lookup 1 server.example any", "lookup 2 server.example any"});

    EXPECT_EQ(LookupNews::HostFound, session.OnLookupAnswer(2, {LookupOutcome::Found, GAMMA}));
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, GAMMA));
    expectCalls("the address found is connected to", {"tcp send [v6 1]:22"});

    session.Tick();
    session.OnLookupAnswer(3, {LookupOutcome::TryLater, {}});
    session.Tick();
    expectCalls("a failed lookup keeps the last good address",
                {"lookup 3 server.example any", "tcp send [v6 1]:22", "lookup 4 server.example any",
                 "tcp send [v6 1]:22"});

    EXPECT_EQ(ProbeFailure::BadPort, session.Start("192.0.2.1:99999"));
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(4, {LookupOutcome::Found, ALPHA}));
    EXPECT_FALSE(session.Tick());
    expectCalls("a bad port starts nothing, and an earlier lookup's answer is ignored", {});
}

TEST_F(ProbeSessionTest, ARefusalReportedLaterCountsOnlyForItsOwnStart) {
    platform.rawOpens = false;
    session.Start("192.0.2.1");
    const uint32_t first = session.Started();
    session.Start("192.0.2.1");
    EXPECT_FALSE(session.OnRefused(first));
    EXPECT_TRUE(session.IsProbing());
    EXPECT_EQ(ProbeFailure::AccessDenied, session.OnRefused(session.Started()));
    EXPECT_FALSE(session.IsProbing());
    // After the first reply of a start, the same completion is only a lost request.
    session.Start("192.0.2.1");
    ASSERT_TRUE(session.CountsReply(platform.lastTag, ALPHA));
    session.Tick();
    EXPECT_FALSE(session.OnRefused(session.Started()));
    EXPECT_TRUE(session.IsProbing());
}

} // namespace
