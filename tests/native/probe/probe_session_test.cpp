// The probe's decisions through a recording fake platform: the way a start chooses, the
// background lookups and their retries, the address requests go to, and which replies count.
#include "probe/probe_session.h"
#include "probe/sent_requests.h"

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
        return "[v6 " + std::to_string(b[15]) +
               (address.scopeId != 0 ? "%" + std::to_string(address.scopeId) : "") + "]";
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

// The silence limit the ticks pass: a request may be answered for this long.
constexpr uint32_t LIMIT = 10000;

class FakePlatform : public ProbePlatform {
public:
    bool networkStarts = true;
    bool rawOpens = true;
    bool serviceOpens = true;
    SendOutcome sendOutcome = SendOutcome::Sent;
    uint32_t lastTag = 0;            // the tag of the latest request sent
    uint32_t now = 0;                // the tick count
    uint32_t lastLookup = 0;         // the id of the latest lookup started
    std::vector<uint32_t> abandoned; // the tags of the requests abandoned, in order
    Calls calls;

    Calls Take() {
        Calls taken;
        taken.swap(calls);
        return taken;
    }
    bool StartNetwork() override { return networkStarts; }
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
    void Abandon(ProbeWay, uint32_t tag) override { abandoned.push_back(tag); }
    uint32_t TickCount() override { return now; }
    void StartLookup(uint32_t lookupId, const std::string& name, LookupFamily family) override {
        lastLookup = lookupId;
        calls.push_back("lookup " + std::to_string(lookupId) + " " + name +
                        (family == LookupFamily::Any ? " any" : ""));
    }
    // The URL reader refuses a text that names no port.
    std::optional<WebAddress> ReadWebAddress(const std::string& text) override {
        const std::size_t colon = text.rfind(':');
        if (colon < 6)
            return std::nullopt;
        return WebAddress{false, text.substr(7, colon - 7), 8080, "/"};
    }
    SendOutcome SendWeb(const WebAddress& address, uint32_t lifetimeMs, uint32_t& tag) override {
        calls.push_back("web send " + address.host + " for " + std::to_string(lifetimeMs));
        tag = ++lastTag;
        return sendOutcome;
    }
    uint32_t stalledTag = 0; // a web request whose lookup hangs, 0 for none
    bool IsWebLookupStalled(uint32_t newerThanTag) override { return stalledTag > newerThanTag; }
    static std::string Name(ProbeWay way) {
        return std::array{"raw", "service", "tcp", "web"}[static_cast<std::size_t>(way)];
    }
};

class ProbeSessionTest : public ::testing::Test {
protected:
    FakePlatform platform;
    ProbeSession session{platform, ProbeWayChoice::Automatic};

    // A check tick at `now`, which must not fail; gives what it asked of the platform.
    Calls TickAt(uint32_t now) {
        platform.now = now;
        EXPECT_FALSE(session.Tick(LIMIT)) << now;
        return platform.Take();
    }
    // The times of the lookups that ticks every second from `from` to `to` start, each one
    // answered at once.
    std::vector<uint32_t> LookupTimes(uint32_t from, uint32_t to, const LookupAnswer& answer) {
        std::vector<uint32_t> times;
        for (uint32_t now = from; now <= to; now += 1000) {
            const uint32_t before = platform.lastLookup;
            TickAt(now);
            if (platform.lastLookup != before) {
                times.push_back(now);
                session.OnLookupAnswer(platform.lastLookup, answer);
            }
        }
        return times;
    }
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
    EXPECT_FALSE(session.Tick(LIMIT));
    EXPECT_EQ(Calls{"service send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, RefusedBothWaysIsAccessDeniedAndNothingIsSent) {
    platform.rawOpens = false;
    platform.serviceOpens = false;
    EXPECT_EQ(ProbeFailure::AccessDenied, session.Start("example.org"));
    EXPECT_EQ((Calls{"open raw", "open service"}), platform.Take());
    EXPECT_FALSE(session.IsProbing());
    EXPECT_FALSE(session.Tick(LIMIT));
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
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::Found, {ALPHA}}));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
    // Only from the address the request went to, and once.
    EXPECT_FALSE(session.CountsReply(platform.lastTag, BETA));
    EXPECT_FALSE(session.CountsReply(platform.lastTag + 1, ALPHA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));
}

