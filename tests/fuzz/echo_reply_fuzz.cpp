// Fuzz target: a received datagram of any bytes and length through the echo-reply check.
#include "probe/echo_packet.h"
#include "tests/fuzz/fuzz_input.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the datagram is caught.
    const std::vector<uint8_t> datagram(data, data + size);
    const uint16_t identifier = size >= 2 ? static_cast<uint16_t>(data[0] | data[1] << 8) : 0;
    const auto reply = ParseEchoReply(datagram.data(), datagram.size(), identifier, 1000);
    // A reply needs an ICMP header behind the shortest IPv4 header.
    Require(!reply || size >= 20 + 12);
    IcmpChecksum(datagram.data(), datagram.size());
    return 0;
}
