// The path trace's requests through the echo service; see path_trace_win.h.
#include "probe/path_trace_win.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <atomic>

namespace {

constexpr std::size_t REQUEST_DATA_SIZE = 32;
// The longest ICMP error a router sends: the datagram it quotes may carry IP options and as
// much of the request as fits in 576 bytes, and the service fails a reply it cannot hold.
constexpr std::size_t ICMP_ERROR_ROOM = 576;
// A little beyond the requests' own limit: the service sets every event by then.
constexpr DWORD WAIT_LIMIT_MS = TRACE_REQUEST_LIMIT_MS + 1000;

std::atomic<bool> g_bTracing{false};

struct TraceJob {
    Ipv4Word address = 0;
    uint32_t traceId = 0;
    HWND window = nullptr;
};

struct HopRequest {
    HANDLE event = nullptr;
    // One reply, its data, an ICMP error's 8 bytes, the error itself and the status block
    // (IO_STATUS_BLOCK: a status and a count).
    alignas(8) unsigned char replies[sizeof(ICMP_ECHO_REPLY) + REQUEST_DATA_SIZE + 8 +
                                     ICMP_ERROR_ROOM + 2 * sizeof(ULONG_PTR)] = {};
};

HopAnswer ReadHop(HopRequest& request) {
    const DWORD count = ::IcmpParseReplies(request.replies, sizeof(request.replies));
    const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.replies);
    return ReadHopAnswer(count, reply->Status, reply->Address, reply->RoundTripTime);
}

DWORD WINAPI RunTrace(void* parameter) {
    std::unique_ptr<TraceJob> job(static_cast<TraceJob*>(parameter));
    auto answers = std::make_unique<PathTraceAnswers>();
    answers->traceId = job->traceId;
    HANDLE service = ::IcmpCreateFile();
    // Freed only when the service has let go of every buffer.
    auto* requests = new std::vector<HopRequest>(TRACE_MAX_HOPS);
    std::vector<HANDLE> events;
    char data[REQUEST_DATA_SIZE] = {};
    for (uint32_t ttl = 1; ttl <= TRACE_MAX_HOPS && service != INVALID_HANDLE_VALUE; ++ttl) {
        HopRequest& request = (*requests)[ttl - 1];
        request.event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (request.event == nullptr)
            break;
        IP_OPTION_INFORMATION options = {};
        options.Ttl = static_cast<UCHAR>(ttl);
        const DWORD result = ::IcmpSendEcho2(service, request.event, nullptr, nullptr, job->address,
                                             data, sizeof(data), &options, request.replies,
                                             sizeof(request.replies), TRACE_REQUEST_LIMIT_MS);
        if (result == 0 && ::GetLastError() != ERROR_IO_PENDING) {
            ::CloseHandle(request.event);
            request.event = nullptr;
            break; // not sent: the later ones would fare no better
        }
        if (result != 0)
            ::SetEvent(request.event);
        events.push_back(request.event);
    }
    if (!events.empty())
        ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), TRUE,
                                 WAIT_LIMIT_MS);
    for (HopRequest& request : *requests) {
        if (request.event == nullptr)
            break;
        const bool finished = ::WaitForSingleObject(request.event, 0) == WAIT_OBJECT_0;
        answers->answers.push_back(finished ? ReadHop(request) : HopAnswer{});
    }
    if (service != INVALID_HANDLE_VALUE)
        ::IcmpCloseHandle(service); // cancels what is left
    // The next trace starts only once the service has let go of every buffer: never more than
    // TRACE_MAX_HOPS requests in flight. Should the service hold them past its limits, the
    // answers go to the window meanwhile, and no new trace starts until it lets go.
    const auto releasedWithin = [&events](DWORD limitMs) {
        return events.empty() ||
               ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), TRUE,
                                        limitMs) < WAIT_OBJECT_0 + events.size();
    };
    const bool released = releasedWithin(WAIT_LIMIT_MS);
    g_bTracing = !released;
    if (::PostMessageA(job->window, WM_PATH_TRACED, 0, reinterpret_cast<LPARAM>(answers.get())))
        answers.release(); // the window takes it
    if (!released && !releasedWithin(INFINITE))
        return 0; // the buffers stay: the service may still write into them
    for (HANDLE event : events)
        ::CloseHandle(event);
    delete requests;
    g_bTracing = false;
    return 0;
}

} // namespace

bool StartPathTrace(Ipv4Word address, uint32_t traceId, HWND window) {
    if (g_bTracing.exchange(true))
        return false;
    auto job = std::make_unique<TraceJob>();
    job->address = address;
    job->traceId = traceId;
    job->window = window;
    HANDLE thread = ::CreateThread(nullptr, 0, RunTrace, job.get(), 0, nullptr);
    if (thread == nullptr) {
        g_bTracing = false;
        return false;
    }
    job.release();
    ::CloseHandle(thread);
    return true;
}

std::unique_ptr<PathTraceAnswers> TakePathTrace(LPARAM lParam) {
    return std::unique_ptr<PathTraceAnswers>(reinterpret_cast<PathTraceAnswers*>(lParam));
}
