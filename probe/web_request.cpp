// Web requests over WinHTTP's asynchronous mode.
//
// Each request has a record that the window's thread owns: it is made when the request is sent
// and freed when WinHTTP reports that the request handle closed, WinHTTP's last word on it.
// Only the window's thread closes handles. The callbacks write each request's outcome into a
// shared queue and post WM_WEB_EVENT; they touch no other state of the window's thread.
// CERT_CHAIN_PARA with its time-out for fetching missing certificates.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "probe/web_request.h"

#include "framework/wide_text.h"

#include "tarnwell_version.h"

#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr std::size_t MAX_REQUESTS_IN_FLIGHT = 4;
// WinHTTP's automatic proxy (Windows 8.1 and later): the system's settings without a
// synchronous auto-detection.
constexpr DWORD ACCESS_TYPE_AUTOMATIC_PROXY = 4;
// How long a chain build may wait on fetching a missing intermediate certificate.
constexpr DWORD CHAIN_URL_TIMEOUT_MS = 5000;
// At exit, how long the last callbacks may take to return.
constexpr DWORD LAST_CALLBACK_WAIT_MS = 3000;
// The certificate errors that WinHTTP itself would refuse; Tarnwell judges them itself, after
// the handshake, so that the status line can tell a bad certificate from a failed handshake
// on every system.
constexpr DWORD IGNORED_CERTIFICATE_ERRORS =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
    SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;

// A null-terminated wide text for WinHTTP. A vector rather than std::wstring: the wide string's
// library code would add about 24 KB to the program for these few texts.

struct WebRequest {
    // Set before the request is sent and never changed while callbacks may run.
    uint32_t tag = 0;
    HWND window = nullptr;
    DWORD sentTick = 0;
    std::wstring serverName; // what the certificate must name
    bool secure = false;
    // The window's thread's.
    HINTERNET connect = nullptr;
    HINTERNET request = nullptr; // null once closed
    UINT_PTR deadlineTimer = 0;
    // The callbacks' (WinHTTP does not call back for one request on two threads at once).
    bool reported = false;
};

// What the callbacks report to the window's thread.
struct News {
    WebRequest* record;
    bool closed; // the request handle closed: the record may go
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
HANDLE g_sessionUnloaded = nullptr;
std::vector<std::unique_ptr<WebRequest>> g_requests; // sent and not yet closed by WinHTTP
uint32_t g_nLastTag = 0;

// An international name in its ASCII form (IDN), which WinHTTP does not make itself, as the
// name server and the certificate know it; any other text as it is.
std::wstring AsciiHost(const std::string& host) {
    const std::wstring wide = WideText(host);
    wchar_t ascii[256] = {};
    const int length = ::IdnToAscii(0, wide.c_str(), -1, ascii, static_cast<int>(std::size(ascii)));
    return length > 0 ? std::wstring(ascii) : wide;
}

void Report(WebRequest& record, bool closed, WebVerdict verdict, uint32_t roundTripMs = 0) {
    if (!closed) {
        if (record.reported)
            return;
        record.reported = true;
    }
    {
        SharedNews& news = Shared();
        std::lock_guard<std::mutex> hold(news.lock);
        news.queue.push_back({&record, closed, {record.tag, verdict, roundTripMs}});
    }
    ::PostMessageA(record.window, WM_WEB_EVENT, 0, 0);
}

// Whether the certificate the server showed is trusted, in its time and names the server,
// checked as WinHTTP would but without revocation.
bool HasGoodCertificate(HINTERNET request, const WebRequest& record) {
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof(certificate);
    if (!::WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) ||
        certificate == nullptr)
        return false;
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof(chainPara);
    chainPara.dwUrlRetrievalTimeout = CHAIN_URL_TIMEOUT_MS;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    bool good = false;
    if (::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore,
                                  &chainPara, 0, nullptr, &chain)) {
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
        ssl.cbSize = sizeof(ssl);
        ssl.dwAuthType = AUTHTYPE_SERVER;
        ssl.pwszServerName = const_cast<wchar_t*>(record.serverName.data());
        CERT_CHAIN_POLICY_PARA policyPara = {};
        policyPara.cbSize = sizeof(policyPara);
        policyPara.pvExtraPolicyPara = &ssl;
        CERT_CHAIN_POLICY_STATUS status = {};
        status.cbSize = sizeof(status);
        if (::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &status))
            good = IsGoodCertificate(chain->TrustStatus.dwErrorStatus, status.dwError);
        ::CertFreeCertificateChain(chain);
    }
    ::CertFreeCertificateContext(certificate);
    return good;
}

