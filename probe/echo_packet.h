// The bytes of the echo probe: the 44-byte ICMP echo request, its checksum, the check of a
// received datagram, and which socket errors the probe simply passes over. No socket calls here;
// the Windows side feeds these functions with what Winsock gives it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Bytes sent per echo request.
constexpr size_t ECHO_REQUEST_SIZE = 44;
// Size of the buffer a datagram is received into.
constexpr size_t PROBE_BUFFER_SIZE = 1024;

using EchoRequest = std::array<uint8_t, ECHO_REQUEST_SIZE>;

// The Internet checksum of the range: 16-bit words read least significant byte first, a last
// odd byte added as its value, the sum folded twice and complemented.
uint16_t IcmpChecksum(const uint8_t* bytes, size_t length);

// Writes the fixed fields of a request of `length` bytes: type 8, code 0, a zero checksum, the
// identifier, a zero sequence, and 0x45 from offset 12 to the end. The send time at offset 8
// is left as it is. Writes nothing at or past `length`, however short.
void FillEchoRequest(uint8_t* buffer, size_t length, uint16_t identifier);

// The complete request as it goes on the wire: the fixed fields, the send tick at offset 8 and
// the checksum at offset 2, both least significant byte first.
EchoRequest BuildEchoRequest(uint16_t identifier, uint32_t sendTick);

// What an accepted echo reply tells the watch window.
struct EchoReply {
    uint16_t sequence;    // the reply's sequence number
    uint32_t roundTripMs; // now minus the echoed send tick, modulo 2^32
    uint32_t sendTick;    // the echoed send tick, which names the request answered
};

// Checks one received IPv4 datagram: an echo reply (type 0) carrying `identifier` gives its
// sequence, round trip and send tick; anything else, including a datagram too short to hold its
// IPv4 header and the first 12 bytes of the ICMP message, gives nothing. Reads only the first
// `length` bytes.
std::optional<EchoReply> ParseEchoReply(const uint8_t* datagram, size_t length, uint16_t identifier,
                                        uint32_t nowTick);

// A failed sendto with this error code: true when the probe just reports that nothing was
// sent (time-out, would block, network down or unreachable, host unreachable, no buffer
// space, an address that cannot be sent to), false when the socket must be opened again.
bool IsSendFailureRecoverable(int errorCode);

// A failed recvfrom with this error code: true when the read is simply dropped (time-out,
// nothing to read yet, a datagram too long for the buffer), false when the socket must be opened
// again.
bool IsReadFailureIgnorable(int errorCode);
