// The address list: the kept address and the turn round the list.
#include "probe/address_list.h"

#include <algorithm>
#include <optional>

void AddressList::Clear() {
    m_addresses.clear();
    m_nCurrent = 0;
    m_bAwaitingCurrent = false;
}

void AddressList::Replace(const std::vector<ProbeAddress>& addresses) {
    const std::optional<ProbeAddress> current =
        m_addresses.empty() ? std::nullopt : std::optional<ProbeAddress>(m_addresses[m_nCurrent]);
    m_addresses.clear();
    for (const ProbeAddress& address : addresses) {
        if (m_addresses.size() < CAPACITY &&
            std::find(m_addresses.begin(), m_addresses.end(), address) == m_addresses.end())
            m_addresses.push_back(address);
    }
    const auto kept =
        current ? std::find(m_addresses.begin(), m_addresses.end(), *current) : m_addresses.end();
    if (kept == m_addresses.end()) {
        m_nCurrent = 0;
        m_bAwaitingCurrent = false;
    } else {
        m_nCurrent = static_cast<std::size_t>(kept - m_addresses.begin());
    }
}

const ProbeAddress& AddressList::NextForRequest() {
    if (m_bAwaitingCurrent)
        m_nCurrent = (m_nCurrent + 1) % m_addresses.size();
    m_bAwaitingCurrent = true;
    return m_addresses[m_nCurrent];
}

void AddressList::OnAnswered(const ProbeAddress& from) {
    const auto found = std::find(m_addresses.begin(), m_addresses.end(), from);
    if (found == m_addresses.end())
        return;
    m_nCurrent = static_cast<std::size_t>(found - m_addresses.begin());
    m_bAwaitingCurrent = false;
}
