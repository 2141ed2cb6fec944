// Echo request layout, the Internet checksum, the reply check and the socket error rules.
#include "probe/echo_packet.h"

#include "framework/byte_order.h"

namespace {

constexpr uint8_t ECHO_REQUEST_TYPE = 8;
constexpr uint8_t ECHO_REPLY_TYPE = 0;
constexpr uint8_t FILL_BYTE = 0x45;

// Offsets within the ICMP message.
constexpr size_t TYPE_OFFSET = 0;
constexpr size_t CHECKSUM_OFFSET = 2;
constexpr size_t IDENTIFIER_OFFSET = 4;
constexpr size_t SEQUENCE_OFFSET = 6;
constexpr size_t SEND_TICK_OFFSET = 8;
constexpr size_t FILL_OFFSET = 12;
// The reply check reads the message up to the end of the echoed send tick.
constexpr size_t CHECKED_BYTES = SEND_TICK_OFFSET + 4;

// The shortest IPv4 header; the header length field counts 32-bit words.
constexpr size_t MIN_IPV4_HEADER_SIZE = 20;

// Winsock error codes.
constexpr int ACCESS_DENIED = 10013; // e.g. a broadcast address typed as the host
constexpr int WOULD_BLOCK = 10035;
constexpr int MESSAGE_TOO_LONG = 10040;      // a datagram larger than the receive buffer
constexpr int ADDRESS_NOT_AVAILABLE = 10049; // e.g. 0.0.0.0 typed as the host
constexpr int NETWORK_DOWN = 10050;
constexpr int NETWORK_UNREACHABLE = 10051;
constexpr int NO_BUFFER_SPACE = 10055;
constexpr int TIMED_OUT = 10060;
constexpr int HOST_UNREACHABLE = 10065;

} // namespace

uint16_t IcmpChecksum(const uint8_t* bytes, size_t length) {
    uint32_t sum = 0;
    size_t offset = 0;
    for (; offset + 1 < length; offset += 2) {
        sum += ReadLe16(bytes + offset);
    }
    if (offset < length) {
        sum += bytes[offset];
    }
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<uint16_t>(~sum);
}

void FillEchoRequest(uint8_t* buffer, size_t length, uint16_t identifier) {
    // Type, code, checksum, identifier and sequence, clipped to the buffer.
    uint8_t header[SEND_TICK_OFFSET] = {};
    header[TYPE_OFFSET] = ECHO_REQUEST_TYPE;
    WriteLe16(header + IDENTIFIER_OFFSET, identifier);
    for (size_t i = 0; i < sizeof header && i < length; ++i) {
        buffer[i] = header[i];
    }
    for (size_t i = FILL_OFFSET; i < length; ++i) {
        buffer[i] = FILL_BYTE;
    }
}

EchoRequest BuildEchoRequest(uint16_t identifier, uint32_t sendTick) {
    EchoRequest request{};
    FillEchoRequest(request.data(), request.size(), identifier);
    WriteLe32(request.data() + SEND_TICK_OFFSET, sendTick);
    WriteLe16(request.data() + CHECKSUM_OFFSET, IcmpChecksum(request.data(), request.size()));
    return request;
}

std::optional<EchoReply> ParseEchoReply(const uint8_t* datagram, size_t length, uint16_t identifier,
                                        uint32_t nowTick) {
    if (length == 0) {
        return std::nullopt;
    }
    const size_t headerSize = static_cast<size_t>(datagram[0] & 0x0F) * 4;
    if (headerSize < MIN_IPV4_HEADER_SIZE || length < headerSize + CHECKED_BYTES) {
        return std::nullopt;
    }
    const uint8_t* message = datagram + headerSize;
    if (message[TYPE_OFFSET] != ECHO_REPLY_TYPE ||
        ReadLe16(message + IDENTIFIER_OFFSET) != identifier) {
        return std::nullopt;
    }
    const uint32_t sendTick = ReadLe32(message + SEND_TICK_OFFSET);
    return EchoReply{ReadLe16(message + SEQUENCE_OFFSET), nowTick - sendTick, sendTick};
}

bool IsSendFailureRecoverable(int errorCode) {
    switch (errorCode) {
    case TIMED_OUT:
    case WOULD_BLOCK: // a socket that could not be given its time-outs never waits
    case ACCESS_DENIED:
    case ADDRESS_NOT_AVAILABLE:
    case NETWORK_DOWN:
    case NETWORK_UNREACHABLE:
    case HOST_UNREACHABLE:
    case NO_BUFFER_SPACE:
        return true;
    default:
        return false;
    }
}

bool IsReadFailureIgnorable(int errorCode) {
    // A raw socket sees every ICMP datagram reaching the machine, so an oversized one from
    // anywhere must not stop the probe; it is dropped like any other foreign datagram.
    return errorCode == TIMED_OUT || errorCode == WOULD_BLOCK || errorCode == MESSAGE_TOO_LONG;
}
