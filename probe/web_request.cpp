// Web requests over WinHTTP's asynchronous mode.
//
// Each request has a record that the window's thread owns: it is made when the request is sent
// and freed when the window's thread hears that the request handle closed, WinHTTP's last word
// on it. Only the window's thread closes handles. The callbacks write each request's outcome,
// and then its closing, into a shared queue and post WM_WEB_EVENT; whatever they need after
// handing news over they copy before, so that they never touch a record the window's thread may
// have freed, and they make no WinHTTP call on a request once its outcome is reported.
//
// WinHTTP judges the server's certificate itself, before anything is sent: its certificate
// failure notice carries what was wrong. Revocation is not checked (WinHTTP checks it only when
// asked with WINHTTP_ENABLE_SSL_REVOCATION, which Tarnwell never sets).
#include "probe/web_request.h"

#include "framework/wide_text.h"
#include "probe/tls_certificate.h"
#include "tarnwell_version.h"

#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t MAX_REQUESTS_IN_FLIGHT = 4;
// WinHTTP's automatic proxy (Windows 8.1 and later): the system's settings without a
// synchronous auto-detection.
constexpr DWORD ACCESS_TYPE_AUTOMATIC_PROXY = 4;
// At exit, how long the last callbacks may take to return.
constexpr DWORD LAST_CALLBACK_WAIT_MS = 3000;
// The environment variable that names a proxy ("host:port") to ask through instead of the
// system's: read when the session opens, for troubleshooting and the tests.
constexpr const char* PROXY_VARIABLE = "TARNWELL_WEB_PROXY";

struct WebRequest {
    // Set before the request is sent and never changed while callbacks may run.
    uint32_t tag = 0;
    HWND window = nullptr;
    DWORD sentTick = 0;
    std::string host; // for a look at the certificate after a failed handshake
    uint16_t port = 0;
    bool secure = false;
    // The connection may be kept between the legs of a proxy's sign-in (NTLM's challenge
    // needs it): a proxy asked for sign-in before the request was opened.
    bool keepAlive = false;
    // The window's thread's.
    HINTERNET connect = nullptr;
    HINTERNET request = nullptr; // null once closed
    UINT_PTR deadlineTimer = 0;
    // The callbacks' (WinHTTP does not call back for one request on two threads at once).
    bool reported = false;
    DWORD secureFailure = 0; // the flags of the certificate failure notice
    int signIns = 0;         // the proxy sign-ins tried
    // Written by the callbacks, read by the window's thread: when the name lookup began (the
    // tick with its lowest bit set), 0 while none is under way.
    std::atomic<uint32_t> resolvingSince{0};
};

// What the callbacks, and the looks at certificates, report to the window's thread.
struct News {
    WebRequest* record; // null for a look at a certificate
    bool closed;        // the request handle closed: the record may go
    WebOutcome outcome;
};

struct SharedNews {
    std::mutex lock;
    std::deque<News> queue;
};

// Never destroyed: a callback may still run while the process ends.
SharedNews& Shared() {
    static auto* news = new SharedNews;
    return *news;
}

HINTERNET g_session = nullptr;
bool g_bNamedProxy = false; // TARNWELL_WEB_PROXY names the proxy
// A proxy has asked for sign-in: the requests opened since keep their connection.
std::atomic<bool> g_bProxyAsksSignIn{false};
// A look at a certificate is under way (one at a time, on a thread of its own).
std::atomic<bool> g_bLookingAtCertificate{false};
HANDLE g_sessionUnloaded = nullptr;
std::vector<std::unique_ptr<WebRequest>> g_requests; // sent and not yet closed by WinHTTP
uint32_t g_nLastTag = 0;

void Report(WebRequest& record, bool closed, WebVerdict verdict, uint32_t roundTripMs = 0) {
    if (!closed) {
        if (record.reported)
            return;
        record.reported = true;
    }
    // A request opened before the proxy first asked for sign-in could not keep its connection
    // for NTLM's challenge: its refusal is a lost check, not the proxy's word.
    if (verdict == WebVerdict::ProxyRefuses && !record.keepAlive)
        verdict = WebVerdict::NoAnswer;
    // Copied first: once the news is handed over, the window's thread may free the record.
    const HWND window = record.window;
    const News news{&record, closed, {record.tag, verdict, roundTripMs}};
    {
        SharedNews& shared = Shared();
        std::lock_guard<std::mutex> hold(shared.lock);
        shared.queue.push_back(news);
    }
    ::PostMessageA(window, WM_WEB_EVENT, 0, 0);
}

