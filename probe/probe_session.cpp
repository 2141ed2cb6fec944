// The probe's decisions: the way of a start, the lookups, the address and the replies that
// count.
#include "probe/probe_session.h"

#include "probe/host_text.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// Winsock's answers of a lookup that the name server gave: the name does not exist, or it has
// no address of the kind asked for. Every other failure may pass.
constexpr int HOST_NOT_FOUND = 11001;
constexpr int NO_DATA = 11004;

// How long a web request may be answered.
constexpr uint32_t WEB_LIFETIME_MS = 10000;

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

ProbeAddress ProbeAddress::FromIpv4(Ipv4Word address) {
    ProbeAddress result;
    std::memcpy(result.bytes.data(), &address, sizeof(address));
    return result;
}

ProbeAddress ProbeAddress::FromIpv6(const uint8_t (&address)[16], uint32_t scopeId) {
    ProbeAddress result;
    result.isIpv6 = true;
    result.scopeId = scopeId;
    std::memcpy(result.bytes.data(), address, sizeof(address));
    return result;
}

Ipv4Word ProbeAddress::ToIpv4() const {
    Ipv4Word address = 0;
    if (!isIpv6)
        std::memcpy(&address, bytes.data(), sizeof(address));
    return address;
}

bool operator==(const ProbeAddress& a, const ProbeAddress& b) {
    return a.isIpv6 == b.isIpv6 && a.bytes == b.bytes && a.scopeId == b.scopeId;
}

std::optional<Ipv4Word> ParseDottedIpv4(const std::string& text) {
    uint8_t bytes[4] = {};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
               digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        // A leading zero is left to the resolver, which may read the part as octal.
        const bool leadingZero = digits > 1 && text[at - digits] == '0';
        if (digits == 0 || digits > 3 || value > 255 || leadingZero)
            return std::nullopt;
        bytes[part] = static_cast<uint8_t>(value);
    }
    if (at != text.size())
        return std::nullopt;
    // The bytes in the order they go on the wire, whatever the order of this machine.
    Ipv4Word address = 0;
    std::memcpy(&address, bytes, sizeof(address));
    return address;
}

LookupOutcome LookupOutcomeForError(int errorCode) {
    return errorCode == HOST_NOT_FOUND || errorCode == NO_DATA ? LookupOutcome::NoSuchName
                                                               : LookupOutcome::TryLater;
}

void SentRequests::Add(uint32_t tag, const ProbeAddress& to) {
    if (m_nCount == CAPACITY) {
        std::move(m_requests.begin() + 1, m_requests.end(), m_requests.begin());
        --m_nCount;
    }
    m_requests[m_nCount++] = {tag, to};
}

bool SentRequests::Take(uint32_t tag, const ProbeAddress& from) {
    const auto end = m_requests.begin() + static_cast<std::ptrdiff_t>(m_nCount);
    const auto found = std::find_if(m_requests.begin(), end, [&](const Request& request) {
        return request.tag == tag && request.to == from;
    });
    if (found == end)
        return false;
    std::move(found + 1, end, found);
    --m_nCount;
    return true;
}

ProbeSession::ProbeSession(ProbePlatform& platform, ProbeWayChoice choice)
    : m_platform(platform), m_choice(choice) {}