// A name that resolves is asked for again every 30 s (following a round-robin name), one
// lookup at a time, and at once when the host stops answering; a lookup that fails meanwhile
// keeps the last good addresses.
TEST_F(ProbeSessionTest, ANameThatResolvesIsLookedUpEvery30SecondsAndWhenTheHostFallsSilent) {
    session.Start("example.org");
    session.OnLookupAnswer(1, {LookupOutcome::Found, {ALPHA}});
    platform.Take();
    EXPECT_EQ((std::vector<uint32_t>{30000, 60000}),
              LookupTimes(1000, 60000, {LookupOutcome::Found, {ALPHA}}));
    // A slow lookup: the ticks send to the last good address and start no other.
    EXPECT_EQ((Calls{"lookup 4 example.org", "raw send 192.0.2.1"}), TickAt(90000));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, TickAt(125000));
    // The name now has another address: the requests follow it. A reply still due from the
    // old address counts for its request.
    const uint32_t toAlpha = platform.lastTag;
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(4, {LookupOutcome::Found, {BETA}}));
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, TickAt(126000));
    EXPECT_FALSE(session.CountsReply(platform.lastTag, ALPHA));
    EXPECT_TRUE(session.CountsReply(toAlpha, ALPHA));
    EXPECT_TRUE(session.CountsReply(platform.lastTag, BETA));
    // Silent for longer than the limit after its latest reply (at 126000): the name is looked
    // up at once, once for this silence, and a lookup that fails keeps the address.
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, TickAt(136000));
    EXPECT_EQ((Calls{"lookup 5 example.org", "raw send 192.0.2.2"}), TickAt(137000));
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(5, {LookupOutcome::NoSuchName, {}}));
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, TickAt(138000));
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, TickAt(166000));
    EXPECT_EQ((Calls{"lookup 6 example.org", "raw send 192.0.2.2"}), TickAt(167000));
    EXPECT_TRUE(session.IsProbing());
}

// Without a network yet (at logon), the name server's no is not final: the name is reported
// unknown once, looked up again after 1, 2, 4, ... s, at most 30 s apart, and probed as soon
// as it resolves; a silent name server is waited for the same way.
TEST_F(ProbeSessionTest, AnUnknownNameIsLookedUpAgainEverLessOftenUntilItResolves) {
    session.Start("nosuch.example");
    EXPECT_EQ(LookupNews::HostUnknown, session.OnLookupAnswer(1, {LookupOutcome::NoSuchName, {}}));
    EXPECT_TRUE(session.IsHostUnknown());
    EXPECT_EQ((std::vector<uint32_t>{1000, 3000, 7000, 15000, 31000}),
              LookupTimes(1000, 60000, {LookupOutcome::NoSuchName, {}}));
    EXPECT_EQ(Calls{"lookup 7 nosuch.example"}, TickAt(91000));
    EXPECT_EQ(LookupNews::HostFound, session.OnLookupAnswer(7, {LookupOutcome::Found, {ALPHA}}));
    EXPECT_FALSE(session.IsHostUnknown());
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());

    session.Start("example.org");
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(8, {LookupOutcome::TryLater, {}}));
    EXPECT_TRUE(session.IsProbing());
    platform.Take();
    EXPECT_EQ(Calls{"lookup 9 example.org"}, TickAt(92000));
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(9, {LookupOutcome::Found, {ALPHA}}));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, platform.Take());
}

TEST_F(ProbeSessionTest, TheAnswerOfAnAbandonedLookupIsIgnored) {
    session.Start("first.example");
    session.Start("second.example");
    platform.Take();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::NoSuchName, {}}));
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(1, {LookupOutcome::Found, {ALPHA}}));
    EXPECT_EQ(Calls{}, platform.Take());
    EXPECT_TRUE(session.IsProbing());
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(2, {LookupOutcome::Found, {BETA}}));
    EXPECT_EQ(Calls{"raw send 192.0.2.2"}, platform.Take());
    // A dotted start abandons a lookup too, and replies to the earlier start stop counting.
    session.Tick(LIMIT);
    const uint32_t earlier = platform.lastTag;
    session.Start("192.0.2.1");
    platform.Take();
    EXPECT_EQ(LookupNews::None, session.OnLookupAnswer(3, {LookupOutcome::Found, {BETA}}));
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
    EXPECT_FALSE(session.Tick(LIMIT));
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
    EXPECT_EQ(ProbeFailure::AccessDenied, session.Tick(LIMIT));
}

