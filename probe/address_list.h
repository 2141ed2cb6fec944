// The addresses of a name as plain logic: the whole answer of a lookup and the address the next
// request goes to, for any way of probing.
#pragma once

#include "probe/probe_address.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// How long the current address may leave a request unanswered before the next one is tried. A
// connection whose first SYN or two were lost is made within it (a SYN is sent again after 1 s,
// then after 2 s more), so a slow but working address is kept; it is shorter than the shortest
// silence limit (10 s), so the next address still has time to answer before a break.
constexpr uint32_t CONNECTION_ALLOWANCE_MS = 4000;

// The addresses of a name, in the system's order, and the one the next request goes to: the
// one that answers is kept as long as it answers; when the current one refuses, is unreachable
// or leaves a request unanswered for longer than the connection allowance, the next one round
// the list is tried.
class AddressList {
public:
    static constexpr std::size_t CAPACITY = 16;

    void Clear();
    bool IsEmpty() const { return m_addresses.empty(); }
    // A new answer of the name: the address that answers stays current when it is among them.
    void Replace(const std::vector<ProbeAddress>& addresses);
    // The address the next request goes to (the list must not be empty), and when the first
    // request went to it since it became current, or the latest it answered since (nothing
    // before the first): only the requests sent since then tell whether it still answers.
    const ProbeAddress& Current() const { return m_addresses[m_nCurrent]; }
    std::optional<uint32_t> CurrentSince() const { return m_currentSince; }
    // The address for a request sent at `now`: the next one when the current one has left a
    // request, sent to it since CurrentSince, unanswered for unansweredMs, longer than the
    // allowance (0 when none waits). A request lost before a later one was answered is no sign
    // that the address has stopped answering.
    const ProbeAddress& NextForRequest(uint32_t now, uint32_t unansweredMs);
    // A reply counted from `from` to the request sent at `sent`: it becomes, and stays, the
    // current address.
    void OnAnswered(const ProbeAddress& from, uint32_t sent);
    // The request sent to `to` at `sent` was refused, or found no way there: when it went to the
    // current address since CurrentSince, the next request goes to the next one. An older
    // request's failure is older news than the answer or the turn that came after it.
    void OnFailed(const ProbeAddress& to, uint32_t sent);
    const std::vector<ProbeAddress>& Addresses() const { return m_addresses; }

private:
    void MoveTo(std::size_t index);

    std::vector<ProbeAddress> m_addresses;
    std::size_t m_nCurrent = 0;
    // The first request to the current address, or the latest it answered since.
    std::optional<uint32_t> m_currentSince;
};
