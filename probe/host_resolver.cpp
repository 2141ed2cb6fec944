// Background lookups with getaddrinfo.
#include "probe/host_resolver.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <iterator>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

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

LookupAnswer LookUp(const std::string& name) {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (error != 0)
        return {LookupOutcomeForError(error), 0};
    LookupAnswer answer = {LookupOutcome::TryLater, 0};
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr &&
            entry->ai_addrlen >= sizeof(sockaddr_in)) {
            answer = {LookupOutcome::Found,
                      reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr};
            break;
        }
    }
    ::freeaddrinfo(found);
    return answer;
}

void Deliver(uint32_t lookupId, const LookupAnswer& answer, HWND window) {
    {
        Answers& answers = SharedAnswers();
        std::lock_guard<std::mutex> hold(answers.lock);
        answers.byId[lookupId] = answer;
    }
    ::PostMessageA(window, WM_HOST_RESOLVED, lookupId, 0);
}

} // namespace

void StartHostLookup(uint32_t lookupId, const std::string& name, HWND window) {
    try {
        std::thread([lookupId, name, window] { Deliver(lookupId, LookUp(name), window); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the lookup fails like a silent name server and is tried again.
        Deliver(lookupId, {LookupOutcome::TryLater, 0}, window);
    }
}

std::optional<LookupAnswer> TakeHostLookupAnswer(uint32_t lookupId) {
    Answers& answers = SharedAnswers();
    std::lock_guard<std::mutex> hold(answers.lock);
    const auto it = answers.byId.find(lookupId);
    if (it == answers.byId.end())
        return std::nullopt;
    const LookupAnswer answer = it->second;
    answers.byId.erase(answers.byId.begin(), std::next(it));
    return answer;
}
