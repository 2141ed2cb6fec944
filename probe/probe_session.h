// The decisions of the probe, apart from any socket: which way of probing a start uses (a TCP
// connection to the port of a host text that names one; else the raw ICMP socket, or the
// system's ICMP echo service when the raw socket is refused), when the host name is looked up (in
// the background: at the start, and again at most once per check tick, one lookup at a time, and
// again at every tick while the name is unknown), which address the requests go to (the latest good
// one: a failed or slow lookup keeps it), and which replies count (only a reply to a request of the
// running start, from the address that request went to). ProbePlatform is what the session needs of
// the platform; the Windows side implements it and the native tests fake it.
#pragma once

#include "probe/probe_failure.h"
#include "probe/web_address.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The ways of probing a host: an echo request over the raw socket or the echo service, a
// connection to a TCP port, or a GET of a web address.
enum class ProbeWay { RawSocket, EchoService, TcpPort, Web };

// Which ICMP ways a start may use: both (the raw socket first), or one forced by the environment
// variable TARNWELL_PROBE ("raw" or "icmp"). A host text with a port always uses TcpPort.
enum class ProbeWayChoice { Automatic, RawSocketOnly, EchoServiceOnly };

// The choice that TARNWELL_PROBE's value asks for; unset, empty or unknown values mean
// Automatic.
ProbeWayChoice ParseProbeWayChoice(const char* value);

// An IPv4 address, in network byte order as the socket layer holds it: what the ICMP ways
// take.
using Ipv4Word = uint32_t;

// An IPv4 or an IPv6 address, its bytes in the order they go on the wire.
struct ProbeAddress {
    bool isIpv6 = false;
    std::array<uint8_t, 16> bytes{}; // an IPv4 address in the first four
    uint32_t scopeId = 0;            // the interface of a link-local IPv6 address

    static ProbeAddress FromIpv4(Ipv4Word address);
    static ProbeAddress FromIpv6(const uint8_t (&address)[16], uint32_t scopeId);
    // The IPv4 address; 0 for an IPv6 one.
    Ipv4Word ToIpv4() const;
};
bool operator==(const ProbeAddress& a, const ProbeAddress& b);

// A host text that is a dotted IPv4 address (four decimal numbers from 0 to 255, without
// leading zeros) gives its address; anything else is a name to look up.
std::optional<Ipv4Word> ParseDottedIpv4(const std::string& text);

// Which addresses a lookup asks for: IPv4 alone (the ICMP ways), or IPv4 and IPv6 in the
// system's order of preference (a port).
enum class LookupFamily { Ipv4, Any };

// What became of one request (an echo request, a connection attempt) handed to the platform.
enum class SendOutcome {
    Sent,    // on its way; a reply, if any, comes later
    NotSent, // a failure that may pass (network down or unreachable, time-out): try again later
    Refused, // the platform refuses this way of probing to this user
};

// What a finished lookup found.
enum class LookupOutcome {
    Found,      // an address of the family asked for
    NoSuchName, // the name server says the name does not exist
    TryLater,   // a time-out, a silent or unreachable name server, no network
};

struct LookupAnswer {
    LookupOutcome outcome;
    ProbeAddress address; // when Found
};

// The lookup outcome for a Winsock error code of a failed lookup.
LookupOutcome LookupOutcomeForError(int errorCode);

// What a finished lookup means for the watch.
enum class LookupNews {
    None,
    HostUnknown,  // the name server says the name of the start does not exist (yet): the name
                  // is looked up again at every check tick
    HostFound,    // a name that was unknown has an address now; its first request is sent
    AccessDenied, // the first request, sent with the first address, was refused
};

// What a web request's outcome means for the watch.
enum class WebNews {
    None,
    Answer,         // the service answered a request of the running start
    HostUnknown,    // the name server says the host's name does not exist, and it never
                    // answered since the start
    HostFound,      // the unknown name is known now
    BadCertificate, // the server's certificate is not good, where it was (or was not yet seen)
};

// The requests of a start that may still be answered: the tag the platform gave each (what its
// reply carries back) and the address it went to. Holds the latest few; older ones are
// forgotten, as their replies would come far too late to count.
class SentRequests {
public:
    static constexpr std::size_t CAPACITY = 16;

    void Clear() { m_nCount = 0; }
    void Add(uint32_t tag, const ProbeAddress& to);
    // Whether a request with this tag went to `from`; such a request is answered and forgotten.
    bool Take(uint32_t tag, const ProbeAddress& from);

private:
    struct Request {
        uint32_t tag;
        ProbeAddress to;
    };
    std::array<Request, CAPACITY> m_requests{}; // the oldest first
    std::size_t m_nCount = 0;
};