std::optional<ProbeFailure> ProbeSession::Start(const std::string& host) {
    ++m_nStarted;
    m_bProbing = false;
    m_bLookupInFlight = false; // an earlier lookup is abandoned; its answer will not match
    m_address.reset();
    m_strName.clear();
    m_bHostUnknown = false;
    m_bAnswered = false;
    m_bBadCertificate = false;
    m_webAddress.reset();
    m_sent.Clear();
    if (IsWebAddressText(host))
        return StartWeb(host);
    const HostText text = ParseHostText(host);
    if (text.kind == HostText::BadPort)
        return Fail(ProbeFailure::BadPort);
    m_nPort = text.port;
    if (!ChooseWay(text.kind == HostText::Port))
        return Fail(ProbeFailure::AccessDenied);
    m_bProbing = true;
    if (const std::optional<Ipv4Word> dotted = ParseDottedIpv4(text.host)) {
        m_address = ProbeAddress::FromIpv4(*dotted);
        return SendRequest();
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
    m_platform.OpenWay(ProbeWay::Web);
    m_bProbing = true;
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

std::optional<ProbeFailure> ProbeSession::Tick() {
    if (!m_bProbing)
        return std::nullopt;
    if (m_way == ProbeWay::Web)
        return SendRequest();
    if (!m_strName.empty() && !m_bLookupInFlight)
        StartLookup();
    if (!m_address)
        return std::nullopt;
    return SendRequest();
}

LookupNews ProbeSession::OnLookupAnswer(uint32_t lookupId, const LookupAnswer& answer) {
    if (!m_bProbing || !m_bLookupInFlight || lookupId != m_nLookupId)
        return LookupNews::None;
    m_bLookupInFlight = false;
    if (m_address) {
        // Later addresses only redirect the requests of the next ticks; a name that vanished
        // or a silent name server keeps the last good address.
        if (answer.outcome == LookupOutcome::Found)
            m_address = answer.address;
        return LookupNews::None;
    }
    switch (answer.outcome) {
    case LookupOutcome::Found: {
        m_address = answer.address;
        const bool wasUnknown = m_bHostUnknown;
        m_bHostUnknown = false;
        if (SendRequest())
            return LookupNews::AccessDenied;
        return wasUnknown ? LookupNews::HostFound : LookupNews::None;
    }
    case LookupOutcome::NoSuchName:
        if (m_bHostUnknown)
            return LookupNews::None;
        m_bHostUnknown = true;
        return LookupNews::HostUnknown;
    case LookupOutcome::TryLater:
        break;
    }
    return LookupNews::None;
}

std::optional<ProbeFailure> ProbeSession::OnRefused(uint32_t started) {
    if (!m_bProbing || started != m_nStarted || m_bAnswered)
        return std::nullopt;
    return Fail(ProbeFailure::AccessDenied);
}

WebNews ProbeSession::OnWebOutcome(uint32_t tag, WebVerdict verdict) {
    if (!m_bProbing || m_way != ProbeWay::Web || !m_sent.Take(tag, ProbeAddress{}))
        return WebNews::None;
    const bool wasUnknown = m_bHostUnknown;
    m_bHostUnknown = verdict == WebVerdict::UnknownName && !m_bAnswered;
    switch (verdict) {
    case WebVerdict::Answer:
        m_bAnswered = true;
        m_bBadCertificate = false;
        return WebNews::Answer;
    case WebVerdict::BadCertificate:
        if (m_bBadCertificate)
            return WebNews::None;
        m_bBadCertificate = true;
        return WebNews::BadCertificate;
    case WebVerdict::UnknownName:
        // After an answer, a failed lookup is a lost request like any other.
        return m_bHostUnknown && !wasUnknown ? WebNews::HostUnknown : WebNews::None;
    case WebVerdict::NoAnswer:
        break;
    }
    return wasUnknown ? WebNews::HostFound : WebNews::None;
}

bool ProbeSession::CountsReply(uint32_t tag, const ProbeAddress& sender) {
    if (!m_bProbing || !m_sent.Take(tag, sender))
        return false;
    m_bAnswered = true;
    return true;
}

void ProbeSession::StartLookup() {
    m_bLookupInFlight = true;
    m_platform.StartLookup(++m_nLookupId, m_strName,
                           m_way == ProbeWay::TcpPort ? LookupFamily::Any : LookupFamily::Ipv4);
}

std::optional<ProbeFailure> ProbeSession::SendRequest() {
    uint32_t tag = 0;
    // A web request names no address of its own: its answer comes through its tag alone.
    const bool web = m_way == ProbeWay::Web;
    const SendOutcome outcome = web ? m_platform.SendWeb(*m_webAddress, WEB_LIFETIME_MS, tag)
                                    : m_platform.Send(m_way, *m_address, m_nPort, tag);
    switch (outcome) {
    case SendOutcome::Sent:
        m_sent.Add(tag, web ? ProbeAddress{} : *m_address);
        break;
    case SendOutcome::NotSent:
        break;
    case SendOutcome::Refused:
        return Fail(ProbeFailure::AccessDenied);
    }
    return std::nullopt;
}

std::optional<ProbeFailure> ProbeSession::Fail(ProbeFailure failure) {
    m_bProbing = false;
    m_bLookupInFlight = false;
    return failure;
}