void CALLBACK OnWinHttpStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                              DWORD) {
    auto* record = reinterpret_cast<WebRequest*>(context);
    if (record == nullptr)
        return; // a notice of the session or of a connection
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDING_REQUEST:
        // The handshake is done: a certificate that is not good makes the outcome, whatever
        // the server answers; the window's thread closes the request when it hears.
        if (record->secure && !HasGoodCertificate(handle, *record))
            Report(*record, false, WebVerdict::BadCertificate);
        break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        if (!::WinHttpReceiveResponse(handle, nullptr))
            Report(*record, false, WebVerdict::NoAnswer);
        break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: {
        const DWORD roundTripMs = ::GetTickCount() - record->sentTick;
        DWORD code = 0;
        DWORD size = sizeof(code);
        const bool read =
            ::WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                  WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                                  WINHTTP_NO_HEADER_INDEX) != FALSE;
        Report(*record, false, read ? VerdictForStatus(code) : WebVerdict::NoAnswer, roundTripMs);
        break;
    }
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        Report(*record, false,
               VerdictForError(static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError));
        break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
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

bool SetDword(HINTERNET handle, DWORD option, DWORD value) {
    return ::WinHttpSetOption(handle, option, &value, sizeof(value)) != FALSE;
}

} // namespace

std::optional<WebAddress> ReadWebAddress(const std::string& text) {
    std::string literal;
    const std::optional<std::string> readerText = TextForUrlReader(text, literal);
    if (!readerText)
        return std::nullopt;
    const std::wstring wide = WideText(*readerText);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    // Lengths of -1 ask for pointers into the text rather than copies.
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = parts.dwUserNameLength = parts.dwPasswordLength =
            static_cast<DWORD>(-1);
    if (wide.empty() || !::WinHttpCrackUrl(wide.c_str(), 0, 0, &parts))
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
    const std::wstring agent = WideText(std::string("Tarnwell/") + TARNWELL_VERSION_TEXT);
    HINTERNET session =
        ::WinHttpOpen(agent.c_str(), ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                      WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (session == nullptr) // before Windows 8.1: the proxy set with netsh, or none
        session = ::WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (session == nullptr)
        return false;
    g_session = session;
    g_sessionUnloaded = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (g_sessionUnloaded != nullptr)
        ::WinHttpSetOption(session, WINHTTP_OPTION_UNLOAD_NOTIFY_EVENT, &g_sessionUnloaded,
                           sizeof(g_sessionUnloaded));
    SetDword(session, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
    const DWORD notices = WINHTTP_CALLBACK_FLAG_SEND_REQUEST | WINHTTP_CALLBACK_FLAG_REQUEST_ERROR |
                          WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE |
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
    record->secure = address.secure;
    // The certificate names an IPv6 address without its brackets.
    std::string name = address.host;
    if (name.size() > 2 && name.front() == '[')
        name = name.substr(1, name.size() - 2);
    record->serverName = AsciiHost(name);
    record->connect = ::WinHttpConnect(g_session, AsciiHost(address.host).c_str(), address.port, 0);
    if (record->connect == nullptr)
        return SendOutcome::NotSent;
    // Never from a cache: a proxy's copy would hide a server that went down.
    record->request =
        ::WinHttpOpenRequest(record->connect, L"GET", WideText(address.path).c_str(), nullptr,
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
    // No cookies, no redirects followed, no credentials sent, a new connection every time.
    SetDword(record->request, WINHTTP_OPTION_DISABLE_FEATURE,
             WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_AUTHENTICATION |
                 WINHTTP_DISABLE_KEEP_ALIVE);
    SetDword(record->request, WINHTTP_OPTION_AUTOLOGON_POLICY,
             WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);
    if (address.secure)
        SetDword(record->request, WINHTTP_OPTION_SECURITY_FLAGS, IGNORED_CERTIFICATE_ERRORS);
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
        WebRequest* record = FindRequest(news.record);
        if (record == nullptr)
            continue;
        if (news.closed) {
            ForgetRequest(*record);
            continue;
        }
        // The outcome is known: the rest of the answer is not read.
        CloseRequest(*record);
        return news.outcome;
    }
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