// A port is probed by connecting, whatever the ICMP ways allow, to the addresses of a name
// looked up for IPv4 and IPv6, in the system's order. An address that refuses, or leaves an
// attempt unanswered past the connection allowance, gives way to the next one round the list;
// a slow one that answers is kept. Each attempt may count until the silence limit.
TEST_F(ProbeSessionTest, AHostWithAPortIsConnectedToEachOfItsAddressesInTurn) {
    platform.rawOpens = false;
    ProbeSession rawOnly(platform, ProbeWayChoice::RawSocketOnly);
    EXPECT_FALSE(rawOnly.Start("192.0.2.1:3389"));
    EXPECT_EQ((Calls{"open tcp", "tcp send 192.0.2.1:3389"}), platform.Take());

    // The IPv6 address refuses (its second attempt young); the IPv4 one's handshakes take 3.5 s.
    EXPECT_FALSE(session.Start("server.example:22"));
    EXPECT_EQ(LookupNews::None,
              session.OnLookupAnswer(1, {LookupOutcome::Found, {GAMMA, ALPHA, GAMMA}}));
    EXPECT_EQ((Calls{"open tcp", "lookup 1 server.example any", "tcp send [v6 1]:22"}),
              platform.Take());
    const uint32_t firstToGamma = platform.lastTag;
    EXPECT_EQ(Calls{"tcp send [v6 1]:22"}, TickAt(1000));
    const uint32_t toGamma = platform.lastTag;
    session.OnAttemptFailed(firstToGamma, GAMMA);
    std::vector<uint32_t> toAlpha; // one a second from 2000
    for (uint32_t now = 2000; now <= 33000; now += 1000) {
        EXPECT_EQ("tcp send 192.0.2.1:22", TickAt(now).back()) << now;
        toAlpha.push_back(platform.lastTag);
        platform.now = now + 500;
        if (toAlpha.size() > 3) {
            EXPECT_TRUE(session.CountsReply(toAlpha[toAlpha.size() - 4], ALPHA)) << now;
        }
        // The refresh of 30000 lists ALPHA second.
        if (platform.lastLookup == 2 && now == 30000)
            session.OnLookupAnswer(2, {LookupOutcome::Found, {GAMMA, ALPHA}});
    }
    // Past the silence limit an attempt is abandoned, and its answer no longer counts.
    EXPECT_EQ(std::vector<uint32_t>{toGamma}, platform.abandoned);
    EXPECT_FALSE(session.CountsReply(toGamma, GAMMA));
    // ALPHA falls silent: its attempt of 31000 is over the allowance at 36000. GAMMA cannot be
    // sent to; ALPHA's attempts from before its turn do not count against it.
    EXPECT_EQ(Calls{"tcp send 192.0.2.1:22"}, TickAt(35000));
    platform.sendOutcome = SendOutcome::NotSent;
    EXPECT_EQ(Calls{"tcp send [v6 1]:22"}, TickAt(36000));
    platform.sendOutcome = SendOutcome::Sent;
    EXPECT_EQ(Calls{"tcp send 192.0.2.1:22"}, TickAt(37000));
    const uint32_t lost = platform.lastTag;
    session.OnAttemptFailed(toAlpha.back(), ALPHA); // refused now, but sent before its turn
    // ALPHA answers every later attempt: the one of 37000, lost, then refused, is older news.
    for (uint32_t now = 38000; now <= 44000; now += 1000) {
        EXPECT_EQ(Calls{"tcp send 192.0.2.1:22"}, TickAt(now)) << now;
        platform.now = now + 500;
        EXPECT_TRUE(session.CountsReply(platform.lastTag, ALPHA)) << now;
        if (now == 42000)
            session.OnAttemptFailed(lost, ALPHA);
    }
    EXPECT_EQ(Calls{"tcp send 192.0.2.1:22"}, TickAt(45000));
    session.OnAttemptFailed(platform.lastTag, ALPHA);
    EXPECT_EQ(Calls{"tcp send [v6 1]:22"}, TickAt(46000));

    // However long the limit, the attempts in flight are bounded: one more abandons the oldest.
    session.Start("192.0.2.1:22");
    platform.abandoned.clear();
    for (std::size_t i = 0; i < SentRequests::CAPACITY; ++i)
        session.Tick(UINT32_MAX);
    EXPECT_EQ(std::vector<uint32_t>{platform.lastTag - 16}, platform.abandoned);
    EXPECT_EQ(SentRequests::CAPACITY, session.RequestsInFlight());
}

