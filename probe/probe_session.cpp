// The probe's decisions: the way of a start, the lookups, the address and the replies that
// count.
#include "probe/probe_session.h"

#include "probe/host_text.h"

#include <cctype>
#include <cstring>

namespace {

// Winsock's answers of a lookup that the name server gave: the name does not exist, or it has
// no address of the kind asked for. Every other failure may pass.
constexpr int HOST_NOT_FOUND = 11001;
constexpr int NO_DATA = 11004;

// How long the first web request of a start may be answered: the shortest silence limit. The
// check ticks give the limit for the later ones.
constexpr uint32_t FIRST_WEB_LIFETIME_MS = 10000;

bool EqualsIgnoringCase(const char* text, const char* word) {
    for (; *text != '\0' && *word != '\0'; ++text, ++word) {
        if (std::tolower(static_cast<unsigned char>(*text)) != *word)
            return false;
    }
    return *text == '\0' && *word == '\0';
}

} // namespace

ProbeWayChoice ParseProbeWayChoice(const char* value) {
    if (value == nullptr)
        return ProbeWayChoice::Automatic;
    if (EqualsIgnoringCase(value, "raw"))
        return ProbeWayChoice::RawSocketOnly;
    if (EqualsIgnoringCase(value, "icmp"))
        return ProbeWayChoice::EchoServiceOnly;
    return ProbeWayChoice::Automatic;
}

LookupOutcome LookupOutcomeForError(int errorCode) {
    return errorCode == HOST_NOT_FOUND || errorCode == NO_DATA ? LookupOutcome::NoSuchName
                                                               : LookupOutcome::TryLater;
}

ProbeSession::ProbeSession(ProbePlatform& platform, ProbeWayChoice choice)
    : m_platform(platform), m_choice(choice) {}

std::optional<ProbeFailure> ProbeSession::Start(const std::string& host) {
    ++m_nStarted;
    m_bProbing = false;
    m_bLookupInFlight = false; // an earlier lookup is abandoned; its answer will not match
    m_bReopenWay = false;
    m_addresses.Clear();
    m_lookups.Reset();
    m_strName.clear();
    m_bHostUnknown = false;
    m_bAnswered = false;
    m_bSilenceLookedUp = false;
    m_bBadCertificate = false;
    m_bNameResolved = false;
    m_unchecked = WebNews::None;
    m_webLookup.reset();
    m_webAddress.reset();
    m_sent.Clear(); // opening a way abandons whatever the earlier start left in flight
    if (IsWebAddressText(host))
        return StartWeb(host);
    const HostText text = ParseHostText(host);
    switch (text.kind) {
    case HostText::BadPort:
        return Fail(ProbeFailure::BadPort);
    case HostText::NoHost:
        return Fail(ProbeFailure::NoHost);
    case HostText::Ipv6NoPort:
        return Fail(ProbeFailure::Ipv6NeedsPort);
    case HostText::Echo:
    case HostText::Port:
        break;
    }
    if (!m_platform.StartNetwork())
        return Fail(ProbeFailure::NetworkError);
    m_nPort = text.port;
    if (!ChooseWay(text.kind == HostText::Port))
        return Fail(ProbeFailure::AccessDenied);
    m_bProbing = true;
    if (const std::optional<ProbeAddress> numeric = ParseNumericAddress(text.host)) {
        m_addresses.Replace({*numeric});
        if (const std::optional<ProbeFailure> failure = SendRequest())
            return Fail(*failure);
        return std::nullopt;
    }
    m_strName = text.host;
    StartLookup();
    return std::nullopt;
}

std::optional<ProbeFailure> ProbeSession::StartWeb(const std::string& text) {
    m_webAddress = m_platform.ReadWebAddress(text);
    if (!m_webAddress)
        return Fail(ProbeFailure::BadAddress);
    // WinHTTP looks the name up itself, or leaves it to the proxy.
    m_way = ProbeWay::Web;
    if (!m_platform.OpenWay(ProbeWay::Web))
        return Fail(ProbeFailure::NetworkError);
    m_bProbing = true;
    m_nWebLifetimeMs = FIRST_WEB_LIFETIME_MS;
    return SendRequest();
}

bool ProbeSession::ChooseWay(bool toPort) {
    // Any user may connect: the choice of ICMP ways does not apply.
    if (toPort) {
        m_way = ProbeWay::TcpPort;
        return m_platform.OpenWay(ProbeWay::TcpPort);
    }
    if (m_choice != ProbeWayChoice::EchoServiceOnly && m_platform.OpenWay(ProbeWay::RawSocket)) {
        m_way = ProbeWay::RawSocket;
        return true;
    }
    if (m_choice != ProbeWayChoice::RawSocketOnly && m_platform.OpenWay(ProbeWay::EchoService)) {
        m_way = ProbeWay::EchoService;
        return true;
    }
    return false;
}

