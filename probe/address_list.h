// The addresses of a name as plain logic: the whole answer of a lookup and the address the next
// request goes to, for any way of probing.
#pragma once

#include "probe/probe_address.h"

#include <cstddef>
#include <vector>

// The addresses of a name, in the system's order, and the one the next request goes to: the
// one that answers is kept as long as it answers; when the current one has not answered its
// latest request by the next tick (refused, unreachable, slower than the period), the next
// one round the list is tried.
class AddressList {
public:
    static constexpr std::size_t CAPACITY = 16;

    void Clear();
    bool IsEmpty() const { return m_addresses.empty(); }
    // A new answer of the name: the address that answers stays current when it is among them.
    void Replace(const std::vector<ProbeAddress>& addresses);
    // The address for this tick's request: the next one when the current one left the latest
    // request unanswered.
    const ProbeAddress& NextForRequest();
    // A reply counted from `from`: it becomes, and stays, the current address.
    void OnAnswered(const ProbeAddress& from);
    const std::vector<ProbeAddress>& Addresses() const { return m_addresses; }

private:
    std::vector<ProbeAddress> m_addresses;
    std::size_t m_nCurrent = 0;
    bool m_bAwaitingCurrent = false; // a request went to the current address, not answered yet
};
