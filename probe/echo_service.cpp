// The ICMP echo service over iphlpapi; how its answers are read is in echo_service_result.
#include "probe/echo_service.h"

#include "framework/message_wait.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <memory>
#include <vector>

namespace {

constexpr DWORD REQUEST_TIMEOUT_MS = 1000;
constexpr std::size_t REQUEST_DATA_SIZE = 32;
constexpr char FILL_BYTE = 0x45;
// Requests in flight at once: more than a second's worth only when no loop collects them.
constexpr std::size_t MAX_IN_FLIGHT = 8;
// What the last error reads when IcmpParseReplies leaves it alone: a time-out, never a refusal.
constexpr DWORD NOT_SET_BY_PARSE = 11010; // IP_REQ_TIMED_OUT

struct ServiceRequest {
    HANDLE event = nullptr;
    uint32_t started = 0;
    uint32_t tag = 0; // the request's number
    // One reply, its echoed data, an ICMP error's 8 bytes and room for the status block.
    alignas(8) unsigned char replies[sizeof(ICMP_ECHO_REPLY) + REQUEST_DATA_SIZE + 8 + 64] = {};
};

HANDLE g_service = INVALID_HANDLE_VALUE;
uint32_t g_nLastTag = 0;
void (*g_onRequestFinished)() = nullptr;

// Requests the service may still write into; a request leaves only once its event is set.
// Never destroyed, since requests may still be in flight when the program ends.
std::vector<std::unique_ptr<ServiceRequest>>& InFlight() {
    static auto* requests = new std::vector<std::unique_ptr<ServiceRequest>>;
    return *requests;
}

EchoServiceResult ReadFinished(ServiceRequest& request) {
    ::SetLastError(NOT_SET_BY_PARSE);
    const DWORD count = ::IcmpParseReplies(request.replies, sizeof(request.replies));
    const DWORD lastError = ::GetLastError();
    const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.replies);
    return ReadEchoServiceResult(count, lastError, reply->Status, reply->Address,
                                 reply->RoundTripTime);
}

void OnRequestFinished(HANDLE, void*) {
    if (g_onRequestFinished != nullptr)
        g_onRequestFinished();
}

} // namespace

bool OpenEchoService(void (*onRequestFinished)()) {
    g_onRequestFinished = onRequestFinished;
    if (g_service == INVALID_HANDLE_VALUE)
        g_service = ::IcmpCreateFile();
    return g_service != INVALID_HANDLE_VALUE;
}

SendOutcome SendServiceEchoRequest(Ipv4Word address, uint32_t started, uint32_t& tag) {
    std::vector<std::unique_ptr<ServiceRequest>>& inFlight = InFlight();
    if (g_service == INVALID_HANDLE_VALUE || inFlight.size() >= MAX_IN_FLIGHT)
        return SendOutcome::NotSent;
    auto request = std::make_unique<ServiceRequest>();
    request->started = started;
    request->tag = ++g_nLastTag;
    request->event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (request->event == nullptr)
        return SendOutcome::NotSent;
    char data[REQUEST_DATA_SIZE];
    for (char& byte : data)
        byte = FILL_BYTE;
    const DWORD result =
        ::IcmpSendEcho2(g_service, request->event, nullptr, nullptr, address, data, sizeof(data),
                        nullptr, request->replies, sizeof(request->replies), REQUEST_TIMEOUT_MS);
    const SendOutcome outcome = EchoServiceSendOutcome(result, ::GetLastError());
    if (outcome != SendOutcome::Sent) {
        ::CloseHandle(request->event);
        return outcome;
    }
    // A full list of the loop's handles leaves the request to the check tick's collection.
    AfxAddWaitHandle(request->event, OnRequestFinished, nullptr);
    if (result != 0)
        ::SetEvent(request->event); // finished at once
    tag = request->tag;
    inFlight.push_back(std::move(request));
    return SendOutcome::Sent;
}

void CollectServiceEchoResults(
    const std::function<void(const EchoServiceResult&, uint32_t started, uint32_t tag)>& report) {
    // The finished requests leave the list before any is reported, since a report reaches the
    // watch window, which may start again and send.
    std::vector<std::unique_ptr<ServiceRequest>>& inFlight = InFlight();
    std::vector<std::unique_ptr<ServiceRequest>> finished;
    for (auto it = inFlight.begin(); it != inFlight.end();) {
        if (::WaitForSingleObject((*it)->event, 0) == WAIT_OBJECT_0) {
            finished.push_back(std::move(*it));
            it = inFlight.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::unique_ptr<ServiceRequest>& request : finished) {
        AfxRemoveWaitHandle(request->event);
        ::CloseHandle(request->event);
        report(ReadFinished(*request), request->started, request->tag);
    }
}
