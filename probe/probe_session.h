// The decisions of the probe, apart from any socket: which way of probing a start uses (a TCP
// connection to the port of a host text that names one; else the raw ICMP socket, or the
// system's ICMP echo service when the raw socket is refused), when the host name is looked up (in
// the background, one lookup at a time, as LookupSchedule says), which of the name's addresses
// the next request goes to (as AddressList says), how long a
// request may still be answered (the silence limit, each request with its own tag), and which
// replies count (only a reply to a request of the running start, from the address that request
// went to). ProbePlatform is what the session needs of the platform; the Windows side
// implements it and the native tests fake it.
#pragma once

#include "probe/address_list.h"
#include "probe/lookup_schedule.h"
#include "probe/probe_address.h"
#include "probe/probe_failure.h"
#include "probe/probe_way.h"
#include "probe/sent_requests.h"
#include "probe/web_address.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which ICMP ways a start may use: both (the raw socket first), or one forced by the environment
// variable TARNWELL_PROBE ("raw" or "icmp"). A host text with a port always uses TcpPort.
enum class ProbeWayChoice { Automatic, RawSocketOnly, EchoServiceOnly };

// The choice that TARNWELL_PROBE's value asks for; unset, empty or unknown values mean
// Automatic.
ProbeWayChoice ParseProbeWayChoice(const char* value);

// Which addresses a lookup asks for: IPv4 alone (the ICMP ways), or IPv4 and IPv6 in the
// system's order of preference (a port).
enum class LookupFamily { Ipv4, Any };

// What a finished lookup found.
enum class LookupOutcome {
    Found,      // addresses of the family asked for
    NoSuchName, // the name server says the name does not exist
    TryLater,   // a time-out, a silent or unreachable name server, no network
};

struct LookupAnswer {
    LookupOutcome outcome;
    std::vector<ProbeAddress> addresses; // when Found: the whole answer, in the system's order
};

// The lookup outcome for a Winsock error code of a failed lookup.
LookupOutcome LookupOutcomeForError(int errorCode);

// What a finished lookup means for the watch.
enum class LookupNews {
    None,
    HostUnknown,  // the name server says the name of the start does not exist (yet): the name
                  // is looked up again, ever less often, until it resolves
    HostFound,    // a name that was unknown has an address now; its first request is sent
    AccessDenied, // the first request, sent with the first address, was refused
    NetworkError, // the first request met a socket failure; the way opens again at the next tick
};

// What a web request's outcome means for the watch.
enum class WebNews {
    None,
    Answer,         // the service answered a request of the running start
    HostUnknown,    // the name server says the host's name does not exist, and it never
                    // resolved since the start
    HostFound,      // the unknown name is known now
    BadCertificate, // the server's certificate is not good, where it was (or was not yet seen)
    LookupFails,    // the name resolved before, and now cannot be looked up (a silent or
                    // unreachable name server): the checks are not made until it can, or until
                    // the session's own lookup finds the name gone
    ProxyRefuses,   // the proxy refuses the user's sign-in, or a 407 came with no proxy known
                    // to answer: the checks are not made
    CheckMade,      // after LookupFails or ProxyRefuses, a check was made again and failed
};

class ProbePlatform {
public:
    virtual ~ProbePlatform() = default;
    // Starts the socket layer if needed; false when it cannot start.
    virtual bool StartNetwork() = 0;
    // Closes whatever way a previous start opened (abandoning every request still in flight)
    // and opens this one; false when it cannot be opened (a refused raw socket, an echo
    // service that cannot be reached).
    virtual bool OpenWay(ProbeWay way) = 0;
    // Sends one request to the address over the open way: an echo request, or for TcpPort a
    // connection attempt to `port` (0 for the ICMP ways); earlier attempts stay in flight.
    // When it is Sent, sets `tag` to what its answer will carry back to name it (the raw
    // socket's send tick, the echo service's request number, the connection attempt's number).
    virtual SendOutcome Send(ProbeWay way, const ProbeAddress& address, uint16_t port,
                             uint32_t& tag) = 0;
    // The request with this tag will not count any more: whatever it holds may go.
    virtual void Abandon(ProbeWay way, uint32_t tag) = 0;
    // Starts looking the name up in the background; the answer comes back through
    // ProbeSession::OnLookupAnswer with the same id.
    virtual void StartLookup(uint32_t lookupId, const std::string& name, LookupFamily family) = 0;
    // The platform's 32-bit millisecond tick count.
    virtual uint32_t TickCount() = 0;
    // Reads a web address with the system's URL reader; nothing when it cannot be watched.
    virtual std::optional<WebAddress> ReadWebAddress(const std::string& text) = 0;
    // Sends one GET for the address over the open Web way, given up unanswered lifetimeMs
    // later; its outcome comes back through ProbeSession::OnWebOutcome with `tag`.
    virtual SendOutcome SendWeb(const WebAddress& address, uint32_t lifetimeMs, uint32_t& tag) = 0;
    // Whether a web request newer than this tag has been looking its name up for longer than
    // WEB_LOOKUP_STALL_MS.
    virtual bool IsWebLookupStalled(uint32_t newerThanTag) = 0;
};