class ProbePlatform {
public:
    virtual ~ProbePlatform() = default;
    // Closes whatever way a previous start opened and opens this one; false when it cannot be
    // opened (a refused raw socket, an echo service that cannot be reached).
    virtual bool OpenWay(ProbeWay way) = 0;
    // Sends one request to the address over the open way: an echo request, or for TcpPort a
    // connection to `port` (0 for the ICMP ways), which abandons the previous attempt. When it
    // is Sent, sets `tag` to what its answer will carry back to name it (the raw socket's send
    // tick, the echo service's request number, the connection attempt's number).
    virtual SendOutcome Send(ProbeWay way, const ProbeAddress& address, uint16_t port,
                             uint32_t& tag) = 0;
    // Starts looking the name up in the background; the answer comes back through
    // ProbeSession::OnLookupAnswer with the same id.
    virtual void StartLookup(uint32_t lookupId, const std::string& name, LookupFamily family) = 0;
    // Reads a web address with the system's URL reader; nothing when it cannot be watched.
    virtual std::optional<WebAddress> ReadWebAddress(const std::string& text) = 0;
    // Sends one GET for the address over the open Web way, given up unanswered lifetimeMs
    // later; its outcome comes back through ProbeSession::OnWebOutcome with `tag`.
    virtual SendOutcome SendWeb(const WebAddress& address, uint32_t lifetimeMs, uint32_t& tag) = 0;
};

class ProbeSession {
public:
    ProbeSession(ProbePlatform& platform, ProbeWayChoice choice);

    // Starts probing the host text: chooses the way (a port, or an ICMP way), takes a dotted
    // address at once or starts looking the name up (abandoning any lookup of an earlier
    // start), and sends the first request as soon as the address is known. A failure (a bad
    // port, a refused user) ends the session.
    std::optional<ProbeFailure> Start(const std::string& host);
    // The check tick: one request to the latest good address, and a new lookup of the name
    // when none is in flight.
    std::optional<ProbeFailure> Tick();
    // A lookup ended. Answers to abandoned lookups are ignored. The first address of a start
    // sends the first request at once. A name that does not exist is reported once and then
    // looked up again at every tick, since a machine without a network yet (at logon, before
    // the VPN) hears the same answer as for a name that will never exist.
    LookupNews OnLookupAnswer(uint32_t lookupId, const LookupAnswer& answer);
    // The platform found that the way in use is refused (the echo service said so on
    // completion); started is the Started() count the refused request belonged to. After the
    // first reply of a start, the same completion is a lost request, and nothing changes.
    std::optional<ProbeFailure> OnRefused(uint32_t started);

    // A web request ended. Only a request of the running start counts; a bad certificate and
    // an unknown name are news once, until an answer or another outcome shows them gone.
    WebNews OnWebOutcome(uint32_t tag, WebVerdict verdict);

    // Whether an answer counts (an echo reply, a connection made): only the answer to a
    // request of the running start, coming from the address that request went to (a name
    // served round-robin moves the requests on while replies from the previous address are
    // still due). tag is what the answer carried.
    bool CountsReply(uint32_t tag, const ProbeAddress& sender);

    bool IsProbing() const { return m_bProbing; }
    ProbeWay Way() const { return m_way; }
    // How many starts there have been; tags what the platform reports about requests.
    uint32_t Started() const { return m_nStarted; }
    bool IsLookupInFlight() const { return m_bLookupInFlight; }
    bool IsHostUnknown() const { return m_bHostUnknown; }

private:
    bool ChooseWay(bool toPort);
    std::optional<ProbeFailure> StartWeb(const std::string& text);
    void StartLookup();
    std::optional<ProbeFailure> SendRequest();
    std::optional<ProbeFailure> Fail(ProbeFailure failure);

    ProbePlatform& m_platform;
    ProbeWayChoice m_choice;
    bool m_bProbing = false;
    ProbeWay m_way = ProbeWay::RawSocket;
    uint32_t m_nStarted = 0;
    uint16_t m_nPort = 0;                  // the port of the TcpPort way
    std::string m_strName;                 // the name to look up; empty for a dotted address
    std::optional<ProbeAddress> m_address; // the latest good address
    bool m_bLookupInFlight = false;
    uint32_t m_nLookupId = 0;    // the id of the latest lookup started
    bool m_bHostUnknown = false; // the name server said no, and no address was found since
    bool m_bAnswered = false;    // a reply of this start counted
    SentRequests m_sent;         // the requests of this start
    std::optional<WebAddress> m_webAddress; // the address of the Web way
    bool m_bBadCertificate = false;         // the latest certificate seen was not good
};