bool SetDword(HINTERNET handle, DWORD option, DWORD value) {
    return ::WinHttpSetOption(handle, option, &value, sizeof(value)) != FALSE;
}

// A proxy asks for sign-in: signs in as the user who runs Tarnwell (Negotiate or NTLM, no name
// or password) and sends the request again, at most MAX_PROXY_SIGN_INS times. The server's own
// requests for credentials are never answered: authentication stays disabled for it.
bool SignInToProxy(HINTERNET request, WebRequest& record) {
    DWORD offered = 0, first = 0, target = 0;
    if (!::WinHttpQueryAuthSchemes(request, &offered, &first, &target) ||
        target != WINHTTP_AUTH_TARGET_PROXY)
        return false;
    g_bProxyAsksSignIn = true;
    const uint32_t scheme = ProxySignInScheme(offered, record.signIns);
    if (scheme == 0)
        return false;
    ++record.signIns;
    // The user's own credentials may go to the proxy.
    SetDword(request, WINHTTP_OPTION_AUTOLOGON_POLICY, WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW);
    const DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&record);
    return ::WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr, nullptr,
                                   nullptr) &&
           ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                0, 0, context);
}

void OnHeaders(HINTERNET request, WebRequest& record) {
    const DWORD roundTripMs = ::GetTickCount() - record.sentTick;
    DWORD code = 0;
    DWORD size = sizeof(code);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        Report(record, false, WebVerdict::NoAnswer);
    } else if (code != PROXY_SIGN_IN_STATUS || !SignInToProxy(request, record)) {
        Report(record, false, VerdictForStatus(code), roundTripMs);
    }
}

void CALLBACK OnWinHttpStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                              DWORD) {
    auto* record = reinterpret_cast<WebRequest*>(context);
    if (record == nullptr)
        return; // a notice of the session or of a connection
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_RESOLVING_NAME:
        record->resolvingSince = ::GetTickCount() | 1;
        break;
    case WINHTTP_CALLBACK_STATUS_NAME_RESOLVED:
        record->resolvingSince = 0;
        break;
    case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
        // The request error that follows reports it.
        record->secureFailure = *static_cast<const DWORD*>(info);
        break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        if (!record->reported && !::WinHttpReceiveResponse(handle, nullptr))
            Report(*record, false, WebVerdict::NoAnswer);
        break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        if (!record->reported)
            OnHeaders(handle, *record);
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        Report(*record, false,
               VerdictForError(static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError,
                               record->secureFailure, record->resolvingSince != 0,
                               record->signIns > 0));
        break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        // Closed by its deadline, or abandoned, before it had an outcome.
        Report(*record, false,
               record->resolvingSince != 0 ? WebVerdict::NoLookup : WebVerdict::TimedOut);
        Report(*record, true, WebVerdict::NoAnswer);
        break;
    default:
        break;
    }
}

WebRequest* FindRequest(const WebRequest* record) {
    for (const auto& request : g_requests) {
        if (request.get() == record)
            return request.get();
    }
    return nullptr;
}

// Closes the request handle once; WinHTTP's closing notice frees the record later.
void CloseRequest(WebRequest& record) {
    if (record.deadlineTimer != 0) {
        ::KillTimer(nullptr, record.deadlineTimer);
        record.deadlineTimer = 0;
    }
    if (record.request != nullptr) {
        HINTERNET request = record.request;
        record.request = nullptr;
        ::WinHttpCloseHandle(request);
    }
}

void CALLBACK OnDeadline(HWND, UINT, UINT_PTR timer, DWORD) {
    for (const auto& request : g_requests) {
        if (request->deadlineTimer == timer) {
            CloseRequest(*request);
            return;
        }
    }
    ::KillTimer(nullptr, timer);
}

// Frees the record of a request whose handle WinHTTP has closed.
void ForgetRequest(WebRequest& record) {
    CloseRequest(record);
    if (record.connect != nullptr)
        ::WinHttpCloseHandle(record.connect);
    g_requests.erase(std::find_if(g_requests.begin(), g_requests.end(),
                                  [&](const auto& request) { return request.get() == &record; }));
}

