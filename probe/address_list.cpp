// The address list: the kept address and the turn round the list.
#include "probe/address_list.h"

#include <algorithm>

void AddressList::Clear() {
    m_addresses.clear();
    MoveTo(0);
}

void AddressList::MoveTo(std::size_t index) {
    m_nCurrent = index;
    m_currentSince.reset();
}

void AddressList::Replace(const std::vector<ProbeAddress>& addresses) {
    const std::optional<ProbeAddress> current =
        m_addresses.empty() ? std::nullopt : std::optional<ProbeAddress>(Current());
    m_addresses.clear();
    for (const ProbeAddress& address : addresses) {
        if (m_addresses.size() < CAPACITY &&
            std::find(m_addresses.begin(), m_addresses.end(), address) == m_addresses.end())
            m_addresses.push_back(address);
    }
    const auto kept =
        current ? std::find(m_addresses.begin(), m_addresses.end(), *current) : m_addresses.end();
    if (kept == m_addresses.end())
        MoveTo(0);
    else
        m_nCurrent = static_cast<std::size_t>(kept - m_addresses.begin());
}

const ProbeAddress& AddressList::NextForRequest(uint32_t now, uint32_t unansweredMs) {
    if (m_currentSince && unansweredMs > CONNECTION_ALLOWANCE_MS)
        MoveTo((m_nCurrent + 1) % m_addresses.size());
    if (!m_currentSince)
        m_currentSince = now;
    return Current();
}

namespace {

// Whether the request sent at `sent` went at or after `since` (tick counts wrap).
bool SentSince(uint32_t sent, const std::optional<uint32_t>& since) {
    return since && static_cast<int32_t>(sent - *since) >= 0;
}

} // namespace

void AddressList::OnAnswered(const ProbeAddress& from, uint32_t sent) {
    const auto found = std::find(m_addresses.begin(), m_addresses.end(), from);
    if (found == m_addresses.end())
        return;
    if (*found != Current())
        MoveTo(static_cast<std::size_t>(found - m_addresses.begin()));
    else if (SentSince(sent, m_currentSince))
        m_currentSince = sent;
}

void AddressList::OnFailed(const ProbeAddress& to, uint32_t sent) {
    if (!m_addresses.empty() && to == Current() && SentSince(sent, m_currentSince))
        MoveTo((m_nCurrent + 1) % m_addresses.size());
}