std::optional<ProbeFailure> ProbeSession::Tick(uint32_t silenceLimitMs) {
    if (!m_bProbing)
        return std::nullopt;
    const uint32_t now = m_platform.TickCount();
    AbandonAll(m_sent.Expire(now, silenceLimitMs));
    if (m_way == ProbeWay::Web) {
        m_nWebLifetimeMs = silenceLimitMs;
        // A lookup that hangs is told before the silence limit passes.
        const bool stalled = m_bNameResolved && m_platform.IsWebLookupStalled(m_nLastMadeTag) &&
                             Unchecked(WebNews::LookupFails) == WebNews::LookupFails;
        const std::optional<ProbeFailure> failure = SendRequest();
        return failure || !stalled ? failure : ProbeFailure::LookupFails;
    }
    if (m_bReopenWay) {
        m_bReopenWay = false;
        if (!ChooseWay(m_way == ProbeWay::TcpPort))
            return Fail(ProbeFailure::AccessDenied);
    }
    // A host that answered and then fell silent may have moved: its name is looked up at once.
    if (m_bAnswered && !m_bSilenceLookedUp && now - m_dwLastAnswer > silenceLimitMs) {
        m_bSilenceLookedUp = true;
        m_lookups.LookAgainNow();
    }
    if (!m_strName.empty() && !m_bLookupInFlight && m_lookups.IsDue(now))
        StartLookup();
    if (m_addresses.IsEmpty())
        return std::nullopt;
    return SendRequest();
}

LookupNews ProbeSession::OnLookupAnswer(uint32_t lookupId, const LookupAnswer& answer) {
    if (!m_bProbing || !m_bLookupInFlight || lookupId != m_nLookupId)
        return LookupNews::None;
    m_bLookupInFlight = false;
    const uint32_t now = m_platform.TickCount();
    const bool found = answer.outcome == LookupOutcome::Found && !answer.addresses.empty();
    if (m_way == ProbeWay::Web) {
        // Only asked when WinHTTP's lookup failed: the answer judges the next such failures.
        m_webLookup = answer.outcome;
        if (answer.outcome == LookupOutcome::Found)
            m_lookups.OnFound(now);
        else
            m_lookups.OnNotFound(now);
        return LookupNews::None;
    }
    if (!m_addresses.IsEmpty()) {
        // A name that resolved is asked for again only at the refresh: later answers redirect
        // the requests of the next ticks, while a name that vanished or a silent name server
        // keeps the last good addresses.
        m_lookups.OnFound(now);
        if (found)
            m_addresses.Replace(answer.addresses);
        return LookupNews::None;
    }
    if (!found) {
        m_lookups.OnNotFound(now);
        if (answer.outcome != LookupOutcome::NoSuchName || m_bHostUnknown)
            return LookupNews::None;
        m_bHostUnknown = true;
        return LookupNews::HostUnknown;
    }
    m_lookups.OnFound(now);
    m_addresses.Replace(answer.addresses);
    const bool wasUnknown = m_bHostUnknown;
    m_bHostUnknown = false;
    switch (SendRequest().value_or(ProbeFailure::UnknownHost)) {
    case ProbeFailure::AccessDenied:
        return LookupNews::AccessDenied;
    case ProbeFailure::NetworkError:
        return LookupNews::NetworkError;
    default:
        return wasUnknown ? LookupNews::HostFound : LookupNews::None;
    }
}

std::optional<ProbeFailure> ProbeSession::OnRefused(uint32_t started) {
    if (!m_bProbing || started != m_nStarted || m_bAnswered)
        return std::nullopt;
    return Fail(ProbeFailure::AccessDenied);
}

std::optional<ProbeFailure> ProbeSession::OnWayFailed(uint32_t started) {
    if (!m_bProbing || started != m_nStarted)
        return std::nullopt;
    m_bReopenWay = true;
    return ProbeFailure::NetworkError;
}