// A text that is no host to watch starts nothing; an address typed as numbers is never looked
// up, however long it is watched.
TEST_F(ProbeSessionTest, NoHostABareIpv6AddressOrABadPortStartsNothingAndNumbersAreNotLookedUp) {
    for (const auto& [host, failure] :
         {std::pair{"", ProbeFailure::NoHost}, std::pair{":3389", ProbeFailure::NoHost},
          std::pair{"[]:3389", ProbeFailure::NoHost}, std::pair{"::1", ProbeFailure::Ipv6NeedsPort},
          std::pair{"fe80::1%12", ProbeFailure::Ipv6NeedsPort},
          std::pair{"[2001:db8::1]", ProbeFailure::Ipv6NeedsPort},
          std::pair{"192.0.2.1:99999", ProbeFailure::BadPort}}) {
        EXPECT_EQ(failure, session.Start(host)) << host;
        EXPECT_FALSE(session.Tick(LIMIT));
        EXPECT_EQ(Calls{}, platform.Take()) << host;
    }
    session.Start("[fe80::1%12]:3389");
    EXPECT_EQ((Calls{"open tcp", "tcp send [v6 1%12]:3389"}), platform.Take());
    for (const char* host : {"192.0.2.1", "[2001:db8::1]:22"}) {
        session.Start(host);
        LookupTimes(1000, 60000, {LookupOutcome::Found, {ALPHA}});
        EXPECT_EQ(0u, platform.lastLookup) << host;
    }
}

// A socket failure no rule names (a reset raw socket) is a network error that watching
// survives: the way is opened again at the next tick. Winsock that cannot start fails the start.
TEST_F(ProbeSessionTest, ASocketFailureOpensTheWayAgainAtTheNextTick) {
    session.Start("192.0.2.1");
    platform.sendOutcome = SendOutcome::Failed;
    EXPECT_EQ(ProbeFailure::NetworkError, session.Tick(LIMIT));
    platform.sendOutcome = SendOutcome::Sent;
    platform.Take();
    EXPECT_EQ((Calls{"open raw", "raw send 192.0.2.1"}), TickAt(1000));
    EXPECT_EQ(ProbeFailure::NetworkError, session.OnWayFailed(session.Started()));
    EXPECT_FALSE(session.OnWayFailed(session.Started() - 1));
    EXPECT_EQ((Calls{"open raw", "raw send 192.0.2.1"}), TickAt(2000));
    EXPECT_EQ(Calls{"raw send 192.0.2.1"}, TickAt(3000));

    platform.networkStarts = false;
    EXPECT_EQ(ProbeFailure::NetworkError, session.Start("192.0.2.1"));
    EXPECT_FALSE(session.IsProbing());
    EXPECT_EQ(Calls{}, platform.Take());
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
    session.Tick(LIMIT);
    EXPECT_FALSE(session.OnRefused(session.Started()));
    EXPECT_TRUE(session.IsProbing());
}

} // namespace