class ProbeSession {
public:
    ProbeSession(ProbePlatform& platform, ProbeWayChoice choice);

    // Starts probing the host text: chooses the way (a port, or an ICMP way), takes an address
    // typed as numbers at once or starts looking the name up (abandoning any lookup of an
    // earlier start), and sends the first request as soon as an address is known. A failure (a
    // bad port, no host, a bare IPv6 address, a refused user, no network layer) ends the
    // session.
    std::optional<ProbeFailure> Start(const std::string& host);
    // The check tick: forgets the requests older than silenceLimitMs, opens the way again after
    // a socket failure, starts a lookup when one is due and none is in flight, and sends one
    // request to the next address. For a web address whose name resolved, LookupFails when a
    // later request's lookup stalls.
    std::optional<ProbeFailure> Tick(uint32_t silenceLimitMs);
    // A lookup ended (for a web address, one that judges WinHTTP's failed lookups: no news).
    // Answers to abandoned lookups are ignored. The first address of a start
    // sends the first request at once. A name that does not exist is reported once and then
    // looked up again, since a machine without a network yet (at logon, before the VPN) hears
    // the same answer as for a name that will never exist.
    LookupNews OnLookupAnswer(uint32_t lookupId, const LookupAnswer& answer);
    // The platform found that the way in use is refused (the echo service said so on
    // completion); started is the Started() count the refused request belonged to. After the
    // first reply of a start, the same completion is a lost request, and nothing changes.
    std::optional<ProbeFailure> OnRefused(uint32_t started);
    // The way in use met a socket failure that no rule names (a reset raw socket): it is
    // opened again at the next tick. NetworkError for the running start, else nothing.
    std::optional<ProbeFailure> OnWayFailed(uint32_t started);
    // The connection attempt with this tag, to `to`, was refused or found no way there: it is
    // over, and the next request goes to the next address.
    void OnAttemptFailed(uint32_t tag, const ProbeAddress& to);

    // A web request ended. Only a request of the running start counts; a bad certificate, an
    // unknown name, a failing lookup and a refusing proxy are news once, until another outcome
    // shows them gone. Only an answer, a refusal or a bad certificate end an unknown name. Once
    // the name has resolved, a lookup that fails means that the name server cannot be reached,
    // not that the server is silent, unless the session's own lookup (started then, as the
    // lookup schedule allows) finds the name gone or found: then the check is made and lost.
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
    const AddressList& Addresses() const { return m_addresses; }
    std::size_t RequestsInFlight() const { return m_sent.Count(); }

private:
    bool ChooseWay(bool toPort);
    std::optional<ProbeFailure> StartWeb(const std::string& text);
    void StartLookup();
    std::optional<ProbeFailure> SendRequest();
    std::optional<ProbeFailure> Fail(ProbeFailure failure);
    WebNews Unchecked(WebNews why);
    WebNews OnNameLost();
    void AbandonAll(const std::vector<uint32_t>& tags);

    ProbePlatform& m_platform;
    ProbeWayChoice m_choice;
    bool m_bProbing = false;
    ProbeWay m_way = ProbeWay::RawSocket;
    bool m_bReopenWay = false; // the way failed: open it again at the next tick
    uint32_t m_nStarted = 0;
    uint16_t m_nPort = 0;     // the port of the TcpPort way
    std::string m_strName;    // the name to look up; empty for an address typed as numbers
    AddressList m_addresses;  // the latest good answer
    LookupSchedule m_lookups; // when the name is looked up again
    bool m_bLookupInFlight = false;
    uint32_t m_nLookupId = 0;        // the id of the latest lookup started
    bool m_bHostUnknown = false;     // the name server said no, and no address was found since
    bool m_bAnswered = false;        // a reply of this start counted
    uint32_t m_dwLastAnswer = 0;     // when the latest counted reply came
    bool m_bSilenceLookedUp = false; // the name was looked up for the present silence
    SentRequests m_sent;             // the requests of this start still in flight
    std::optional<WebAddress> m_webAddress; // the address of the Web way
    uint32_t m_nWebLifetimeMs = 0;          // how long its requests may be answered
    bool m_bBadCertificate = false;         // the latest certificate seen was not good
    bool m_bNameResolved = false;           // a web request got past its lookup
    WebNews m_unchecked = WebNews::None;    // LookupFails or ProxyRefuses while checks are not made
    uint32_t m_nLastMadeTag = 0;            // the latest web request that got past its lookup
    // What the session's own lookup of the web address's name found since the latest request
    // got past its lookup: it tells a name gone from a silent name server.
    std::optional<LookupOutcome> m_webLookup;
};
