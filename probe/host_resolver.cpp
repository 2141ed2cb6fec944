// Background lookups with GetAddrInfoW.
#include "probe/host_resolver.h"

#include "framework/wide_text.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <iterator>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Answers that finished and were not yet taken, shared by the lookup threads and the window's
// thread. Never destroyed: a lookup may still finish while the program ends.
struct Answers {
    std::mutex lock;
    std::map<uint32_t, LookupAnswer> byId;
};

Answers& SharedAnswers() {
    static Answers* answers = new Answers;
    return *answers;
}

constexpr int MAX_RUNNING_LOOKUPS = 8;

std::atomic<int>& RunningLookups() {
    static auto* running = new std::atomic<int>(0);
    return *running;
}

// The address of a lookup's entry, when it is of a family asked for.
std::optional<ProbeAddress> AddressOf(const ADDRINFOW& entry) {
    if (entry.ai_addr == nullptr)
        return std::nullopt;
    if (entry.ai_family == AF_INET && entry.ai_addrlen >= sizeof(sockaddr_in))
        return ProbeAddress::FromIpv4(
            reinterpret_cast<const sockaddr_in*>(entry.ai_addr)->sin_addr.s_addr);
    if (entry.ai_family == AF_INET6 && entry.ai_addrlen >= sizeof(sockaddr_in6)) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(entry.ai_addr);
        return ProbeAddress::FromIpv6(v6->sin6_addr.s6_addr, v6->sin6_scope_id);
    }
    return std::nullopt;
}

LookupAnswer LookUp(const std::string& name, LookupFamily family) {
    ADDRINFOW hints = {};
    hints.ai_family = family == LookupFamily::Any ? AF_UNSPEC : AF_INET;
    hints.ai_socktype = family == LookupFamily::Any ? SOCK_STREAM : SOCK_RAW;
    ADDRINFOW* found = nullptr;
    // The wide form, as Windows' own clients look names up: it takes any letters, and from
    // Windows 8 on turns an international name into its ASCII form (IDN) itself.
    const int error = ::GetAddrInfoW(WideText(name).data(), nullptr, &hints, &found);
    if (error != 0)
        return {LookupOutcomeForError(error), {}};
    LookupAnswer answer = {LookupOutcome::TryLater, {}};
    // The system lists the addresses in its order of preference; the session keeps a bounded
    // number of them.
    for (const ADDRINFOW* entry = found;
         entry != nullptr && answer.addresses.size() < AddressList::CAPACITY;
         entry = entry->ai_next) {
        if (const std::optional<ProbeAddress> address = AddressOf(*entry))
            answer.addresses.push_back(*address);
    }
    ::FreeAddrInfoW(found);
    if (!answer.addresses.empty())
        answer.outcome = LookupOutcome::Found;
    return answer;
}

void Deliver(uint32_t lookupId, LookupAnswer answer, HWND window) {
    {
        Answers& answers = SharedAnswers();
        std::lock_guard<std::mutex> hold(answers.lock);
        answers.byId[lookupId] = std::move(answer);
    }
    ::PostMessageA(window, WM_HOST_RESOLVED, lookupId, 0);
}

} // namespace

void StartHostLookup(uint32_t lookupId, const std::string& name, LookupFamily family, HWND window) {
    // Lookups abandoned by quick new starts may still wait on a silent name server; past a
    // few, or with no thread to be had, a lookup fails at once like a silent name server and
    // is tried again at the next check tick.
    std::atomic<int>& running = RunningLookups();
    if (running.fetch_add(1) >= MAX_RUNNING_LOOKUPS) {
        running.fetch_sub(1);
        Deliver(lookupId, {LookupOutcome::TryLater, {}}, window);
        return;
    }
    try {
        std::thread([lookupId, name, family, window] {
            LookupAnswer answer = LookUp(name, family);
            RunningLookups().fetch_sub(1);
            Deliver(lookupId, std::move(answer), window);
        }).detach();
    } catch (const std::system_error&) {
        running.fetch_sub(1);
        Deliver(lookupId, {LookupOutcome::TryLater, {}}, window);
    }
}

std::optional<LookupAnswer> TakeHostLookupAnswer(uint32_t lookupId) {
    Answers& answers = SharedAnswers();
    std::lock_guard<std::mutex> hold(answers.lock);
    const auto it = answers.byId.find(lookupId);
    if (it == answers.byId.end())
        return std::nullopt;
    LookupAnswer answer = std::move(it->second);
    answers.byId.erase(answers.byId.begin(), std::next(it));
    return answer;
}