namespace {

// A web address: no lookup of Tarnwell's own, one GET a tick living until the silence limit,
// answers by tag only; a bad certificate and an unknown name are news once; a text the URL
// reader refuses starts nothing.
TEST_F(ProbeSessionTest, AWebAddressIsAskedForByItsOwnRequests) {
    EXPECT_EQ(ProbeFailure::BadAddress, session.Start("http://nowhere/"));
    EXPECT_EQ(Calls{}, platform.Take());
    EXPECT_FALSE(session.IsProbing());

    EXPECT_FALSE(session.Start("http://h:8080/"));
    EXPECT_EQ((Calls{"open web", "web send h for 10000"}), platform.Take());
    const uint32_t first = platform.lastTag;
    EXPECT_FALSE(session.Tick(20000));
    EXPECT_EQ(Calls{"web send h for 20000"}, platform.Take());
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(first + 7, WebVerdict::Answer));
    EXPECT_EQ(WebNews::HostUnknown, session.OnWebOutcome(first, WebVerdict::UnknownName));
    // A time-out leaves the name unknown; a refusal ends that.
    EXPECT_FALSE(session.Tick(20000));
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(first + 2, WebVerdict::TimedOut));
    EXPECT_TRUE(session.IsHostUnknown());
    EXPECT_EQ(WebNews::HostFound, session.OnWebOutcome(first + 1, WebVerdict::NoAnswer));
    // Each request counts once.
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(first + 1, WebVerdict::Answer));

    for (uint32_t now = 1000; now <= 4000; now += 1000)
        TickAt(now);
    const uint32_t last = platform.lastTag;
    EXPECT_EQ(WebNews::BadCertificate, session.OnWebOutcome(last - 3, WebVerdict::BadCertificate));
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(last - 2, WebVerdict::BadCertificate));
    EXPECT_EQ(WebNews::Answer, session.OnWebOutcome(last - 1, WebVerdict::Answer));
    EXPECT_EQ(WebNews::BadCertificate, session.OnWebOutcome(last, WebVerdict::BadCertificate));
    // Once the name resolved, a failed lookup means that the name server is out of reach: the
    // checks are not made; past the limit a request is given up.
    TickAt(5000);
    TickAt(6000);
    EXPECT_EQ(WebNews::LookupFails,
              session.OnWebOutcome(platform.lastTag, WebVerdict::UnknownName));
    TickAt(16000);
    EXPECT_EQ(std::vector<uint32_t>{platform.lastTag - 2}, platform.abandoned);
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(platform.lastTag - 2, WebVerdict::Answer));
    // A check made again ends that; a lookup that hangs after it is told at the tick, once;
    // a proxy's refusal is news of its own, and a hung lookup older than a check made is none.
    EXPECT_EQ(WebNews::CheckMade, session.OnWebOutcome(platform.lastTag, WebVerdict::TimedOut));
    TickAt(17000);
    platform.stalledTag = platform.lastTag;
    EXPECT_EQ(ProbeFailure::LookupFails, session.Tick(LIMIT));
    EXPECT_FALSE(session.Tick(LIMIT));
    EXPECT_EQ(WebNews::ProxyRefuses,
              session.OnWebOutcome(platform.lastTag, WebVerdict::ProxyRefuses));
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(platform.lastTag - 1, WebVerdict::ProxyRefuses));
    EXPECT_FALSE(session.Tick(LIMIT));
    EXPECT_EQ(WebNews::Answer, session.OnWebOutcome(platform.lastTag, WebVerdict::Answer));

    // WinHTTP's lookup fails after the name resolved: the session's own lookup, as the schedule
    // allows, tells a silent name server (checks not made) from a name gone (a lost check).
    const LookupAnswer silent{LookupOutcome::TryLater, {}}, gone{LookupOutcome::NoSuchName, {}};
    const auto nameLost = [&](uint32_t now) {
        TickAt(now);
        return session.OnWebOutcome(platform.lastTag, WebVerdict::UnknownName);
    };
    EXPECT_EQ(WebNews::LookupFails, nameLost(18000));
    EXPECT_EQ(Calls{}, platform.Take()); // the lookup started at 6000 is under way
    session.OnLookupAnswer(1, silent);
    EXPECT_EQ(WebNews::None, nameLost(18500));
    EXPECT_EQ(WebNews::None, nameLost(19500));
    EXPECT_EQ(Calls{"lookup 2 h any"}, platform.Take());
    session.OnLookupAnswer(2, gone);
    EXPECT_EQ(WebNews::CheckMade, nameLost(20000));
    EXPECT_EQ(WebNews::None, nameLost(21000));
    EXPECT_EQ(Calls{}, platform.Take());
    // A check made forgets what the lookup found.
    TickAt(22000);
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(platform.lastTag, WebVerdict::TimedOut));
    EXPECT_EQ(WebNews::LookupFails, nameLost(23000));

    // A new start: the earlier requests no longer count.
    EXPECT_FALSE(session.Start("http://k:8080/"));
    EXPECT_EQ(WebNews::None, session.OnWebOutcome(platform.lastTag - 1, WebVerdict::Answer));
    EXPECT_EQ(WebNews::Answer, session.OnWebOutcome(platform.lastTag, WebVerdict::Answer));
}

} // namespace