// After a handshake that failed without a certificate failure notice, looks at the certificate
// on a thread of its own, with copies of what it needs; its verdict comes as the request's
// outcome. False when no look can start (one is under way, or a proxy stands between).
bool LookAtCertificate(const WebRequest& record) {
    if (!record.secure || g_bNamedProxy || g_bLookingAtCertificate.exchange(true))
        return false;
    std::thread([host = record.host, port = record.port, tag = record.tag, window = record.window] {
        const bool bad = CheckShownCertificate(host, port) == ShownCertificate::Bad;
        {
            SharedNews& shared = Shared();
            std::lock_guard<std::mutex> hold(shared.lock);
            shared.queue.push_back(
                {nullptr,
                 false,
                 {tag, bad ? WebVerdict::BadCertificate : WebVerdict::NoAnswer, 0}});
        }
        g_bLookingAtCertificate = false;
        ::PostMessageA(window, WM_WEB_EVENT, 0, 0);
    }).detach();
    return true;
}

} // namespace

std::optional<WebAddress> ReadWebAddress(const std::string& text) {
    std::string literal;
    const std::optional<std::string> readerText = TextForUrlReader(text, literal);
    if (!readerText)
        return std::nullopt;
    const WideChars wide = WideText(*readerText);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    // Lengths of -1 ask for pointers into the text rather than copies.
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = parts.dwUserNameLength = parts.dwPasswordLength =
            static_cast<DWORD>(-1);
    if (wide.size() <= 1 || !::WinHttpCrackUrl(wide.data(), 0, 0, &parts))
        return std::nullopt;
    CrackedUrl cracked;
    cracked.isHttp = parts.nScheme == INTERNET_SCHEME_HTTP;
    cracked.isHttps = parts.nScheme == INTERNET_SCHEME_HTTPS;
    cracked.host = NarrowText(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    cracked.port = parts.nPort;
    cracked.path = NarrowText(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    cracked.extra = NarrowText(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    cracked.hasUserInfo = parts.dwUserNameLength > 0 || parts.dwPasswordLength > 0;
    return WebAddressFromParts(cracked, literal);
}

bool OpenWebSession() {
    if (g_session != nullptr)
        return true;
    const WideChars agent = WideText(std::string("Tarnwell/") + TARNWELL_VERSION_TEXT);
    HINTERNET session = nullptr;
    if (const char* proxy = std::getenv(PROXY_VARIABLE); proxy != nullptr && *proxy != '\0') {
        // Also for local addresses, which WinHTTP would otherwise ask directly.
        session = ::WinHttpOpen(agent.data(), WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                                WideText(proxy).data(), L"<-loopback>", WINHTTP_FLAG_ASYNC);
        g_bNamedProxy = true;
    } else {
        session = ::WinHttpOpen(agent.data(), ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
        if (session == nullptr) // before Windows 8.1: the proxy set with netsh, or none
            session =
                ::WinHttpOpen(agent.data(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                              WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    }
    if (session == nullptr)
        return false;
    g_session = session;
    g_sessionUnloaded = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (g_sessionUnloaded != nullptr)
        ::WinHttpSetOption(session, WINHTTP_OPTION_UNLOAD_NOTIFY_EVENT, &g_sessionUnloaded,
                           sizeof(g_sessionUnloaded));
    SetDword(session, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
    const DWORD notices =
        WINHTTP_CALLBACK_FLAG_RESOLVE_NAME | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE |
        WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE |
        WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE | WINHTTP_CALLBACK_FLAG_HANDLES;
    ::WinHttpSetStatusCallback(session, OnWinHttpStatus, notices, 0);
    return true;
}

SendOutcome StartWebRequest(const WebAddress& address, uint32_t lifetimeMs, HWND window,
                            uint32_t& tag) {
    const auto inFlight = std::count_if(g_requests.begin(), g_requests.end(),
                                        [](const auto& request) { return request->request; });
    if (!OpenWebSession() || static_cast<std::size_t>(inFlight) >= MAX_REQUESTS_IN_FLIGHT)
        return SendOutcome::NotSent;
    auto record = std::make_unique<WebRequest>();
    record->tag = ++g_nLastTag;
    record->window = window;
    record->host = address.host;
    record->port = address.port;
    record->secure = address.secure;
    record->keepAlive = g_bProxyAsksSignIn;
    record->connect =
        ::WinHttpConnect(g_session, AsciiHostName(address.host).data(), address.port, 0);
    if (record->connect == nullptr)
        return SendOutcome::NotSent;
    // Never from a cache: a proxy's copy would hide a server that went down.
    record->request =
        ::WinHttpOpenRequest(record->connect, L"GET", WideText(address.path).data(), nullptr,
                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                             WINHTTP_FLAG_REFRESH | (address.secure ? WINHTTP_FLAG_SECURE : 0));
    if (record->request == nullptr) {
        ::WinHttpCloseHandle(record->connect);
        return SendOutcome::NotSent;
    }
    // The record names the request in every notice, also the closing one of a request that
    // could not be sent.
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(record.get());
    ::WinHttpSetOption(record->request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context));
    // No cookies, no redirects followed, no credentials sent to the server (nor, until a proxy
    // asks, to a proxy), a new connection every time unless a proxy asks for sign-in (its
    // connection is then kept: the proxy asks the server anew for every request, so a kept
    // connection hides no dead server). The security flags are left alone, so that WinHTTP
    // refuses a bad certificate before the request goes out.
    SetDword(record->request, WINHTTP_OPTION_DISABLE_FEATURE,
             WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_AUTHENTICATION |
                 (record->keepAlive ? 0 : WINHTTP_DISABLE_KEEP_ALIVE));
    SetDword(record->request, WINHTTP_OPTION_AUTOLOGON_POLICY,
             WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);
    const int timeoutMs = static_cast<int>(std::min<uint32_t>(lifetimeMs, 0x7FFFFFFF));
    ::WinHttpSetTimeouts(record->request, timeoutMs, timeoutMs, timeoutMs, timeoutMs);
    record->sentTick = ::GetTickCount();
    WebRequest& sent = *record;
    g_requests.push_back(std::move(record));
    if (!::WinHttpSendRequest(sent.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, context)) {
        // The closing notice frees the record.
        CloseRequest(sent);
        return SendOutcome::NotSent;
    }
    // WinHTTP's own time-outs leave out the name lookup, and its connect time-out applies to
    // each address in turn: the request's own deadline closes it.
    sent.deadlineTimer = ::SetTimer(nullptr, 0, lifetimeMs, OnDeadline);
    tag = sent.tag;
    return SendOutcome::Sent;
}

std::optional<WebOutcome> TakeWebOutcome() {
    for (;;) {
        News news;
        {
            SharedNews& shared = Shared();
            std::lock_guard<std::mutex> hold(shared.lock);
            if (shared.queue.empty())
                return std::nullopt;
            news = shared.queue.front();
            shared.queue.pop_front();
        }
        if (news.record == nullptr)
            return news.outcome; // a look at a certificate
        WebRequest* record = FindRequest(news.record);
        if (record == nullptr)
            continue;
        if (news.closed) {
            ForgetRequest(*record);
            continue;
        }
        // The outcome is known: the rest of the answer is not read.
        CloseRequest(*record);
        if (news.outcome.verdict != WebVerdict::HandshakeFailed)
            return news.outcome;
        if (!LookAtCertificate(*record)) {
            news.outcome.verdict = WebVerdict::NoAnswer;
            return news.outcome;
        }
    }
}

bool IsWebLookupStalled(uint32_t newerThanTag) {
    const uint32_t now = ::GetTickCount();
    for (const auto& request : g_requests) {
        const uint32_t since = request->resolvingSince;
        if (request->request != nullptr && static_cast<int32_t>(request->tag - newerThanTag) > 0 &&
            since != 0 && now - since > WEB_LOOKUP_STALL_MS)
            return true;
    }
    return false;
}

void AbandonWebRequest(uint32_t tag) {
    for (const auto& request : g_requests) {
        if (request->tag == tag)
            CloseRequest(*request);
    }
}

void AbandonWebRequests() {
    for (const auto& request : g_requests)
        CloseRequest(*request);
}

void CloseWebSession() {
    if (g_session == nullptr)
        return;
    AbandonWebRequests();
    for (const auto& request : g_requests) {
        if (request->connect != nullptr)
            ::WinHttpCloseHandle(request->connect);
        request->connect = nullptr;
    }
    ::WinHttpCloseHandle(g_session);
    if (g_sessionUnloaded != nullptr)
        ::WaitForSingleObject(g_sessionUnloaded, LAST_CALLBACK_WAIT_MS);
    // The records stay: a callback that outlived the wait may still write to one.
    for (auto& request : g_requests)
        request.release();
    g_requests.clear();
    g_session = nullptr;
}
