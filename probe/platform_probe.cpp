// The process-wide probe session and its Windows platform.
#include "probe/platform_probe.h"

#include "probe/echo_service.h"
#include "probe/socket_layer.h"
#include "probe/tcp_port.h"
#include "probe/web_request.h"

#include <cstdlib>

namespace {

HWND g_notifyWnd = nullptr; // the window the probe notifies
std::optional<TraceTarget> g_traceTarget;

class WindowsProbePlatform : public ProbePlatform {
public:
    bool StartNetwork() override { return StartSocketLayer(); }
    bool OpenWay(ProbeWay way) override {
        AbandonWebRequests();
        CloseTcpPortAttempts();
        if (way == ProbeWay::Web) {
            CloseRawProbeSocket();
            return OpenWebSession();
        }
        if (way == ProbeWay::TcpPort) {
            CloseRawProbeSocket();
            return true;
        }
        if (way == ProbeWay::RawSocket)
            return OpenRawProbeSocket(g_notifyWnd);
        CloseRawProbeSocket();
        return OpenEchoService(CollectProbeEchoServiceResults);
    }
    SendOutcome Send(ProbeWay way, const ProbeAddress& address, uint16_t port,
                     uint32_t& tag) override;
    void Abandon(ProbeWay way, uint32_t tag) override {
        if (way == ProbeWay::TcpPort)
            CloseTcpPortAttempt(tag);
        else if (way == ProbeWay::Web)
            AbandonWebRequest(tag);
    }
    void StartLookup(uint32_t lookupId, const std::string& name, LookupFamily family) override {
        StartHostLookup(lookupId, name, family, g_notifyWnd);
    }
    uint32_t TickCount() override { return ::GetTickCount(); }
    std::optional<WebAddress> ReadWebAddress(const std::string& text) override {
        return ::ReadWebAddress(text);
    }
    SendOutcome SendWeb(const WebAddress& address, uint32_t lifetimeMs, uint32_t& tag) override {
        const std::string& host = address.host;
        const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
        if (const std::optional<ProbeAddress> numbers =
                ParseNumericAddress(bracketed ? host.substr(1, host.size() - 2) : host))
            g_traceTarget = TraceTarget{*numbers, address.port, true};
        return StartWebRequest(address, lifetimeMs, g_notifyWnd, tag);
    }
    bool IsWebLookupStalled(uint32_t newerThanTag) override {
        return ::IsWebLookupStalled(newerThanTag);
    }
};

ProbeSession& Session() {
    static WindowsProbePlatform platform;
    static ProbeSession session(platform, ParseProbeWayChoice(std::getenv("TARNWELL_PROBE")));
    return session;
}

SendOutcome WindowsProbePlatform::Send(ProbeWay way, const ProbeAddress& address, uint16_t port,
                                       uint32_t& tag) {
    g_traceTarget = TraceTarget{address, way == ProbeWay::TcpPort ? port : uint16_t{0}, false};
    if (way == ProbeWay::TcpPort)
        return StartTcpPortAttempt(address, port, g_notifyWnd, tag);
    // The ICMP ways speak IPv4 only, and their lookups ask for IPv4 addresses alone.
    if (address.isIpv6)
        return SendOutcome::NotSent;
    if (way == ProbeWay::RawSocket)
        return SendRawEchoRequest(address.ToIpv4(), tag);
    return SendServiceEchoRequest(address.ToIpv4(), Session().Started(), tag);
}

} // namespace

std::optional<ProbeFailure> StartProbe(const std::string& host, HWND window) {
    if (window != nullptr)
        g_notifyWnd = window;
    g_traceTarget.reset();
    return Session().Start(host);
}

std::optional<ProbeFailure> ProbeTick(uint32_t silenceLimitMs) {
    return Session().Tick(silenceLimitMs);
}

LookupNews ProbeOnHostResolved(WPARAM lookupId) {
    const uint32_t id = static_cast<uint32_t>(lookupId);
    const std::optional<LookupAnswer> answer = TakeHostLookupAnswer(id);
    if (!answer)
        return LookupNews::None;
    return Session().OnLookupAnswer(id, *answer);
}

void ReadEchoReply(SOCKET notified) {
    bool failed = false;
    const std::optional<RawEchoReply> raw = ReadRawEchoReply(notified, failed);
    if (failed) {
        // Closed at once, so that a broken socket cannot flood the window with notices; the
        // next check tick opens another.
        CloseRawProbeSocket();
        ProbeSession& session = Session();
        if (const std::optional<ProbeFailure> failure = session.OnWayFailed(session.Started()))
            ::SendMessageA(g_notifyWnd, WM_PROBE_FAILED, static_cast<WPARAM>(*failure), 0);
        return;
    }
    if (!raw || !Session().CountsReply(raw->reply.sendTick, ProbeAddress::FromIpv4(raw->from)))
        return;
    ::SendMessageA(g_notifyWnd, WM_ECHO_REPLY, raw->reply.sequence,
                   static_cast<LPARAM>(raw->reply.roundTripMs));
}

void ReadPortEvent(WPARAM socket, LPARAM event) {
    const std::optional<TcpPortAnswer> answer = ReadTcpPortEvent(socket, event);
    if (answer && !answer->made)
        Session().OnAttemptFailed(answer->tag, answer->to);
    if (!answer || !answer->made || !Session().CountsReply(answer->tag, answer->to))
        return;
    ::SendMessageA(g_notifyWnd, WM_ECHO_REPLY, 0, static_cast<LPARAM>(answer->roundTripMs));
}

void CollectProbeEchoServiceResults() {
    CollectServiceEchoResults([](const EchoServiceResult& result, uint32_t started, uint32_t tag) {
        ProbeSession& session = Session();
        if (started != session.Started())
            return; // a request of an earlier start
        if (result.kind == EchoServiceResult::Reply &&
            session.CountsReply(tag, ProbeAddress::FromIpv4(result.from))) {
            ::SendMessageA(g_notifyWnd, WM_ECHO_REPLY, 0, static_cast<LPARAM>(result.roundTripMs));
        } else if (result.kind == EchoServiceResult::Refused) {
            if (const std::optional<ProbeFailure> failure = session.OnRefused(started))
                ::SendMessageA(g_notifyWnd, WM_PROBE_FAILED, static_cast<WPARAM>(*failure), 0);
        }
    });
}

std::optional<WebNews> TakeProbeWebNews() {
    const std::optional<WebOutcome> outcome = TakeWebOutcome();
    if (!outcome)
        return std::nullopt;
    const WebNews news = Session().OnWebOutcome(outcome->tag, outcome->verdict);
    if (news == WebNews::Answer)
        ::SendMessageA(g_notifyWnd, WM_ECHO_REPLY, 0, static_cast<LPARAM>(outcome->roundTripMs));
    return news;
}

std::optional<TraceTarget> ProbeTraceTarget() {
    return g_traceTarget;
}

void CloseProbe() {
    CloseWebSession();
}