WebNews ProbeSession::OnWebOutcome(uint32_t tag, WebVerdict verdict) {
    if (!m_bProbing || m_way != ProbeWay::Web || !m_sent.Take(tag, ProbeAddress{}))
        return WebNews::None;
    if (verdict == WebVerdict::UnknownName && m_bNameResolved)
        return OnNameLost();
    if (verdict == WebVerdict::NoLookup)
        return m_bNameResolved ? Unchecked(WebNews::LookupFails) : WebNews::None;
    if (verdict == WebVerdict::UnknownName) {
        if (m_bHostUnknown)
            return WebNews::None;
        m_bHostUnknown = true;
        return WebNews::HostUnknown;
    }
    if (verdict == WebVerdict::TimedOut && m_bHostUnknown)
        return WebNews::None;
    // The request got past its lookup.
    const bool wasUnknown = m_bHostUnknown;
    const bool wasUnchecked = m_unchecked != WebNews::None;
    m_bHostUnknown = false;
    m_bNameResolved = true;
    m_webLookup.reset();
    if (static_cast<int32_t>(tag - m_nLastMadeTag) > 0)
        m_nLastMadeTag = tag;
    if (verdict == WebVerdict::ProxyRefuses)
        return Unchecked(WebNews::ProxyRefuses);
    m_unchecked = WebNews::None;
    switch (verdict) {
    case WebVerdict::Answer:
        m_bAnswered = true;
        m_bBadCertificate = false;
        return WebNews::Answer;
    case WebVerdict::BadCertificate:
        if (m_bBadCertificate && !wasUnchecked)
            return WebNews::None;
        m_bBadCertificate = true;
        return WebNews::BadCertificate;
    default:
        break;
    }
    if (wasUnknown)
        return WebNews::HostFound;
    return wasUnchecked ? WebNews::CheckMade : WebNews::None;
}

WebNews ProbeSession::OnNameLost() {
    // WinHTTP says the same for a name that is gone and for a silent name server: the session's
    // own lookup, as the schedule allows, tells them apart.
    if (!m_bLookupInFlight && m_lookups.IsDue(m_platform.TickCount()))
        StartLookup();
    if (!m_webLookup || *m_webLookup == LookupOutcome::TryLater)
        return Unchecked(WebNews::LookupFails);
    // The name server says the name is gone (or answers us while WinHTTP's lookup fails): the
    // check was made and lost, so that the silence rule can break a watch of a retired server.
    const bool wasUnchecked = m_unchecked != WebNews::None;
    m_unchecked = WebNews::None;
    return wasUnchecked ? WebNews::CheckMade : WebNews::None;
}

WebNews ProbeSession::Unchecked(WebNews why) {
    if (m_unchecked == why)
        return WebNews::None;
    m_unchecked = why;
    return why;
}

void ProbeSession::OnAttemptFailed(uint32_t tag, const ProbeAddress& to) {
    if (!m_bProbing)
        return;
    if (const std::optional<uint32_t> sentTick = m_sent.Take(tag, to))
        m_addresses.OnFailed(to, *sentTick);
}

bool ProbeSession::CountsReply(uint32_t tag, const ProbeAddress& sender) {
    const std::optional<uint32_t> sentTick = m_bProbing ? m_sent.Take(tag, sender) : std::nullopt;
    if (!sentTick)
        return false;
    m_bAnswered = true;
    m_dwLastAnswer = m_platform.TickCount();
    m_bSilenceLookedUp = false;
    m_addresses.OnAnswered(sender, *sentTick);
    return true;
}

void ProbeSession::StartLookup() {
    m_bLookupInFlight = true;
    const bool web = m_way == ProbeWay::Web;
    m_platform.StartLookup(++m_nLookupId, web ? m_webAddress->host : m_strName,
                           web || m_way == ProbeWay::TcpPort ? LookupFamily::Any
                                                             : LookupFamily::Ipv4);
}

std::optional<ProbeFailure> ProbeSession::SendRequest() {
    const uint32_t now = m_platform.TickCount();
    // A web request names no address of its own: WinHTTP looks the name up, or the proxy does.
    const bool web = m_way == ProbeWay::Web;
    ProbeAddress to;
    if (!web) {
        const std::optional<uint32_t> since = m_addresses.CurrentSince();
        to = m_addresses.NextForRequest(
            now, since ? m_sent.LongestWaitMs(m_addresses.Current(), *since, now) : 0);
    }
    uint32_t tag = 0;
    const SendOutcome outcome = web ? m_platform.SendWeb(*m_webAddress, m_nWebLifetimeMs, tag)
                                    : m_platform.Send(m_way, to, m_nPort, tag);
    switch (outcome) {
    case SendOutcome::Sent:
        if (const std::optional<uint32_t> dropped = m_sent.Add(tag, to, now))
            m_platform.Abandon(m_way, *dropped);
        break;
    case SendOutcome::NotSent:
        // No way there (no IPv6 on this machine): the next address is tried at the next tick.
        if (!web)
            m_addresses.OnFailed(to, now);
        break;
    case SendOutcome::Refused:
        return Fail(ProbeFailure::AccessDenied);
    case SendOutcome::Failed:
        m_bReopenWay = true;
        return ProbeFailure::NetworkError;
    }
    return std::nullopt;
}

void ProbeSession::AbandonAll(const std::vector<uint32_t>& tags) {
    for (const uint32_t tag : tags)
        m_platform.Abandon(m_way, tag);
}

std::optional<ProbeFailure> ProbeSession::Fail(ProbeFailure failure) {
    m_bProbing = false;
    m_bLookupInFlight = false;
    return failure;
}
