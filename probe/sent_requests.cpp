// The sent-request book: adding, answering and forgetting the requests in flight.
#include "probe/sent_requests.h"

#include <algorithm>

std::optional<uint32_t> SentRequests::Add(uint32_t tag, const ProbeAddress& to, uint32_t sentTick) {
    std::optional<uint32_t> dropped;
    if (m_nCount == CAPACITY) {
        dropped = m_requests[0].tag;
        std::move(m_requests.begin() + 1, m_requests.end(), m_requests.begin());
        --m_nCount;
    }
    m_requests[m_nCount++] = {tag, to, sentTick};
    return dropped;
}

std::optional<uint32_t> SentRequests::Take(uint32_t tag, const ProbeAddress& from) {
    const auto end = m_requests.begin() + static_cast<std::ptrdiff_t>(m_nCount);
    const auto found = std::find_if(m_requests.begin(), end, [&](const Request& request) {
        return request.tag == tag && request.to == from;
    });
    if (found == end)
        return std::nullopt;
    const uint32_t sentTick = found->sentTick;
    std::move(found + 1, end, found);
    --m_nCount;
    return sentTick;
}

std::vector<uint32_t> SentRequests::Expire(uint32_t now, uint32_t lifetimeMs) {
    std::vector<uint32_t> expired;
    const auto end = m_requests.begin() + static_cast<std::ptrdiff_t>(m_nCount);
    const auto kept = std::remove_if(m_requests.begin(), end, [&](const Request& request) {
        if (now - request.sentTick <= lifetimeMs)
            return false;
        expired.push_back(request.tag);
        return true;
    });
    m_nCount = static_cast<std::size_t>(kept - m_requests.begin());
    return expired;
}

uint32_t SentRequests::LongestWaitMs(const ProbeAddress& to, uint32_t since, uint32_t now) const {
    uint32_t longest = 0;
    for (std::size_t i = 0; i < m_nCount; ++i) {
        const uint32_t waited = now - m_requests[i].sentTick;
        if (m_requests[i].to == to && waited <= now - since)
            longest = std::max(longest, waited);
    }
    return longest;
}
