// The requests of a start that may still be answered, as plain logic: which tag went to which
// address and when, for any way of probing.
#pragma once

#include "probe/probe_address.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The requests of a start that may still be answered: the tag the platform gave each (what its
// reply carries back), the address it went to and when. Holds the latest CAPACITY; a request
// leaves when it is answered, when it is older than the silence limit, or when a newer one
// needs its room, and the platform is then told to abandon it (a connection attempt's socket
// is closed), so the number of sockets stays bounded.
class SentRequests {
public:
    static constexpr std::size_t CAPACITY = 16;

    void Clear() { m_nCount = 0; }
    // Adds a request; gives the tag of the oldest one when it had to leave for it.
    std::optional<uint32_t> Add(uint32_t tag, const ProbeAddress& to, uint32_t sentTick);
    // When a request with this tag went to `from` (nothing: none did); such a request is
    // answered and forgotten.
    std::optional<uint32_t> Take(uint32_t tag, const ProbeAddress& from);
    // Forgets the requests sent more than lifetimeMs before `now`; gives their tags.
    std::vector<uint32_t> Expire(uint32_t now, uint32_t lifetimeMs);
    // How long the oldest request to `to` sent since `since` has waited at `now` (0: none).
    uint32_t LongestWaitMs(const ProbeAddress& to, uint32_t since, uint32_t now) const;
    std::size_t Count() const { return m_nCount; }

private:
    struct Request {
        uint32_t tag;
        ProbeAddress to;
        uint32_t sentTick;
    };
    std::array<Request, CAPACITY> m_requests{}; // the oldest first
    std::size_t m_nCount = 0;
};
